#include "app/ResultView.h"

#include <QHoverEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QScrollBar>

#include <algorithm>

namespace {

// How far outside the viewport a row that is off the screen is placed.
constexpr qint64 kFarAway = 1 << 24;

}  // namespace

ResultView::ResultView(QWidget* parent) : QListView(parent)
{
    setUniformItemSizes(true);
    setVerticalScrollMode(ScrollPerItem);
}

int ResultView::rowCount() const
{
    return model() ? model()->rowCount(rootIndex()) : 0;
}

int ResultView::topRow() const
{
    return verticalScrollBar()->value();
}

int ResultView::rowPitch() const
{
    return std::max(1, itemSize_.height() + spacing());
}

// The scroll bars show or hide only when the event loop next runs: the
// rows shown are counted as if they already had, so that a key pressed
// right after a merge moves by the page the user will see.
int ResultView::shownHeight() const
{
    const bool bar = horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOn
                  || (horizontalScrollBarPolicy() == Qt::ScrollBarAsNeeded && horizontalScrollBar()->maximum() > 0);
    return contentsRect().height() - (bar ? horizontalScrollBar()->sizeHint().height() : 0);
}

int ResultView::fullRowsShown() const
{
    return std::max(1, (shownHeight() - spacing()) / rowPitch());
}

int ResultView::rowAtY(int y) const
{
    if (y < spacing())
        return -1;
    const qint64 row = qint64(topRow()) + (y - spacing()) / rowPitch();
    const bool inGap = (y - spacing()) % rowPitch() >= itemSize_.height();
    return row > lastRow() || inGap ? -1 : int(row);
}

QRect ResultView::rowRect(int row) const
{
    const qint64 top = qint64(spacing()) + (qint64(row) - topRow()) * rowPitch();
    const int y = int(std::clamp(top, -kFarAway, kFarAway));
    // Rows are as wide as the viewport, or as their text where it is wider.
    const int width = std::max(itemSize_.width(), viewport()->width() - 2 * spacing());
    return QRect(spacing() - horizontalOffset(), y, width, itemSize_.height());
}

QModelIndex ResultView::rowIndex(int row) const
{
    return row < 0 || row > lastRow() ? QModelIndex() : model()->index(row, modelColumn(), rootIndex());
}

bool ResultView::isOwnRow(const QModelIndex& index) const
{
    return index.isValid() && index.model() == model() && index.parent() == rootIndex()
        && index.column() == modelColumn();
}

QRect ResultView::visualRect(const QModelIndex& index) const
{
    return isOwnRow(index) ? rowRect(index.row()) : QRect();
}

QModelIndex ResultView::indexAt(const QPoint& point) const
{
    const QModelIndex index = rowIndex(rowAtY(point.y()));
    return index.isValid() && visualRect(index).contains(point) ? index : QModelIndex();
}

void ResultView::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    if (!isOwnRow(index))
        return;
    const int row = index.row();
    const int shown = fullRowsShown();
    int top = topRow();
    if (hint == PositionAtTop || (hint == EnsureVisible && row < top))
        top = row;
    else if (hint == PositionAtBottom || (hint == EnsureVisible && qint64(row) >= qint64(top) + shown))
        top = row - shown + 1;
    else if (hint == PositionAtCenter)
        top = row - (shown - 1) / 2;
    verticalScrollBar()->setValue(top);
    viewport()->update(visualRect(index));
}

// Layout is the size of the first row and the scroll bars: no row is visited.
void ResultView::doItemsLayout()
{
    itemSize_ = rowCount() > 0 ? sizeHintForIndex(rowIndex(0)) : QSize();
    QAbstractItemView::doItemsLayout();  // NOLINT(bugprone-parent-virtual-call): QListView's own keeps layout data for every row
}

// A new list is laid out at once (it costs nothing), so that a key or a
// scroll that follows at once already moves by its rows.
void ResultView::reset()
{
    QListView::reset();
    doItemsLayout();
}

void ResultView::keyboardSearch(const QString& search)
{
    if (rowCount() <= kMaxSearchedRows)
        QListView::keyboardSearch(search);
}

// As the list box moves: a page is the rows shown less one, and the cursor
// stops at either end. Without a current line any move starts at the first.
QModelIndex ResultView::moveCursor(CursorAction action, Qt::KeyboardModifiers /*modifiers*/)
{
    if (rowCount() == 0)
        return {};
    const QModelIndex current = currentIndex();
    if (!isOwnRow(current))
        return rowIndex(0);
    const int row = current.row();
    const int page = std::max(1, fullRowsShown() - 1);
    switch (action) {
    case MoveUp:
    case MovePrevious:
        return rowIndex(std::max(row - 1, 0));
    case MoveDown:
    case MoveNext:
        return rowIndex(std::min(row, lastRow() - 1) + 1);
    case MovePageUp:
        return rowIndex(std::max(row - page, 0));
    case MovePageDown:
        return rowIndex(int(std::min<qint64>(qint64(row) + page, lastRow())));
    case MoveHome:
        return rowIndex(0);
    case MoveEnd:
        return rowIndex(lastRow());
    case MoveLeft:
    case MoveRight:
        break;
    }
    return current;
}

int ResultView::horizontalOffset() const
{
    return horizontalScrollBar()->value();
}

// Positions the base class keeps stay in viewport coordinates: the offset
// of the top row in pixels would overrun an int in a long list.
int ResultView::verticalOffset() const
{
    return 0;
}

