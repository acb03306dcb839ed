// The search results: a tree of folders built from the found files' paths
// under one root row, "Search Results". Rows are made only when a folder row
// is expanded (files first, then sub-folders) and freed when it collapses;
// the search fills the tree with the root collapsed and expands it when it
// ends. Double-clicking a row opens the file, or the folder, in the
// desktop's application for it.
//
// COutlineTable ('Cout') is the plain three-column outline whose owner fills
// the rows; CHierOutlineTable ('CHOT') is the results outline.
#pragma once

#include <memory>

#include <QTreeWidget>
#include <QTreeWidgetItem>

#include "app/framework/pane.h"
#include "app/windows/search/found_files.h"

inline constexpr ClassIDT kClassOutlineTable = MakeFourCharCode("Cout");
inline constexpr ClassIDT kClassHierOutlineTable = MakeFourCharCode("CHOT");

// A row that knows what a double click does.
class COutlineItem : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    virtual void DoubleClick() {}
};

class COutlineTable : public CPane {
public:
    static constexpr int kColumnWidth = 250;
    COutlineTable(const SPaneSpec& spec, QWidget* parent);
    QTreeWidget* Tree() const;
};

// A found file: name and icon, size in bytes, modification date in local time.
class CItemItem : public COutlineItem {
public:
    explicit CItemItem(const CFoundFile& file);
    void DoubleClick() override;

private:
    CFileRef mRef;
};

// A folder of the tree: expandable, "-" for size and date.
class CNodeItem : public COutlineItem {
public:
    explicit CNodeItem(CFolderNode* node);
    // Makes the rows of its node (once per expansion).
    void ExpandSelf();
    // Frees its rows.
    void CollapseSelf();
    void DoubleClick() override;

private:
    CFolderNode* mNode;
};

class CHierOutlineTable : public COutlineTable {
public:
    CHierOutlineTable(const SPaneSpec& spec, QWidget* parent);
    ~CHierOutlineTable() override;

    // Empties the tree and collapses the root row.
    void Clear();
    // Expands the root row, making its rows from the tree.
    void ExpandRoot();
    void FileFound(const TPooledList<CFixedString255>& path, const CFoundFile& file);

    CFolderNode& Root() { return *mRoot; }
    CNodeItem* RootRow() const { return mRootRow; }

private:
    std::unique_ptr<CFolderNode> mRoot;
    CNodeItem* mRootRow = nullptr;
};

void RegisterOutlineTables();
