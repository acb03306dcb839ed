#include "app/windows/widgets/heading_table.h"

#include <algorithm>

#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QStyle>
#include <QStyleOptionHeader>
#include <QTreeView>
#include <QTreeWidget>

#include "app/windows/widgets/no_click_attachment.h"

// The Qt header under a heading table: it draws the titles at their offsets
// and lets the table see the mouse first; it never resizes on its own.
class CHeadingView : public QHeaderView {
public:
    CHeadingView(CHeadingTable& owner, QWidget* parent) : QHeaderView(Qt::Horizontal, parent), mOwner(owner)
    {
        setSectionsMovable(false);
        setStretchLastSection(false);
        setMinimumSectionSize(0);
        setMouseTracking(true);
        viewport()->setMouseTracking(true);
    }

    std::vector<int>* offsets = nullptr;

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton && mOwner.HeadingMousePress(event->position().toPoint().x())) return;
        QHeaderView::mousePressEvent(event);
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (mOwner.HeadingMouseMove(event->position().toPoint().x(), event->buttons() & Qt::LeftButton)) return;
        QHeaderView::mouseMoveEvent(event);
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton && mOwner.HeadingMouseRelease(event->position().toPoint().x())) return;
        QHeaderView::mouseReleaseEvent(event);
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override { event->accept(); }

    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override
    {
        if (!rect.isValid()) return;
        QStyleOptionHeader option;
        initStyleOption(&option);
        option.rect = rect;
        option.section = logicalIndex;
        option.text.clear();
        if (mOwner.IsSelectable() && mOwner.GetSelectedColumn() == logicalIndex + 1)
            option.state |= QStyle::State_On | QStyle::State_Sunken;
        style()->drawControl(QStyle::CE_HeaderSection, &option, painter, this);
        const int offset = offsets != nullptr && logicalIndex < static_cast<int>(offsets->size()) ? (*offsets)[logicalIndex] : 4;
        const QRect textRect = rect.adjusted(offset, 0, -4, 0);
        const QString title = model()->headerData(logicalIndex, Qt::Horizontal).toString();
        const auto alignment =
            Qt::Alignment(model()->headerData(logicalIndex, Qt::Horizontal, Qt::TextAlignmentRole).toInt());
        painter->save();
        painter->setPen(palette().color(QPalette::ButtonText));
        painter->drawText(textRect, (alignment & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter,
                          fontMetrics().elidedText(title, Qt::ElideRight, textRect.width()));
        painter->restore();
    }

private:
    CHeadingTable& mOwner;
};

namespace {

CHeadingView* MakeHeadingView(CHeadingTable& owner, QWidget* parent)
{
    return new CHeadingView(owner, parent);
}

}  // namespace

CHeadingTable::CHeadingTable(const SPaneSpec& spec, QWidget* parent)
    : CPane(spec, MakeHeadingView(*this, parent)), mBodyID(static_cast<PaneIDT>(spec.value))
{
    CHeadingView* view = View();
    mModel = new QStandardItemModel(0, 0, view);
    view->setModel(mModel);
    view->offsets = &mOffsets;
    view->setSectionResizeMode(QHeaderView::Fixed);
    view->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    // One line of text with the style's margins: the empty model would
    // otherwise leave the height to the grid.
    view->setFixedHeight(view->fontMetrics().height() + 2 * view->style()->pixelMetric(QStyle::PM_HeaderMargin) + 4);
    QObject::connect(view, &QHeaderView::sectionClicked, [this](int logical) {
        if (mSelectable) SelectColumn(logical + 1);
    });
    QObject::connect(view, &QHeaderView::sectionResized, [this] { PlaceFiller(); });
    QObject::connect(view, &QHeaderView::geometriesChanged, [this] { PlaceFiller(); });
}

CHeadingTable::~CHeadingTable()
{
    if (CHeadingView* view = View()) view->offsets = nullptr;
}

CHeadingView* CHeadingTable::View() const { return static_cast<CHeadingView*>(GetWidget()); }

QHeaderView* CHeadingTable::GetHeaderView() const { return View(); }

void CHeadingTable::FinishCreate(CPane& root)
{
    CPane* bodyPane = mBodyID != 0 ? root.FindPaneByID(mBodyID) : nullptr;
    mBody = bodyPane != nullptr ? qobject_cast<QTreeView*>(bodyPane->GetWidget()) : nullptr;
    if (mBody != nullptr) {
        QObject::connect(mBody->horizontalScrollBar(), &QScrollBar::valueChanged, View(),
                         [this](int value) { View()->setOffset(value); });
        const int columns = mBody->model() != nullptr ? mBody->model()->columnCount() : 0;
        for (int column = 1; column <= columns; ++column)
            InsertColumnsSelf(1, column - 1, mBody->columnWidth(column - 1), false);
    }
    CreateDummyButton();
}

