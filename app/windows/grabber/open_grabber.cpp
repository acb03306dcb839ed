#include "app/windows/grabber/open_grabber.h"

#include "app/framework/class_registrar.h"
#include "app/framework/window_hooks.h"
#include "app/windows/grab_start/grab_start_layout.h"
#include "app/windows/grabber/grabber_layout.h"
#include "app/windows/widgets/widget_panes.h"

void RegisterGrabberWindows(SGrabberLinks links)
{
    // Registered again on each call, from this one place: the newest links win.
    CClassRegistrar::RegisterWindow(grabber::kWindowClass,
                                    [links = std::move(links)](const SLayout& layout, CCommander* super) -> CWindow* {
                                        return new CGrabber(layout, super, links);
                                    });
    static const bool registered = [] {
        RegisterWidgetPanes();
        grabstart::RegisterGrabStartDialogs();
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
