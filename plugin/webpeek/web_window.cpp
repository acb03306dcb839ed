#include "plugin/webpeek/web_window.h"

#include <QEvent>
#include <QLayout>
#include <QMainWindow>
#include <QWebEngineView>

namespace webpeek {

namespace {

// The view always covers the content area.
void ContentBoundsChanged(const QWidget& content, QWebEngineView& view)
{
    view.setGeometry(content.rect());
}

class ContentBoundsWatcher : public QObject {
public:
    ContentBoundsWatcher(QWidget& content, QWebEngineView& view) : QObject(&view), mView(view)
    {
        content.installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Resize) ContentBoundsChanged(*static_cast<QWidget*>(watched), mView);
        return false;
    }

private:
    QWebEngineView& mView;
};

}  // namespace

QWidget* ContentArea(QWidget& window)
{
    auto* mainWindow = qobject_cast<QMainWindow*>(&window);
    if (!mainWindow) return &window;
    if (!mainWindow->centralWidget()) mainWindow->setCentralWidget(new QWidget);
    return mainWindow->centralWidget();
}

QWebEngineView* AttachWebView(QWidget& window)
{
    // Closing only hides the window: it stays the host's to show again, and
    // neither ends the host's event loop as its last window nor holds up the
    // host's own quit.
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.setAttribute(Qt::WA_QuitOnClose, false);
    QWidget* content = ContentArea(window);
    // A window not shown yet has not laid out its central widget.
    if (window.layout()) window.layout()->activate();
    auto* view = new QWebEngineView(content);
    ContentBoundsChanged(*content, *view);
    view->raise();
    view->show();
    new ContentBoundsWatcher(*content, *view);
    return view;
}

}  // namespace webpeek
