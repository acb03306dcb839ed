// The plug-in's whole contract with its host: six C symbols (see webpeek.h).
#include "plugin/webpeek/webpeek.h"

#include <string>

#include <QString>
#include <QUrl>
#include <QWebEngineView>
#include <QWidget>

#include "plugin/webpeek/document_size.h"
#include "plugin/webpeek/gui_application.h"
#include "plugin/webpeek/load_wait.h"
#include "plugin/webpeek/nib_loader.h"
#include "plugin/webpeek/system_log.h"
#include "plugin/webpeek/view_registry.h"
#include "plugin/webpeek/web_window.h"

#define WEBPEEK_EXPORT extern "C" __attribute__((visibility("default")))

extern "C" {
__attribute__((visibility("default"))) bool gLoaded = false;
}

WEBPEEK_EXPORT void InitializeWebpeek(void)
{
    webpeek::StartGuiApplication();
    webpeek::LogLine("Webpeek is initialized.");
}

WEBPEEK_EXPORT void TerminateWebpeek(void)
{
    webpeek::ReleasePendingObjects();
}

WEBPEEK_EXPORT WebpeekView* CreateWebWindow(const char* nibName, const char* windowName, bool show,
                                            WebpeekWindow** window)
{
    if (window) *window = nullptr;
    if (!nibName || !windowName || !window || !webpeek::GuiApplicationReady()) return nullptr;
    auto loaded = webpeek::LoadNibWindow(QString::fromUtf8(nibName), QString::fromUtf8(windowName));
    if (!loaded) return nullptr;
    QWebEngineView* view = webpeek::AttachWebView(*loaded);
    webpeek::RegisterWebView(view);
    // From here on the window is the host's.
    QWidget* topLevel = loaded.release();
    if (show) topLevel->show();
    *window = reinterpret_cast<WebpeekWindow*>(topLevel);
    return reinterpret_cast<WebpeekView*>(static_cast<QWidget*>(view));
}

WEBPEEK_EXPORT void Webpeek(WebpeekView* handle, const char* url)
{
    // Cleared first, so that no return below leaves an earlier load's result.
    gLoaded = false;
    if (!webpeek::GuiApplicationReady()) return;
    QWebEngineView* view = webpeek::FindWebView(handle);
    if (!view || !url) return;
    webpeek::LogLine(std::string("Loading url: ") + url);
    const QUrl address(QString::fromUtf8(url), QUrl::StrictMode);
    if (!address.isValid() || address.isRelative()) return;
    if (!webpeek::LoadAndWait(*view, address, webpeek::LoadTimeout())) return;
    webpeek::LogLine("Completed!");
    gLoaded = true;
}

WEBPEEK_EXPORT void GetDocumentViewSize(WebpeekView* handle, int* width, int* height)
{
    if (!webpeek::GuiApplicationReady()) return;
    QWebEngineView* view = webpeek::FindWebView(handle);
    if (!view || !width || !height) return;
    const auto size = webpeek::MeasureDocument(*view, webpeek::LoadTimeout());
    if (!size) return;
    *width = size->width;
    *height = size->height;
}
