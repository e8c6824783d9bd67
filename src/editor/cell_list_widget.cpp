#include "editor/cell_list_widget.h"

#include <QDragMoveEvent>
#include <QDropEvent>
#include <QPaintEvent>
#include <QPainter>

namespace torvel {

void TCellListWidget::AddRow() {
  addItem(new QListWidgetItem);  // the editor draws it; the accessible list names it
}

TCellListWidget::TCellListWidget(QWidget* parent) : QListWidget(parent) {
  InstallAccessibleCellList();
  setItemDelegate(new TCellRowDelegate(this));
  setUniformItemSizes(true);
  setFrameShape(QFrame::Box);
  setLineWidth(1);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setDragDropMode(QAbstractItemView::InternalMove);
}

// The row under the pointer; -1 below the last row.
int TCellListWidget::RowAt(const QPoint& at) const {
  return indexAt(at).row();
}

void TCellListWidget::dragEnterEvent(QDragEnterEvent* event) {
  event->source() == this ? event->acceptProposedAction() : event->ignore();
}

void TCellListWidget::dragMoveEvent(QDragMoveEvent* event) {
  const bool takes =
      event->source() == this && CanDropOn && CanDropOn(RowAt(event->position().toPoint()));
  takes ? event->acceptProposedAction() : event->ignore();
}

// The editor moves the cell itself; the list's own move of the row is refused. Drops from
// elsewhere (files) are left to the window.
void TCellListWidget::dropEvent(QDropEvent* event) {
  if (event->source() != this) {
    event->ignore();
    return;
  }
  const int row = RowAt(event->position().toPoint());
  if (CanDropOn && CanDropOn(row) && DropOn) {
    DropOn(row);
  }
  event->setDropAction(Qt::IgnoreAction);
  event->accept();
}

void TCellListWidget::SetRowHeight(int height) {
  rowHeight_ = height;
  doItemsLayout();
}

QRect TCellListWidget::MarkerRect(const QRect& rowRect) const {
  return QRect(QPoint(1, rowRect.top() + 1), QPoint(3, rowRect.bottom() - 1));
}

void TCellListWidget::RepaintMarkers(int row, int otherRow) {
  for (const int r : {row, otherRow}) {
    if (QListWidgetItem* shown = item(r)) {
      const QRect rowRect = visualItemRect(shown);
      viewport()->update(QRect(0, rowRect.top(), kMarkerStrip, rowRect.height()));
    }
  }
}

// Playback moves the marker every frame: such a paint leaves the rows' pictures and numbers as
// they are on screen. (The painter's own clipping does not show the paint event's region.)
void TCellListWidget::paintEvent(QPaintEvent* event) {
  paintingMarkersOnly_ = event->rect().right() < kMarkerStrip;
  QListWidget::paintEvent(event);
  paintingMarkersOnly_ = false;
}

void TCellRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
  const bool selected = option.state & QStyle::State_Selected;
  if (list_->DrawRow && !list_->PaintingMarkersOnly()) {
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
