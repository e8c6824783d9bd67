#pragma once

#include <string>

namespace torvel {

// Looks up the user's language for an English text of the main window's side. Without a
// language table the English text is the answer.
std::string TranslateText(const std::string& english);

// The same lookup for the texts of the animation editor.
std::string Translate(const std::string& english);

}  // namespace torvel