void ResultView::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command)
{
    if (!selectionModel())
        return;
    const QRect area = rect.normalized();
    const QModelIndex first = indexAt(area.topLeft());
    const QModelIndex last = indexAt(area.bottomRight());
    QItemSelection selection;
    if (first.isValid() && last.isValid())
        selection.select(first.row() <= last.row() ? first : last, first.row() <= last.row() ? last : first);
    selectionModel()->select(selection, command);
}

QRegion ResultView::visualRegionForSelection(const QItemSelection& selection) const
{
    const int firstShown = topRow();
    const int lastShown = int(std::min<qint64>(qint64(firstShown) + fullRowsShown(), lastRow()));
    QRegion region;
    for (const QItemSelectionRange& range : selection) {
        if (!range.isValid() || range.parent() != rootIndex())
            continue;
        const int top = std::max(range.top(), firstShown);
        const int bottom = std::min(range.bottom(), lastShown);
        if (top <= bottom)
            region += rowRect(top).united(rowRect(bottom));
    }
    return region;
}

void ResultView::updateGeometries()
{
    updateHorizontalBar();
    updateVerticalBar();
    QAbstractItemView::updateGeometries();  // NOLINT(bugprone-parent-virtual-call): QListView's own keeps layout data for every row
}

// In rows: its value is the top row, its page the rows shown in full.
void ResultView::updateVerticalBar()
{
    const qint64 contentHeight = 2 * qint64(spacing()) + qint64(rowCount()) * rowPitch();
    QScrollBar* bar = verticalScrollBar();
    bar->setSingleStep(1);
    bar->setPageStep(fullRowsShown());
    bar->setRange(0, contentHeight > shownHeight() ? std::max(0, rowCount() - fullRowsShown()) : 0);
}

// In pixels, when the lines are wider than the viewport.
void ResultView::updateHorizontalBar()
{
    const int contentWidth = rowCount() > 0 ? itemSize_.width() + 2 * spacing() : 0;
    const QSize area = contentsRect().size();
    const qint64 contentHeight = qint64(rowCount()) * rowPitch();
    const int width = contentHeight > area.height() ? area.width() - verticalScrollBar()->sizeHint().width()
                                                    : area.width();
    QScrollBar* bar = horizontalScrollBar();
    bar->setSingleStep(itemSize_.width() + spacing());
    bar->setPageStep(viewport()->width());
    bar->setRange(0, contentWidth > width ? contentWidth - width : 0);
}

void ResultView::scrollContentsBy(int dx, int dy)
{
    // dy counts rows; a jump of more than a screen is simply repainted.
    if (std::abs(qint64(dy)) > fullRowsShown())
        viewport()->update();
    else
        viewport()->scroll(dx, dy * rowPitch());
}

void ResultView::paintEvent(QPaintEvent* event)
{
    if (rowCount() == 0 || !itemDelegate())
        return;
    QStyleOptionViewItem base;
    initViewItemOption(&base);
    const QModelIndex current = currentIndex();
    const bool focused = (hasFocus() || viewport()->hasFocus()) && current.isValid();
    const bool enabled = base.state & QStyle::State_Enabled;
    QPainter painter(viewport());
    const qint64 firstShown = qint64(topRow()) + std::max(0, event->rect().top() - spacing()) / rowPitch();
    for (int row = int(std::min<qint64>(firstShown, lastRow())); row <= lastRow(); ++row) {
        const QRect rect = rowRect(row);
        if (rect.top() > event->rect().bottom())
            break;
        const QModelIndex index = rowIndex(row);
        QStyleOptionViewItem option = base;
        option.rect = rect;
        if (selectionModel() && selectionModel()->isSelected(index))
            option.state |= QStyle::State_Selected;
        if (enabled && !(model()->flags(index) & Qt::ItemIsEnabled))
            option.state &= ~QStyle::State_Enabled;
        if (enabled)
            option.palette.setCurrentColorGroup(option.state & QStyle::State_Enabled ? QPalette::Normal
                                                                                    : QPalette::Disabled);
        if (focused && index == current)
            option.state |= QStyle::State_HasFocus;
        option.state.setFlag(QStyle::State_MouseOver, index == hover_);
        itemDelegateForIndex(index)->paint(&painter, option, index);
        if (row == lastRow())
            break;
    }
}

// The list box's own resize would lay the rows out again; here only the
// scroll bars change.
void ResultView::resizeEvent(QResizeEvent* event)
{
    QAbstractItemView::resizeEvent(event);  // NOLINT(bugprone-parent-virtual-call): QListView's own keeps layout data for every row
}

bool ResultView::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::HoverEnter || event->type() == QEvent::HoverMove)
        hover_ = indexAt(static_cast<QHoverEvent*>(event)->position().toPoint());
    else if (event->type() == QEvent::HoverLeave)
        hover_ = QPersistentModelIndex();
    return QListView::viewportEvent(event);
}

void ResultView::rowsInserted(const QModelIndex& parent, int start, int end)
{
    QAbstractItemView::rowsInserted(parent, start, end);  // NOLINT(bugprone-parent-virtual-call): QListView's own keeps layout data for every row
    scheduleDelayedItemsLayout();
}

void ResultView::rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end)
{
    QAbstractItemView::rowsAboutToBeRemoved(parent, start, end);  // NOLINT(bugprone-parent-virtual-call): QListView's own keeps layout data for every row
    scheduleDelayedItemsLayout();
}
