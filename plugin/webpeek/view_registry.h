// The web views this plug-in made, looked up by the handle the host holds.
// A handle is only ever compared, never dereferenced, until it is found
// here: a null, foreign or stale handle simply has no web view.
#pragma once

class QWebEngineView;

namespace webpeek {

void RegisterWebView(QWebEngineView* view);
QWebEngineView* FindWebView(const void* handle);

}  // namespace webpeek
