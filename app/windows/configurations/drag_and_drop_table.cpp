#include "app/windows/configurations/drag_and_drop_table.h"

#include <algorithm>

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include "foundation/text/fixed_string.h"

namespace {

// The table whose row is being dragged, so a drop can tell a move within
// its own table from text that came from elsewhere.
CDragAndDropTable* gDragSource = nullptr;

QString ToQt(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

class CBulletDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QString displayText(const QVariant& value, const QLocale&) const override
    {
        return QString(value.toString().size(), QChar(0x2022));
    }
};

}  // namespace

CDragAndDropTable::CDragAndDropTable(int columns, QWidget* parent) : QTableWidget(0, columns, parent)
{
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(false);  // the table starts its own drags
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDropIndicatorShown(false);
    verticalHeader()->hide();
    horizontalHeader()->hide();
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    setWordWrap(false);
}

std::string CDragAndDropTable::Cut255(const std::string& text) { return CFixedString255(std::string_view(text)).str(); }

CDragAndDropTable::Row CDragAndDropTable::RowCells(int row) const
{
    Row cells;
    for (int column = 0; column < columnCount(); ++column) {
        const QTableWidgetItem* cell = item(row, column);
        cells.push_back(cell ? cell->text().toStdString() : std::string());
    }
    return cells;
}

std::vector<CDragAndDropTable::Row> CDragAndDropTable::AllRows() const
{
    std::vector<Row> rows;
    for (int row = 0; row < rowCount(); ++row) rows.push_back(RowCells(row));
    return rows;
}

void CDragAndDropTable::SetRowCells(int row, const Row& cells)
{
    for (int column = 0; column < columnCount(); ++column) {
        const std::string text = column < static_cast<int>(cells.size()) ? Cut255(cells[column]) : std::string();
        setItem(row, column, new QTableWidgetItem(ToQt(text)));
    }
}

void CDragAndDropTable::InsertRow(int row, const Row& cells)
{
    row = std::clamp(row, 0, rowCount());
    insertRow(row);
    SetRowCells(row, cells);
    SelectRow(row);
}

void CDragAndDropTable::RemoveRow(int row)
{
    if (row < 0 || row >= rowCount()) return;
    removeRow(row);
    if (rowCount() > 0) SelectRow(std::min(row, rowCount() - 1));
}

void CDragAndDropTable::RemoveAllRows() { setRowCount(0); }

void CDragAndDropTable::FillRows(const std::vector<Row>& rows)
{
    RemoveAllRows();
    for (const Row& cells : rows) {
        insertRow(rowCount());
        SetRowCells(rowCount() - 1, cells);
    }
    if (rowCount() > 0) SelectRow(0);
}

int CDragAndDropTable::SelectedRow() const
{
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void CDragAndDropTable::SelectRow(int row)
{
    if (row < 0 || row >= rowCount()) {
        clearSelection();
        return;
    }
    selectRow(row);
    setCurrentCell(row, 0);
}

std::string CDragAndDropTable::DragText(int row) const
{
    std::string text;
    const Row cells = RowCells(row);
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) text += ',';
        text += cells[i];
    }
    return text;
}

CDragAndDropTable::Row CDragAndDropTable::CellsFromText(const std::string& text) const
{
    const std::string cut = Cut255(text);
    Row cells;
    if (columnCount() == 1) {
        cells.push_back(cut);
        return cells;
    }
    std::size_t start = 0;
    while (start <= cut.size() && static_cast<int>(cells.size()) < columnCount()) {
        std::size_t comma = cut.find(',', start);
        if (comma == std::string::npos) comma = cut.size();
        if (comma > start) cells.push_back(cut.substr(start, comma - start));
        start = comma + 1;
    }
    cells.resize(static_cast<std::size_t>(columnCount()));
    return cells;
}

void CDragAndDropTable::HandleDrop(const std::string& text, int boundary, bool sameTable, bool copy)
{
    if (boundary < 0 || boundary > rowCount()) boundary = rowCount();
    const int selected = SelectedRow();
    if (sameTable && !copy && selected >= 0) {
        MoveRow(selected, boundary);
    } else if (sameTable && selected >= 0) {
        InsertRow(boundary, RowCells(selected));  // a copy keeps the cells exactly
    } else {
        InsertRow(boundary, CellsFromText(text));
    }
    BroadcastMessage(kMsgRowsChanged);
}

void CDragAndDropTable::MoveRow(int from, int boundary)
{
    if (from < 0 || from >= rowCount()) return;
    boundary = std::clamp(boundary, 0, rowCount());
    if (boundary == from || boundary == from + 1) {
        viewport()->update();
        return;
    }
    std::vector<QTableWidgetItem*> cells;
    for (int column = 0; column < columnCount(); ++column) cells.push_back(takeItem(from, column));
    removeRow(from);
    const int to = boundary > from ? boundary - 1 : boundary;
    insertRow(to);
    for (int column = 0; column < columnCount(); ++column) setItem(to, column, cells[column]);
    SelectRow(to);
}

