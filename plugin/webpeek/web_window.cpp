#include "plugin/webpeek/web_window.h"

#include <QEvent>
#include <QLayout>
#include <QMainWindow>
#include <QWebEngineView>

namespace webpeek {

namespace {

// Keeps the view equal to the content area's rectangle.
class ContentBoundsFollower : public QObject {
public:
    ContentBoundsFollower(QWidget& content, QWebEngineView& view) : QObject(&view), mView(view)
    {
        content.installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Resize)
            mView.setGeometry(static_cast<QWidget*>(watched)->rect());
        return false;
    }

private:
    QWebEngineView& mView;
};

// A close request hides the window instead: it stays the host's to show
// again, and closing it never ends the host's event loop.
class CloseHides : public QObject {
public:
    explicit CloseHides(QWidget& window) : QObject(&window) { window.installEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Close) return false;
        event->ignore();
        static_cast<QWidget*>(watched)->hide();
        return true;
    }
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
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    QWidget* content = ContentArea(window);
    // A window not shown yet has not laid out its central widget.
    if (window.layout()) window.layout()->activate();
    auto* view = new QWebEngineView(content);
    view->setGeometry(content->rect());
    view->raise();
    view->show();
    new ContentBoundsFollower(*content, *view);
    new CloseHides(window);
    return view;
}

}  // namespace webpeek
