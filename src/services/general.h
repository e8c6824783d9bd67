#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "platform/platform_ui.h"

namespace torvel {

// The program's one exception class; it carries a message text. Only the text picture codec
// raises it, and catches it again itself.
class EGeneralError : public std::runtime_error {
 public:
  explicit EGeneralError(const std::string& message) : std::runtime_error(message) {}
};

// The character or text with its ASCII letters a-z in upper or lower case; every other byte,
// those of UTF-8 sequences included, stays as it is whatever the locale.
char UpperCase(char c);
char LowerCase(char c);
std::string UpperCase(std::string text);
std::string LowerCase(std::string text);

// General services: error boxes and the small text, number and colour helpers that many parts
// of the program share. It keeps no state; no operation throws.
class TGeneral {
 public:
  // A modal error box: the translated text, caption "Error" translated, one OK button.
  void ShowError(const std::string& text);
  // Shows "Out of memory", runs the program-end clean-up and ends the process at once.
  [[noreturn]] void FatalOutOfMemory();
  // Centres the window on its screen (divisions truncate toward zero); none does nothing.
  void CenterOnScreen(TScreenWindow* window);

  std::string BoolToText(bool flag);
  bool TextIsTrue(const std::string& text);  // only the exact text "1"
  // The decimal number in the text ("." separates a fraction; an exponent is allowed), rounded
  // to the nearest integer with halves to even; 0 when it is not a number or does not fit.
  int32_t TextToInt(const std::string& text);
  std::string FormatThousands(int64_t n);  // 1234567 -> "1,234,567"
  // Replaces every occurrence of find, left to right, without rescanning replacements.
  void ReplaceAll(std::string& text, const std::string& find, const std::string& replacement);
  // The keyed byte scrambling of services/scramble.h.
  std::string ScrambleText(const std::string& text, const std::string& key, int mode);

  // The bytes of a colour value 0x00BBGGRR; 0 for a value outside 0..2^32-1.
  int RedOf(int64_t color);
  int GreenOf(int64_t color);
  int BlueOf(int64_t color);
  int HighByteOf(int64_t color);

  // The ordinary files (not folders, not hidden) matching a mask such as "/a/b/*.SAN", one per
  // line, each line ended by "\r\n"; with withFolder, each name is preceded by the mask's folder.
  std::string ListFiles(const std::string& mask, bool withFolder);
};

}  // namespace torvel
