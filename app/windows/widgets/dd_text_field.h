// CDDTextField: a one-line field that tells its listeners of every key
// (message kMsgFieldKey with a pointer to the key's character code), drags
// its selected text out, and takes dropped text or a dropped folder's path.
//
// What is dropped comes from other programs, so it is cleaned before it goes
// in: control characters are removed and the text is cut to what the field
// can still hold. A drop is always a copy, so a drag from another pane of the
// same window never removes what it dragged.
#pragma once

#include <QLineEdit>

#include "foundation/messaging/broadcaster.h"

class QMimeData;

class CDDTextField : public QLineEdit, public CBroadcaster {
public:
    // Broadcast for every key press; the payload points to a std::int32_t
    // character code (13 Return, 3 Enter).
    static constexpr MessageT kMsgFieldKey = 814;

    explicit CDDTextField(QWidget* parent = nullptr);

    // The text a drop of `data` inserts, or a null string when the field
    // refuses it (a file that is not a folder, nothing textual).
    static QString DropText(const QMimeData& data);
    // `dropped` without control characters, cut so that a field holding
    // `length` characters of which `selected` are replaced stays within
    // `capacity`.
    static QString FitDroppedText(const QString& dropped, int length, int selected, int capacity);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};
