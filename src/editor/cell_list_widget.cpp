#include "editor/cell_list_widget.h"

#include <QPainter>

namespace torvel {

TCellListWidget::TCellListWidget(QWidget* parent) : QListWidget(parent) {
  setItemDelegate(new TCellRowDelegate(this));
  setUniformItemSizes(true);
  setFrameShape(QFrame::Box);
  setLineWidth(1);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void TCellListWidget::SetRowHeight(int height) {
  rowHeight_ = height;
  doItemsLayout();
}

QRect TCellListWidget::MarkerRect(const QRect& rowRect) const {
  return QRect(QPoint(1, rowRect.top() + 1), QPoint(3, rowRect.bottom() - 1));
}

void TCellListWidget::RepaintMarkers() {
  viewport()->update(QRect(0, 0, kMarkerStrip, viewport()->height()));
}

void TCellRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
  const bool selected = option.state & QStyle::State_Selected;
  // A repaint of the marker column alone leaves the row as it is on screen.
  const bool markerOnly = painter->hasClipping() &&
                          painter->clipBoundingRect().right() <= TCellListWidget::kMarkerStrip;
  if (list_->DrawRow && !markerOnly) {
    list_->DrawRow(*painter, index.row(), option.rect, selected);
  }
  const bool marked = list_->MarkedRow && list_->MarkedRow() == index.row();
  const QPalette& colours = list_->palette();
  painter->fillRect(list_->MarkerRect(option.rect),
                    marked ? colours.color(QPalette::Highlight) : colours.color(QPalette::Base));
}

QSize TCellRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
  return QSize(option.rect.width(), list_->RowHeight());
}

}  // namespace torvel
