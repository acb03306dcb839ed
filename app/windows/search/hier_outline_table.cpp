#include "app/windows/search/hier_outline_table.h"

#include <sys/stat.h>

#include <QApplication>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QHeaderView>
#include <QIcon>
#include <QStyle>

#include "app/framework/class_registrar.h"
#include "foundation/settings/log_file.h"
#include "foundation/system/date_text.h"

namespace {

constexpr const char* kRootName = "Search Results";

QTreeWidget* MakeTree(QWidget* parent, int columns)
{
    auto* tree = new QTreeWidget(parent);
    tree->setColumnCount(columns);
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    tree->setUniformRowHeights(true);
    // The heading table above it shows the titles.
    tree->setHeaderHidden(true);
    tree->header()->setStretchLastSection(false);
    for (int column = 0; column < columns; ++column) tree->setColumnWidth(column, COutlineTable::kColumnWidth);
    QObject::connect(tree, &QTreeWidget::itemDoubleClicked, [](QTreeWidgetItem* item, int) {
        if (auto* row = dynamic_cast<COutlineItem*>(item)) row->DoubleClick();
    });
    return tree;
}

QIcon FolderIcon()
{
    static const QIcon icon = QIcon::fromTheme("folder", QApplication::style()->standardIcon(QStyle::SP_DirIcon));
    return icon;
}

QString Text(const CFixedString255& text) { return QString::fromUtf8(text.c_str()); }

}  // namespace

COutlineTable::COutlineTable(const SPaneSpec& spec, QWidget* parent) : CPane(spec, MakeTree(parent, 3)) {}

QTreeWidget* COutlineTable::Tree() const { return qobject_cast<QTreeWidget*>(GetWidget()); }

CItemItem::CItemItem(const CFoundFile& file) : mRef(file.mRef)
{
    setText(0, Text(file.mName));
    setText(1, QString::number(file.mSize));
    CFixedString255 date;
    FormatDateTime(file.mModified, date);
    setText(2, Text(date));
    static QFileIconProvider icons;
    setIcon(0, icons.icon(QFileInfo(QString::fromStdString(file.mRef.Path()))));
    for (int column = 0; column < 3; ++column) setBackground(column, QColor(0xEE, 0xEE, 0xEE));
}

void CItemItem::DoubleClick() { OpenInDefaultApp(mRef.Path()); }

CNodeItem::CNodeItem(CFolderNode* node) : mNode(node)
{
    setText(0, Text(node->GetName()));
    setText(1, "-");
    setText(2, "-");
    setIcon(0, FolderIcon());
    setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
}

void CNodeItem::ExpandSelf()
{
    CollapseSelf();
    QList<QTreeWidgetItem*> rows;
    for (const CFoundFile& file : mNode->Files()) rows.append(new CItemItem(file));
    for (const auto& child : mNode->Children()) rows.append(new CNodeItem(child.get()));
    addChildren(rows);
}

void CNodeItem::CollapseSelf() { qDeleteAll(takeChildren()); }

// The folder is opened from the tree's own path, never through a text that
// a name holding the separator could misdirect.
void CNodeItem::DoubleClick()
{
    if (mNode->GetParent() == nullptr) return;
    const std::string path = mNode->DiskPath();
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return;
    OpenInDefaultApp(path);
}

CHierOutlineTable::CHierOutlineTable(const SPaneSpec& spec, QWidget* parent)
    : COutlineTable(spec, parent), mRoot(std::make_unique<CFolderNode>(nullptr, CFixedString255(kRootName)))
{
    QTreeWidget* tree = Tree();
    mRootRow = new CNodeItem(mRoot.get());
    tree->addTopLevelItem(mRootRow);
    QObject::connect(tree, &QTreeWidget::itemExpanded, [](QTreeWidgetItem* item) {
        if (auto* row = dynamic_cast<CNodeItem*>(item)) row->ExpandSelf();
    });
    QObject::connect(tree, &QTreeWidget::itemCollapsed, [](QTreeWidgetItem* item) {
        if (auto* row = dynamic_cast<CNodeItem*>(item)) row->CollapseSelf();
    });
}

// The rows point into the tree: they go first.
CHierOutlineTable::~CHierOutlineTable()
{
    if (QTreeWidget* tree = Tree()) tree->clear();
}

void CHierOutlineTable::Clear()
{
    if (QTreeWidget* tree = Tree()) tree->collapseItem(mRootRow);
    mRootRow->CollapseSelf();
    mRoot->Clear();
}

void CHierOutlineTable::ExpandRoot()
{
    QTreeWidget* tree = Tree();
    if (tree == nullptr) return;
    if (mRootRow->isExpanded()) mRootRow->ExpandSelf();
    else tree->expandItem(mRootRow);
    tree->scrollToItem(mRootRow);
}

void CHierOutlineTable::FileFound(const TPooledList<CFixedString255>& path, const CFoundFile& file)
{
    ::FileFound(*mRoot, path, file);
}

void RegisterOutlineTables()
{
    CClassRegistrar::RegisterPane(kClassOutlineTable, [](const SPaneSpec& spec, QWidget* parent) {
        return std::make_unique<COutlineTable>(spec, parent);
    });
    CClassRegistrar::RegisterPane(kClassHierOutlineTable, [](const SPaneSpec& spec, QWidget* parent) {
        return std::make_unique<CHierOutlineTable>(spec, parent);
    });
}
