#include "app/windows/widgets/dd_text_field.h"

#include <cstdint>

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMimeData>
#include <QUrl>

CDDTextField::CDDTextField(QWidget* parent) : QLineEdit(parent)
{
    setDragEnabled(true);
    setAcceptDrops(true);
}

QString CDDTextField::DropText(const QMimeData& data)
{
    if (data.hasUrls() && !data.urls().isEmpty()) {
        const QUrl url = data.urls().constFirst();
        if (!url.isLocalFile()) return url.toString();
        const QFileInfo item(url.toLocalFile());
        return item.isDir() ? item.absoluteFilePath() : QString();
    }
    if (data.hasText()) return data.text();
    return {};
}

QString CDDTextField::FitDroppedText(const QString& dropped, int length, int selected, int capacity)
{
    QString clean;
    clean.reserve(dropped.size());
    for (QChar c : dropped)
        if (c.unicode() >= 0x20 && c.unicode() != 0x7F) clean += c;
    const int room = capacity - (length - selected);
    if (room <= 0) return {};
    if (clean.size() > room) {
        clean.truncate(room);
        // Never leave half of a surrogate pair behind.
        if (clean.back().isHighSurrogate()) clean.chop(1);
    }
    return clean;
}

void CDDTextField::keyPressEvent(QKeyEvent* event)
{
    std::int32_t character = 0;
    if (event->key() == Qt::Key_Return) character = 13;
    else if (event->key() == Qt::Key_Enter) character = 3;
    else if (!event->text().isEmpty()) character = event->text().at(0).unicode();
    BroadcastMessage(kMsgFieldKey, &character);
    QLineEdit::keyPressEvent(event);
}

void CDDTextField::dragEnterEvent(QDragEnterEvent* event) { dragMoveEvent(event); }

void CDDTextField::dragMoveEvent(QDragMoveEvent* event)
{
    if (isEnabled() && !isReadOnly() && !DropText(*event->mimeData()).isNull()) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void CDDTextField::dropEvent(QDropEvent* event)
{
    const QString dropped = DropText(*event->mimeData());
    if (!isEnabled() || isReadOnly() || dropped.isNull()) {
        event->ignore();
        return;
    }
    const QString text = FitDroppedText(dropped, static_cast<int>(this->text().size()),
                                        static_cast<int>(selectedText().size()), maxLength());
    // A folder's path that does not fit would name another folder.
    const bool isPath = event->mimeData()->hasUrls() && event->mimeData()->urls().constFirst().isLocalFile();
    if (isPath && text.size() != dropped.size()) {
        event->ignore();
        return;
    }
    if (!text.isEmpty()) {
        insert(text);
        emit textEdited(this->text());
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}
