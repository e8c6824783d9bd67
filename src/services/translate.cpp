#include "services/translate.h"

namespace torvel {

std::string TranslateText(const std::string& english) {
  return english;
}

std::string Translate(const std::string& english) {
  return english;
}

}  // namespace torvel
