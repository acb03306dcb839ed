/* Webpeek: shows a web page in a window of the host and measures the rendered
 * document. The library is loaded with dlopen; every call comes from the
 * host's main thread, the one that runs (or will run) its Qt event loop.
 *
 * Calls from another thread, or before InitializeWebpeek when the host runs
 * no Qt application, do nothing (CreateWebWindow returns NULL).
 *
 * Strings are UTF-8. The handles are opaque to a C host; a Qt host may treat
 * a WebpeekWindow as the QWidget of the top-level window (to show, hide, move,
 * resize or delete it: the window belongs to the host) and a WebpeekView as
 * the web view's QWidget.
 *
 * Environment:
 *   WEBPEEK_NIB_PATH       a folder searched for "<nib>.ui" after the host
 *                          executable's own folder, before the built-in nibs
 *   WEBPEEK_LOAD_TIMEOUT   seconds Webpeek waits for a load (default 60)
 */
#ifndef WEBPEEK_H
#define WEBPEEK_H

#include <stdbool.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct WebpeekWindow WebpeekWindow;
typedef struct WebpeekView WebpeekView;

/* True once the page the last Webpeek call waited for finished loading
 * (successfully or with an error page); false while it loads, after a
 * time-out and after a call that loaded nothing. */
extern bool gLoaded;

/* Starts the GUI application (unless the host already runs one) and the web
 * engine. Calling it again does nothing more; it works again after
 * TerminateWebpeek, since the engine stays up for the life of the process.
 * When Webpeek started the application, exit() ends the process (with the
 * same status, after flushing stdio) before the exit handlers and static
 * destructors registered before this call: the engine's threads cannot be
 * stopped then and would race them. */
void InitializeWebpeek(void);
/* Releases what the calls left behind; windows and their views stay the
 * host's. */
void TerminateWebpeek(void);

/* Loads "<nibName>.ui" (a Qt Designer file) and takes its top-level widget
 * when it is named windowName, puts a web view over its content area and,
 * when show is true, shows it. Returns the web view and stores the window in
 * *window, or returns NULL (and stores NULL) when the nib or the window is
 * missing. Closing the window only hides it. */
WebpeekView* CreateWebWindow(const char* nibName, const char* windowName, bool show,
                             WebpeekWindow** window);

/* Loads url into view and returns when that load has finished or the time-out
 * has passed, running the event loop meanwhile (without user input). gLoaded
 * tells which. An invalid URL or an unknown view returns at once. */
void Webpeek(WebpeekView* view, const char* url);

/* The size of the rendered document in CSS pixels (at least the visible
 * area), truncated. The engine is asked while the event loop runs, for at
 * most the load time-out. The outputs stay unchanged when view holds no web
 * view or no document (a page still loading has none yet). */
void GetDocumentViewSize(WebpeekView* view, int* width, int* height);

#ifdef __cplusplus
}
#endif

#endif
