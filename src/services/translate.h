#pragma once

#include <string>

namespace torvel {

class TLanguage;
class TLiteLanguage;

// Translates a text of the main window's side (menu captions, error boxes) through the table of
// "language.llf". Without a table entry the English text is the answer, its accelerator "&" moved
// to the first occurrence of its letter.
std::string TranslateText(const std::string& english);

// The same lookup for the texts of the animation editor, through the table of "language.ll2".
std::string Translate(const std::string& english);

// The two shared tables, each made and loaded on first use; none when that fails.
TLanguage* Language();
TLiteLanguage* LiteLanguage();

// Releases both tables; the next lookup loads them afresh.
void ReleaseTranslationTables();

}  // namespace torvel
