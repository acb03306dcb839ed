// CDragAndDropTable: a table of short strings whose rows are selected whole,
// reordered by dragging, dragged out as text (the row's cells joined by ","),
// filled by text dropped in (split at "," into the cells), and removed with
// the Delete key. Each cell holds at most 255 bytes.
//
// A drag that stays in its own table moves the row itself (its cells as they
// are, whatever they contain); the copy modifier (Ctrl) copies it instead.
// Text from anywhere else is copied in as a new row at the drop boundary.
#pragma once

#include <string>
#include <vector>

#include <QPoint>
#include <QTableWidget>

#include "foundation/messaging/broadcaster.h"

class QMimeData;

class CDragAndDropTable : public QTableWidget, public CBroadcaster {
public:
    static constexpr MessageT kMsgDoubleClick = MakeFourCharCode("DCLK");  // payload: int* row (0-based)
    static constexpr MessageT kMsgRowsChanged = MakeFourCharCode("TCHG");  // a drop or a removal

    using Row = std::vector<std::string>;

    CDragAndDropTable(int columns, QWidget* parent = nullptr);

    int RowCount() const { return rowCount(); }
    Row RowCells(int row) const;
    std::vector<Row> AllRows() const;
    void SetRowCells(int row, const Row& cells);
    // Inserts at index `row` (0..count) and selects it.
    void InsertRow(int row, const Row& cells);
    void RemoveRow(int row);
    void RemoveAllRows();
    void FillRows(const std::vector<Row>& rows);
    // The selected row, or -1.
    int SelectedRow() const;
    void SelectRow(int row);

    // The text a row leaves as: its cells joined by ",".
    std::string DragText(int row) const;
    // The cells of dropped text: split at ",", runs of commas giving no empty
    // pieces, pieces past the last column ignored, each cut at 255 bytes.
    Row CellsFromText(const std::string& text) const;

    // A drop at row boundary `boundary` (0 above the first row, n below row
    // n; -1: none, the end). `sameTable` is true when the drag started in
    // this table; `copy` when the copy modifier was held.
    void HandleDrop(const std::string& text, int boundary, bool sameTable, bool copy);
    // Moves row `from` to boundary `boundary`, cells intact; the moved row is
    // selected. Moving to either boundary of the row itself changes nothing.
    void MoveRow(int from, int boundary);

    // The row boundary nearest to a point of the viewport.
    int BoundaryAt(const QPoint& viewportPoint) const;

    // Whether text may be dropped in (the configurations list takes none).
    void SetAcceptsDrops(bool accepts);
    // Cut to 255 bytes without splitting a character.
    static std::string Cut255(const std::string& text);

protected:
    // The Delete key: removes the selected row (the configurations list
    // overrides it to ask its window).
    virtual void DeleteSelectedRow();

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void StartDrag(int row);
    bool Accepts(const QMimeData* data) const;

    QPoint mPressPoint;
    int mPressRow = -1;
    int mDropBoundary = -1;
    bool mAcceptsDrops = true;
};

// The editable string tables of the configuration editor.
class CEditableTable : public CDragAndDropTable {
public:
    // `secretColumn` (0-based, -1 none) is shown as bullets.
    CEditableTable(const std::vector<const char*>& headers, int secretColumn, QWidget* parent = nullptr);
};
