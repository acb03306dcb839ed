#include "foundation/system/default_browser.h"

#include "foundation/system/desktop_url_handler.h"

TypeCode GetInternetHelper(const char* scheme, CFixedString255& name)
{
    DesktopApplication application;
    if (scheme == nullptr || !FindURLSchemeHandler(scheme, application)) return 0;
    name = application.name.c_str();
    return kAnyApplicationCreator;
}

TypeCode GetDefaultBrowserName(CFixedString255& name)
{
    return GetInternetHelper("http", name);
}
