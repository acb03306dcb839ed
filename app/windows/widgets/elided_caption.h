// A caption whose text the program changes while the window is open (a
// chosen folder, the file being fetched): a long text is shown with its
// middle elided, so both its ends show, and never widens the window.
#pragma once

class CPane;

// The caption keeps the width its layout gives it. Does nothing to a pane
// that is not a caption.
void ElideCaptionInMiddle(CPane* caption);
