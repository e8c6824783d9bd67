#pragma once

#include <string>
#include <vector>

namespace torvel {

// The languages the desktop asks for, most wanted first, read as Qt and gettext programs read
// them: LC_ALL, else LC_MESSAGES, else LANG (the first that is set and not empty). "de_AT.UTF-8"
// gives "de_AT" and then "de"; "C", "POSIX" and nothing at all ask for none, which is English.
std::vector<std::string> DesktopLanguages(const char* lcAll, const char* lcMessages,
                                          const char* lang);
// The same from this program's environment.
std::vector<std::string> DesktopLanguages();

// The folder of the installed translations, one subfolder a language ("de/"), ending with "/":
// beside the program's share folder once installed (<prefix>/share/torvel/translations/), or
// the build's own translations; empty when there is none. Tests may name another; an empty
// name goes back to the one beside the program.
std::string InstalledTranslationsFolder();
void SetInstalledTranslationsFolder(const std::string& folder);

}  // namespace torvel
