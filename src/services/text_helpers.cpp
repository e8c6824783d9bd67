// The text and number helpers of the general services.
#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>

#include "services/general.h"
#include "services/scramble.h"

namespace torvel {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Accepts [+-] digits [. digits] [(e|E) [+-] digits], with digits on at least one side of the
// point, and surrounding blanks. Returns the number part without the blanks, or empty.
std::string_view NumberPart(std::string_view text) {
  while (!text.empty() && text.front() == ' ') {
    text.remove_prefix(1);
  }
  while (!text.empty() && text.back() == ' ') {
    text.remove_suffix(1);
  }
  size_t i = 0;
  auto digits = [&] {
    const size_t start = i;
    while (i < text.size() && IsDigit(text[i])) {
      ++i;
    }
    return i - start;
  };
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    ++i;
  }
  size_t mantissa = digits();
  if (i < text.size() && text[i] == '.') {
    ++i;
    mantissa += digits();
  }
  if (mantissa == 0) {
    return {};
  }
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
      ++i;
    }
    if (digits() == 0) {
      return {};
    }
  }
  return i == text.size() ? text : std::string_view{};
}

}  // namespace

char UpperCase(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

char LowerCase(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string UpperCase(std::string text) {
  for (char& c : text) {
    c = UpperCase(c);
  }
  return text;
}

std::string LowerCase(std::string text) {
  for (char& c : text) {
    c = LowerCase(c);
  }
  return text;
}

std::string TGeneral::BoolToText(bool flag) {
  return flag ? "1" : "0";
}

bool TGeneral::TextIsTrue(const std::string& text) {
  return text == "1";
}

int32_t TGeneral::TextToInt(const std::string& text) {
  std::string_view number = NumberPart(text);
  if (number.empty()) {
    return 0;
  }
  if (number.front() == '+') {
    number.remove_prefix(1);  // from_chars takes no plus sign
  }
  double value = 0;
  const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (ec != std::errc() || end != number.data() + number.size()) {
    return 0;
  }
  // nearbyint rounds halves to even in the default rounding mode.
  const double rounded = std::nearbyint(value);
  if (!(rounded >= std::numeric_limits<int32_t>::min() &&
        rounded <= std::numeric_limits<int32_t>::max())) {
    return 0;
  }
  return static_cast<int32_t>(rounded);
}

std::string TGeneral::FormatThousands(int64_t n) try {
  const bool negative = n < 0;
  std::string digits = std::to_string(n);
  if (negative) {
    digits.erase(0, 1);
  }
  std::string result;
  int group = 0;
  for (size_t j = 0; j < digits.size(); ++j) {
    ++group;
    const size_t index = digits.size() - 1 - j;  // the digit just counted
    if (group == 3 && index != 0) {
      result.insert(0, "," + digits.substr(index, 3));
      group = 0;
    }
  }
  result.insert(0, digits.substr(0, group));
  return negative ? "-" + result : result;
} catch (...) {
  return {};
}

void TGeneral::ReplaceAll(std::string& text, const std::string& find,
                          const std::string& replacement) {
  if (find.empty()) {
    return;
  }
  try {
    for (size_t at = text.find(find); at != std::string::npos;
         at = text.find(find, at + replacement.size())) {
      text.replace(at, find.size(), replacement);
    }
  } catch (...) {
    // Out of memory: the text keeps the replacements made so far.
  }
}

std::string TGeneral::ScrambleText(const std::string& text, const std::string& key, int mode) {
  try {
    return torvel::ScrambleText(text, key, mode);
  } catch (...) {
    return {};
  }
}

}  // namespace torvel
