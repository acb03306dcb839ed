// A web view laid over a window's content area: it follows the area's
// resizes, and closing the window only hides it.
#pragma once

class QWebEngineView;
class QWidget;

namespace webpeek {

// The area a web view covers: a main window's central widget (made when the
// nib has none), else the window itself.
QWidget* ContentArea(QWidget& window);

// Makes the web view, a child of the content area, and sets up the resize
// and close handling.
QWebEngineView* AttachWebView(QWidget& window);

}  // namespace webpeek
