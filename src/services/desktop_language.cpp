#include "services/desktop_language.h"

#include <unistd.h>

#include <cstdlib>
#include <optional>

#include "platform/files.h"
#include "services/paths.h"

namespace torvel {
namespace {

std::optional<std::string>& ChosenFolder() {
  static std::optional<std::string> folder;
  return folder;
}

// The folder this program's file is in, ending with "/".
std::string ProgramFolder() {
  char path[4096];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) {
    return {};
  }
  const std::string file(path, static_cast<size_t>(n));
  return file.substr(0, file.rfind('/') + 1);
}

}  // namespace

std::vector<std::string> DesktopLanguages(const char* lcAll, const char* lcMessages,
                                          const char* lang) {
  std::string locale;
  for (const char* value : {lcAll, lcMessages, lang}) {
    if (value != nullptr && *value != '\0') {
      locale = value;
      break;
    }
  }
  locale = locale.substr(0, locale.find_first_of(".@"));  // no encoding, no modifier
  if (locale.empty() || locale == "C" || locale == "POSIX") {
    return {};
  }
  std::vector<std::string> languages = {locale};
  const size_t country = locale.find('_');
  if (country != std::string::npos && country > 0) {
    languages.push_back(locale.substr(0, country));
  }
  return languages;
}

std::vector<std::string> DesktopLanguages() {
  return DesktopLanguages(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG"));
}

void SetInstalledTranslationsFolder(const std::string& folder) {
  if (folder.empty()) {
    ChosenFolder().reset();  // found beside the program again
  } else {
    ChosenFolder() = TPaths::AddSeparator(folder);
  }
}

std::string InstalledTranslationsFolder() {
  if (ChosenFolder()) {
    return *ChosenFolder();
  }
  const std::string program = ProgramFolder();
  // Installed: <prefix>/bin/torvel. In a build: <build>/src/app/torvel.
  for (const std::string& candidate :
       {program + "../share/torvel/translations/", program + "../../translations/"}) {
    if (!program.empty() && FolderExists(candidate)) {
      return candidate;
    }
  }
  return {};
}

}  // namespace torvel
