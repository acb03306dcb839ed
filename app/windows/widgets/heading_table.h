// CHeadingTable ('HdTb'): a row of column headings above a body outline,
// whose columns it follows: inserting, removing or resizing a column in the
// heading does the same in the body, and the heading scrolls sideways with
// it. Columns count from 1. The layout's value names the body's pane ID; the
// window calls FinishCreate once its panes exist.
//
// With selectable columns a click on a heading selects its column and the
// heading broadcasts its selection message with the column number.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <QPointer>
#include <QTreeView>

#include "app/framework/pane.h"

class QHeaderView;
class QPushButton;
class QStandardItemModel;

class CHeadingView;

inline constexpr ClassIDT kClassHeadingTable = MakeFourCharCode("HdTb");

class CHeadingTable : public CPane {
public:
    CHeadingTable(const SPaneSpec& spec, QWidget* parent);
    ~CHeadingTable() override;

    // Finds the body under `root` by the layout's pane ID (nothing when it
    // is missing), takes one heading column per body column at the body's
    // width, and makes the filler right of the last column.
    void FinishCreate(CPane& root);
    QHeaderView* GetHeaderView() const;

    int GetColumnCount() const;
    // Alignment is a Qt::Alignment (left, center, right); the offset is the
    // text's distance from the heading's left edge in pixels.
    void SetColumnTitle(int column, std::string_view title, int alignment, int offset);
    std::string GetColumnTitle(int column) const;
    int GetColumnTextOffset(int column) const;

    // Inserts after `afterColumn` (clamped to the count), also in the body.
    void InsertColumns(int count, int afterColumn, int width);
    virtual void SetColumnWidth(int column, int width);
    int GetColumnWidth(int column) const;
    // Rows have the heading's height: setting one is refused.
    void SetRowHeight(int height);
    // A column's rectangle in the heading's coordinates, the heading's full height.
    QRect GetLocalCellRect(int column) const;

    void SetSelectable(bool selectable, MessageT selectionMessage);
    bool IsSelectable() const { return mSelectable; }
    // Clamped into 1..count; broadcasts the selection message on a change.
    void SelectColumn(int column);
    int GetSelectedColumn() const { return mSelectedColumn; }

    QPushButton* GetFillerButton() const { return mFiller.data(); }

    // The view's mouse, before it handles it itself: true when taken.
    virtual bool HeadingMousePress(int x) { (void)x; return false; }
    virtual bool HeadingMouseMove(int x, bool buttonDown) { (void)x; (void)buttonDown; return false; }
    virtual bool HeadingMouseRelease(int x) { (void)x; return false; }

protected:
    // After columns came (1-based positions): derived classes keep their
    // per-column data in step.
    virtual void ColumnsInserted(int count, int afterColumn) { (void)count; (void)afterColumn; }
    CHeadingView* View() const;
    // Keeps the filler right of the last column.
    void PlaceFiller();
    // x in the heading's content (column 1 starts at 0) from the view's x.
    int ContentX(int viewX) const;

private:
    void InsertColumnsSelf(int count, int afterColumn, int width, bool inBody);
    void CreateDummyButton();

    PaneIDT mBodyID;
    QPointer<QTreeView> mBody;
    QStandardItemModel* mModel;
    QPointer<QPushButton> mFiller;
    std::vector<int> mOffsets;
    MessageT mSelectionMessage = 0;
    int mSelectedColumn = 0;
    bool mSelectable = false;
};
