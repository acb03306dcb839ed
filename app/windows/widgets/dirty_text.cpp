#include "app/windows/widgets/dirty_text.h"

#include <QScrollBar>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

namespace {

// (65000, 0, 0) of a 16-bit colour space.
const QColor kRed = QColor::fromRgba64(65000, 0, 0);

}  // namespace

CDirtyText::CDirtyText(QWidget* parent) : QPlainTextEdit(parent)
{
    connect(document(), &QTextDocument::contentsChanged, this, [this] {
        if (mInserting || mDirty) return;
        mDirty = true;
        if (mCommandStatusHook) mCommandStatusHook();
    });
}

int CDirtyText::Length() const { return document()->characterCount() - 1; }

void CDirtyText::Insert(std::string_view text, bool refresh) { InsertColoured(text, nullptr, refresh); }

void CDirtyText::InsertRedText(std::string_view text, bool refresh) { InsertColoured(text, &kRed, refresh); }

void CDirtyText::InsertColoured(std::string_view text, const QColor* colour, bool refresh)
{
    QString added = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    if (added.size() >= kCapacity) {
        added = added.right(kCapacity - 1);
        // Lines come in batches: the kept part begins with a whole line.
        const qsizetype lineEnd = added.indexOf(QLatin1Char('\n'));
        if (lineEnd >= 0 && lineEnd + 1 < added.size()) added.remove(0, lineEnd + 1);
    }
    mInserting = true;
    if (Length() + added.size() >= kCapacity) {
        clear();
        if (refresh) repaint();
    }
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    QTextCharFormat format;
    format.setForeground(colour != nullptr ? QBrush(*colour) : palette().text());
    cursor.insertText(added, format);
    setTextCursor(cursor);
    mInserting = false;
    ensureCursorVisible();
    if (refresh) viewport()->update();
}
