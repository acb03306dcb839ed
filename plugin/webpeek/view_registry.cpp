#include "plugin/webpeek/view_registry.h"

#include <unordered_map>

#include <QPointer>
#include <QWebEngineView>

namespace webpeek {

namespace {

// The key is the view's QWidget address, which is what the host holds.
// Never destroyed: views may still go (and unregister) while the process
// exits, after the static destructors have run.
std::unordered_map<const void*, QPointer<QWebEngineView>>& Views()
{
    static auto* views = new std::unordered_map<const void*, QPointer<QWebEngineView>>;
    return *views;
}

}  // namespace

void RegisterWebView(QWebEngineView* view)
{
    const void* key = static_cast<QWidget*>(view);
    Views()[key] = view;
    QObject::connect(view, &QObject::destroyed, [key] { Views().erase(key); });
}

QWebEngineView* FindWebView(const void* handle)
{
    auto found = Views().find(handle);
    if (found == Views().end()) return nullptr;
    if (!found->second) {
        Views().erase(found);
        return nullptr;
    }
    return found->second.data();
}

}  // namespace webpeek
