// Help pages of the configuration windows: short HTML pages in the
// resources' "help" folder, opened in the user's browser.
#pragma once

void OpenHelpPage(const char* page);
// The page of an editor panel, by its layout; the editor's own page for a
// panel without one.
const char* PanelHelpPage(int panelLayout);
