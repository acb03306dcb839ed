// The menu bar every document window carries.
#pragma once

class CWindow;
class QMenuBar;

QMenuBar* BuildMenuBar(CWindow& window);
