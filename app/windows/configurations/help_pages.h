// Help pages of the configuration windows: short HTML pages in the
// resources' "help" folder, opened in the user's browser.
#pragma once

void OpenHelpPage(const char* page);
