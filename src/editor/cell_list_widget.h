#pragma once

#include <QListWidget>
#include <QStyledItemDelegate>
#include <functional>

namespace torvel {

// The cell list: fixed-height rows whose contents the editor draws, with a 3-pixel marker bar at
// the left edge of the row of the cell the preview shows.
class TCellListWidget : public QListWidget {
  Q_OBJECT

 public:
  static constexpr int kMarkerStrip = 6;

  explicit TCellListWidget(QWidget* parent);

  void SetRowHeight(int height);
  int RowHeight() const { return rowHeight_; }

  // Draws one row into its rectangle; `selected` tells which colours the list uses for it.
  std::function<void(QPainter& painter, int row, const QRect& rect, bool selected)> DrawRow;
  // Appends a row; rows come and go at the end.
  void AddRow();
  // What assistive technology is told a row is (the rows have no text of their own).
  std::function<QString(int row)> RowName;
  // The row that carries the marker, or -1.
  std::function<int()> MarkedRow;
  // Moving a row by dragging it: whether the row under the pointer takes it, and the drop.
  std::function<bool(int row)> CanDropOn;
  std::function<void(int row)> DropOn;

  // Paints the marker column of the two rows again (the marker's old row and its new one),
  // without redrawing the rows; a row outside the list is left out.
  void RepaintMarkers(int row, int otherRow);
  // The marker bar of a row, in viewport coordinates.
  QRect MarkerRect(const QRect& rowRect) const;

  // Whether the paint under way covers the marker column alone, as RepaintMarkers asks.
  bool PaintingMarkersOnly() const { return paintingMarkersOnly_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  int RowAt(const QPoint& at) const;

  int rowHeight_ = 52;
  bool paintingMarkersOnly_ = false;
};

// Tells assistive technology the list's rows by RowName, each focused only while the list has
// the focus (Qt's own item views call the current row focused whatever has the focus).
void InstallAccessibleCellList();

class TCellRowDelegate : public QStyledItemDelegate {
 public:
  explicit TCellRowDelegate(TCellListWidget* list) : QStyledItemDelegate(list), list_(list) {}
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 private:
  TCellListWidget* list_;
};

}  // namespace torvel