int CDragAndDropTable::BoundaryAt(const QPoint& viewportPoint) const
{
    const int row = rowAt(viewportPoint.y());
    if (row < 0) return rowCount();
    const int top = rowViewportPosition(row);
    return viewportPoint.y() >= top + rowHeight(row) / 2 ? row + 1 : row;
}

void CDragAndDropTable::SetAcceptsDrops(bool accepts)
{
    mAcceptsDrops = accepts;
    setAcceptDrops(accepts);
    viewport()->setAcceptDrops(accepts);
}

void CDragAndDropTable::DeleteSelectedRow()
{
    if (SelectedRow() < 0) return;
    RemoveRow(SelectedRow());
    BroadcastMessage(kMsgRowsChanged);
}

void CDragAndDropTable::mousePressEvent(QMouseEvent* event)
{
    QTableWidget::mousePressEvent(event);
    mPressPoint = event->position().toPoint();
    mPressRow = event->button() == Qt::LeftButton ? rowAt(mPressPoint.y()) : -1;
    if (mPressRow >= 0) SelectRow(mPressRow);
}

void CDragAndDropTable::mouseMoveEvent(QMouseEvent* event)
{
    if (mPressRow >= 0 && (event->buttons() & Qt::LeftButton) &&
        (event->position().toPoint() - mPressPoint).manhattanLength() >= QApplication::startDragDistance()) {
        const int row = mPressRow;
        mPressRow = -1;
        StartDrag(row);
        return;
    }
    QTableWidget::mouseMoveEvent(event);
}

void CDragAndDropTable::mouseDoubleClickEvent(QMouseEvent* event)
{
    int row = rowAt(event->position().toPoint().y());
    if (row >= 0) {
        SelectRow(row);
        BroadcastMessage(kMsgDoubleClick, &row);
    }
}

void CDragAndDropTable::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace) {
        DeleteSelectedRow();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

void CDragAndDropTable::StartDrag(int row)
{
    SelectRow(row);
    auto* data = new QMimeData;
    data->setText(ToQt(DragText(row)));
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    gDragSource = this;
    drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
    gDragSource = nullptr;
}

bool CDragAndDropTable::Accepts(const QMimeData* data) const
{
    return mAcceptsDrops && isEnabled() && data != nullptr && data->hasText();
}

void CDragAndDropTable::dragEnterEvent(QDragEnterEvent* event)
{
    if (!Accepts(event->mimeData())) {
        event->ignore();
        return;
    }
    mDropBoundary = -1;
    event->acceptProposedAction();
}

void CDragAndDropTable::dragMoveEvent(QDragMoveEvent* event)
{
    if (!Accepts(event->mimeData())) {
        event->ignore();
        return;
    }
    const int boundary = BoundaryAt(event->position().toPoint());
    if (boundary != mDropBoundary) {
        mDropBoundary = boundary;
        viewport()->update();
    }
    event->acceptProposedAction();
}

void CDragAndDropTable::dragLeaveEvent(QDragLeaveEvent* event)
{
    mDropBoundary = -1;
    viewport()->update();
    event->accept();
}

void CDragAndDropTable::dropEvent(QDropEvent* event)
{
    if (!Accepts(event->mimeData())) {
        event->ignore();
        return;
    }
    const int boundary = BoundaryAt(event->position().toPoint());
    const bool sameTable = gDragSource == this;
    const bool copy = (event->modifiers() & Qt::ControlModifier) != 0;
    mDropBoundary = -1;
    HandleDrop(event->mimeData()->text().toStdString(), boundary, sameTable, copy);
    event->setDropAction(sameTable && !copy ? Qt::MoveAction : Qt::CopyAction);
    event->accept();
}

void CDragAndDropTable::paintEvent(QPaintEvent* event)
{
    QTableWidget::paintEvent(event);
    if (mDropBoundary < 0) return;
    int y = 0;
    if (rowCount() > 0) {
        const int row = std::min(mDropBoundary, rowCount() - 1);
        y = rowViewportPosition(row) + (mDropBoundary > row ? rowHeight(row) : 0);
    }
    QPainter painter(viewport());
    painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
    painter.drawLine(0, y, viewport()->width(), y);
}

CEditableTable::CEditableTable(const std::vector<const char*>& headers, int secretColumn, QWidget* parent)
    : CDragAndDropTable(static_cast<int>(headers.size()), parent)
{
    QStringList labels;
    for (const char* header : headers) labels << QString::fromUtf8(header);
    setHorizontalHeaderLabels(labels);
    horizontalHeader()->show();
    if (secretColumn >= 0) setItemDelegateForColumn(secretColumn, new CBulletDelegate(this));
}
