// CDirtyText: the log pane of the grabber windows. Appends text in the
// normal colour or in red, never grows past kCapacity characters (it empties
// itself first), and remembers whether the user changed it. A plain-text
// view: it lays out only the lines in sight, where a rich-text one shaped
// every line a crawl logged, several times a second.
#pragma once

#include <functional>
#include <string_view>

#include <QPlainTextEdit>

class CDirtyText : public QPlainTextEdit {
public:
    static constexpr int kCapacity = 31744;

    explicit CDirtyText(QWidget* parent = nullptr);

    // Appends UTF-8 text at the end. When the text would reach kCapacity
    // characters, the pane is emptied first; a text that alone reaches it
    // keeps only its last kCapacity - 1 characters, from the first whole
    // line in them when it has lines. `refresh`: repaint now.
    void Insert(std::string_view text, bool refresh = true);
    void InsertRedText(std::string_view text, bool refresh = true);

    // Characters held (the document's text, without its closing separator).
    int Length() const;
    bool IsDirty() const { return mDirty; }
    // Called once, on the first change the user makes (menus re-enable).
    void SetCommandStatusHook(std::function<void()> hook) { mCommandStatusHook = std::move(hook); }

private:
    void InsertColoured(std::string_view text, const QColor* colour, bool refresh);

    bool mDirty = false;
    bool mInserting = false;
    std::function<void()> mCommandStatusHook;
};
