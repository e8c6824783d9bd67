#pragma once

#include <QString>
#include <string>

namespace torvel {

// The program's texts are UTF-8 in std::string; Qt's are QString. They meet here.
inline QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

}  // namespace torvel
