#include "app/windows/quicker_grabber/register_quicker_grabber.h"

#include "app/framework/attachment.h"
#include "app/framework/class_registrar.h"
#include "app/framework/window_hooks.h"
#include "app/windows/quicker_grabber/quicker_grabber.h"
#include "app/windows/quicker_grabber/quicker_grabber_layout.h"
#include "app/windows/widgets/widget_panes.h"

CWindow* OpenQuickerGrabber(const SQuickGrabRequest& request, CCommander* super)
{
    const int layout = request.mediaLayout ? quickergrabber::kMediaLayout : quickergrabber::kLayout;
    auto* window = MakeWindowAs<CQuickerGrabber>(layout, super, "OpenQuickerGrabber");
    if (request.onePage) window->SetDownloadOnePage();
    if (!request.url.empty()) window->SetStartURL(request.url);
    window->Show();
    window->Select();
    return window;
}

void RegisterQuickerGrabber()
{
    RegisterWidgetPanes();
    CClassRegistrar::RegisterWindowClass<CQuickerGrabber>(quickergrabber::kWindowClass);
    quickergrabber::RegisterQuickerGrabberLayouts();
    AddGrabWindowFamily(SGrabWindowFamily{.name = "Quicker Grabber",
                                          .isAnyRunning = &CQuickerGrabber::IsAnyQuickerGrabberRunning,
                                          .closeAll = &CQuickerGrabber::CloseAllQuickerGrabbers});
    CYieldAttachment::AddAfterYieldHook([] {
        for (CQuickerGrabber* window : CWindow::WindowsOfClass<CQuickerGrabber>()) window->FlushProgress();
    });
}
