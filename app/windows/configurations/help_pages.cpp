#include "app/windows/configurations/help_pages.h"

#include <string>

#include <QApplication>

#include "foundation/text/text_encodings.h"
#include "platform/launch/program_launcher.h"

void OpenHelpPage(const char* page)
{
    const std::string path = ResourceFolder() + "/help/" + page;
    if (OpenWithDesktop(path) != 0) QApplication::beep();
}
