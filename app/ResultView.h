#pragma once
// lstResultat's view: a list whose every row has the height of the first, so
// that where a row stands is arithmetic on its number. Nothing is kept per
// row: laying out, scrolling, hit-testing, moving the cursor and painting
// cost what is on the screen, whatever the number of lines, up to the most
// rows a model can address. The vertical scroll bar counts rows (its value is
// the top row), as a list's height in pixels would overrun an int; the
// horizontal one counts pixels. Rows are never hidden and do not wrap.

#include <QListView>
#include <QPersistentModelIndex>

#include <climits>
#include <cstdint>

class ResultView : public QListView {
    Q_OBJECT
public:
    // The most rows a model can address (its rowCount is an int).
    static constexpr std::uint64_t kMaxRows = INT_MAX;
    // Type-ahead walks the model line by line; beyond this many lines a
    // search that finds nothing would hold the window for minutes.
    static constexpr int kMaxSearchedRows = 100'000;

    explicit ResultView(QWidget* parent = nullptr);

    QRect visualRect(const QModelIndex& index) const override;
    QModelIndex indexAt(const QPoint& point) const override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    void doItemsLayout() override;
    void reset() override;
    void keyboardSearch(const QString& search) override;

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;
    QRegion visualRegionForSelection(const QItemSelection& selection) const override;
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void rowsInserted(const QModelIndex& parent, int start, int end) override;
    void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;

private:
    int rowCount() const;
    int topRow() const;
    int rowPitch() const;  // a row and the spacing below it
    int shownHeight() const;
    int fullRowsShown() const;
    int lastRow() const { return rowCount() - 1; }
    // The row under viewport height `y`, or -1.
    int rowAtY(int y) const;
    // Row `row` in viewport coordinates; a row far off the screen is pinned
    // just outside it, so that no coordinate overflows.
    QRect rowRect(int row) const;
    QModelIndex rowIndex(int row) const;
    bool isOwnRow(const QModelIndex& index) const;
    void updateVerticalBar();
    void updateHorizontalBar();

    QSize itemSize_;  // every row's, from the first
    QPersistentModelIndex hover_;
};
