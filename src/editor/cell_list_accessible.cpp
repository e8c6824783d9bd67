// The cell list as assistive technology sees it: a list of rows named "Cell 3 of 13" and
// "End", one of which is focused when the list has the focus, and none otherwise.
#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <map>

#include "editor/cell_list_widget.h"

namespace torvel {
namespace {

class TAccessibleRow : public QAccessibleInterface, public QAccessibleActionInterface {
 public:
  TAccessibleRow(TCellListWidget* list, int row) : list_(list), row_(row) {}

  int Row() const { return row_; }
  bool isValid() const override { return list_ != nullptr && row_ < list_->count(); }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return list_ ? list_->window()->windowHandle() : nullptr; }
  QAccessibleInterface* parent() const override {
    return QAccessible::queryAccessibleInterface(list_);
  }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QAccessible::Role role() const override { return QAccessible::ListItem; }
  void setText(QAccessible::Text, const QString&) override {}

  QString text(QAccessible::Text kind) const override {
    return kind == QAccessible::Name && isValid() && list_->RowName ? list_->RowName(row_)
                                                                    : QString();
  }
  QRect rect() const override {
    if (!isValid()) {
      return {};
    }
    const QRect area = list_->visualItemRect(list_->item(row_));
    return QRect(list_->viewport()->mapToGlobal(area.topLeft()), area.size());
  }
  QAccessible::State state() const override {
    QAccessible::State state;
    if (!isValid()) {
      state.invalid = true;
      return state;
    }
    state.selectable = state.focusable = true;
    state.selected = list_->item(row_)->isSelected();
    state.focused = list_->hasFocus() && list_->currentRow() == row_;
    const QRect area = list_->visualItemRect(list_->item(row_));
    state.invisible = state.offscreen = !area.intersects(list_->viewport()->rect());
    return state;
  }

  void* interface_cast(QAccessible::InterfaceType type) override {
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                : nullptr;
  }
  QStringList actionNames() const override { return {pressAction()}; }
  void doAction(const QString& name) override {
    if (name == pressAction() && isValid()) {
      list_->setCurrentRow(row_);  // as a click on the row
    }
  }
  QStringList keyBindingsForAction(const QString&) const override { return {}; }

 private:
  QPointer<TCellListWidget> list_;
  int row_;
};

class TAccessibleCellList : public QAccessibleWidget {
 public:
  explicit TAccessibleCellList(TCellListWidget* list)
      : QAccessibleWidget(list, QAccessible::List) {}
  ~TAccessibleCellList() override {
    for (const auto& [row, id] : rows_) {
      QAccessible::deleteAccessibleInterface(id);
    }
  }

  int childCount() const override { return List()->count(); }
  QAccessibleInterface* child(int index) const override {
    if (index < 0 || index >= List()->count()) {
      return nullptr;
    }
    ForgetRemovedRows();
    auto found = rows_.find(index);
    if (found == rows_.end()) {
      const QAccessible::Id id =
          QAccessible::registerAccessibleInterface(new TAccessibleRow(List(), index));
      found = rows_.emplace(index, id).first;
    }
    return QAccessible::accessibleInterface(found->second);
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    const auto* row = dynamic_cast<const TAccessibleRow*>(child);
    return row != nullptr && row->isValid() ? row->Row() : -1;
  }
  QAccessibleInterface* childAt(int x, int y) const override {
    const QPoint at = List()->viewport()->mapFromGlobal(QPoint(x, y));
    const int row = List()->indexAt(at).row();
    return row >= 0 ? child(row) : nullptr;
  }

 private:
  TCellListWidget* List() const { return static_cast<TCellListWidget*>(widget()); }
  // Rows go at the end only: the interfaces of rows past it are let go of.
  void ForgetRemovedRows() const {
    for (auto it = rows_.lower_bound(List()->count()); it != rows_.end();) {
      QAccessible::deleteAccessibleInterface(it->second);
      it = rows_.erase(it);
    }
  }

  mutable std::map<int, QAccessible::Id> rows_;
};

QAccessibleInterface* AccessibleCellList(const QString&, QObject* object) {
  auto* list = qobject_cast<TCellListWidget*>(object);
  return list != nullptr ? new TAccessibleCellList(list) : nullptr;
}

}  // namespace

void InstallAccessibleCellList() {
  static const bool installed = (QAccessible::installFactory(AccessibleCellList), true);
  Q_UNUSED(installed);
}

}  // namespace torvel
