#pragma once

#include <QAction>
#include <QKeySequence>

namespace torvel::test {

// A menu item as the menu shows it: its caption, and after a tab its shortcut.
inline QString ShownCaption(const QAction& item) {
  const QString key = item.shortcut().toString(QKeySequence::NativeText);
  return key.isEmpty() ? item.text() : item.text() + '\t' + key;
}

}  // namespace torvel::test