int CHeadingTable::GetColumnCount() const { return mModel->columnCount(); }

void CHeadingTable::SetColumnTitle(int column, std::string_view title, int alignment, int offset)
{
    if (column < 1 || column > GetColumnCount()) return;
    mModel->setHeaderData(column - 1, Qt::Horizontal, QString::fromUtf8(title.data(), static_cast<int>(title.size())));
    mModel->setHeaderData(column - 1, Qt::Horizontal, alignment, Qt::TextAlignmentRole);
    mOffsets[static_cast<std::size_t>(column - 1)] = offset;
    View()->viewport()->update();
}

std::string CHeadingTable::GetColumnTitle(int column) const
{
    if (column < 1 || column > GetColumnCount()) return "";
    return mModel->headerData(column - 1, Qt::Horizontal).toString().toStdString();
}

int CHeadingTable::GetColumnTextOffset(int column) const
{
    if (column < 1 || column > GetColumnCount()) return 0;
    return mOffsets[static_cast<std::size_t>(column - 1)];
}

void CHeadingTable::InsertColumns(int count, int afterColumn, int width)
{
    InsertColumnsSelf(count, afterColumn, width, true);
}

void CHeadingTable::InsertColumnsSelf(int count, int afterColumn, int width, bool inBody)
{
    if (count <= 0) return;
    afterColumn = std::clamp(afterColumn, 0, GetColumnCount());
    mModel->insertColumns(afterColumn, count);
    mOffsets.insert(mOffsets.begin() + afterColumn, static_cast<std::size_t>(count), 4);
    if (inBody && mBody != nullptr && mBody->model() != nullptr &&
        !mBody->model()->insertColumns(std::min(afterColumn, mBody->model()->columnCount()), count))
        if (auto* tree = qobject_cast<QTreeWidget*>(mBody.data())) tree->setColumnCount(tree->columnCount() + count);
    ColumnsInserted(count, afterColumn);
    for (int column = afterColumn + 1; column <= afterColumn + count; ++column) SetColumnWidth(column, width);
}

void CHeadingTable::SetColumnWidth(int column, int width)
{
    if (column < 1 || column > GetColumnCount()) return;
    View()->resizeSection(column - 1, std::max(0, width));
    if (mBody != nullptr) mBody->setColumnWidth(column - 1, std::max(0, width));
}

int CHeadingTable::GetColumnWidth(int column) const
{
    if (column < 1 || column > GetColumnCount()) return 0;
    return View()->sectionSize(column - 1);
}

void CHeadingTable::SetRowHeight(int) {}

QRect CHeadingTable::GetLocalCellRect(int column) const
{
    if (column < 1 || column > GetColumnCount()) return {};
    return QRect(View()->sectionViewportPosition(column - 1), 0, GetColumnWidth(column), View()->height());
}

void CHeadingTable::SetSelectable(bool selectable, MessageT selectionMessage)
{
    mSelectable = selectable;
    mSelectionMessage = selectionMessage;
    View()->setSectionsClickable(selectable);
}

void CHeadingTable::SelectColumn(int column)
{
    if (!mSelectable || GetColumnCount() == 0) return;
    column = std::clamp(column, 1, GetColumnCount());
    if (column == mSelectedColumn) return;
    mSelectedColumn = column;
    View()->viewport()->update();
    if (mSelectionMessage != 0) BroadcastMessage(mSelectionMessage, &column);
}

int CHeadingTable::ContentX(int viewX) const { return viewX + View()->offset(); }

void CHeadingTable::CreateDummyButton()
{
    if (mFiller != nullptr) return;
    mFiller = new QPushButton(View()->viewport());
    mFiller->setFocusPolicy(Qt::NoFocus);
    CNoClickAttachment::Shared().AttachTo(mFiller);
    PlaceFiller();
    mFiller->show();
}

void CHeadingTable::PlaceFiller()
{
    if (mFiller == nullptr) return;
    const int end = GetColumnCount() > 0 ? View()->sectionViewportPosition(GetColumnCount() - 1) +
                                               GetColumnWidth(GetColumnCount())
                                         : 0;
    const int right = View()->viewport()->width() + 10;
    mFiller->setGeometry(end, 0, std::max(0, right - end), View()->viewport()->height());
}
