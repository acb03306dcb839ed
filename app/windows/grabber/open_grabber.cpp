#include "app/windows/grabber/open_grabber.h"

#include "app/framework/class_registrar.h"
#include "app/framework/window_hooks.h"
#include "app/windows/grabber/grabber.h"
#include "app/windows/grabber/grabber_layout.h"
#include "app/windows/quicker_grabber/quicker_grabber_layout.h"
#include "app/windows/widgets/widget_panes.h"

void RegisterGrabberWindows()
{
    static const bool registered = [] {
        RegisterWidgetPanes();
        // The closing question and the bad-URL notice are the quicker grabber's.
        quickergrabber::RegisterQuickerGrabberLayouts();
        CClassRegistrar::RegisterWindowClass<CGrabber>(grabber::kWindowClass);
        grabber::RegisterGrabberLayout();
        AddGrabWindowFamily(SGrabWindowFamily{.name = "Grabber",
                                              .isAnyRunning = &CGrabber::IsAnyGrabberRunning,
                                              .closeAll = &CGrabber::CloseAllGrabbers});
        return true;
    }();
    (void)registered;
}

CGrabber* OpenGrabberWindow(CCommander* superCommander, const std::string& url)
{
    auto* window = MakeWindowAs<CGrabber>(grabber::kLayout, superCommander, "OpenGrabberWindow");
    if (!url.empty()) window->SetStartURL(url);
    window->Show();
    window->Select();
    return window;
}
