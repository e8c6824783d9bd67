// Makes the two language files of a translation from a plain table.
//
// Usage: language_tool [--name LANGUAGE] TABLE.txt OUT-FOLDER
//
// The table is UTF-8 text, one entry per line: the English text, a tab, its translation. Blank
// lines and lines that begin with "#" are skipped. The English texts are written as the program
// looks them up: without the accelerator "&" and without a tail of blanks, commas and full stops.
// Writes OUT-FOLDER/language.llf and OUT-FOLDER/language.ll2.
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "platform/files.h"
#include "services/general.h"
#include "services/language.h"
#include "services/lite_language.h"
#include "services/paths.h"

namespace {

struct TEntry {
  std::string English;
  std::string Translation;
};

int Fail(const std::string& what) {
  std::fprintf(stderr, "language_tool: %s\n", what.c_str());
  return 1;
}

// Why the program could never look this English text up, or empty when it can.
std::string ProblemWith(const std::string& english, const std::string& translation) {
  if (english.empty() || translation.empty()) {
    return "an empty text";
  }
  if (english.find('&') != std::string::npos) {
    return "an accelerator \"&\" in the English text";
  }
  const char last = english.back();
  if ((last == ' ' || last == ',' || last == '.') &&
      english.find_first_not_of(" ,.") != std::string::npos) {
    return "a tail of blanks, commas or full stops in the English text";
  }
  if (english.find_first_of("\r\n") != std::string::npos) {
    return "a line break";
  }
  return {};
}

bool ReadTable(const std::string& path, std::vector<TEntry>& entries, std::string& error) {
  std::vector<uint8_t> bytes;
  if (!torvel::ReadWholeFile(path, size_t{16} << 20, bytes)) {
    error = "cannot read " + path;
    return false;
  }
  const std::string text(bytes.begin(), bytes.end());
  std::set<std::string> seen;
  size_t start = 0;
  for (int number = 1; start < text.size(); ++number) {
    size_t end = text.find('\n', start);
    end = end == std::string::npos ? text.size() : end;
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    if (line.empty() || line[0] == '#') {
      continue;
    }
    const std::string where = path + ":" + std::to_string(number) + ": ";
    const size_t tab = line.find('\t');
    if (tab == std::string::npos) {
      error = where + "no tab between the English text and its translation";
      return false;
    }
    TEntry entry{line.substr(0, tab), line.substr(tab + 1)};
    const std::string problem = ProblemWith(entry.English, entry.Translation);
    if (!problem.empty()) {
      error = where + problem;
      return false;
    }
    // The two file formats settle duplicates differently, so a table has none.
    if (!seen.insert(torvel::UpperCase(entry.English)).second) {
      error = where + "\"" + entry.English + "\" is in the table twice";
      return false;
    }
    entries.push_back(entry);
  }
  if (entries.empty()) {
    error = path + ": no entries";
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  std::string name = "English";
  if (arguments.size() >= 2 && arguments[0] == "--name") {
    name = arguments[1];
    arguments.erase(arguments.begin(), arguments.begin() + 2);
  }
  if (arguments.size() != 2) {
    std::fprintf(stderr, "Usage: language_tool [--name LANGUAGE] TABLE.txt OUT-FOLDER\n");
    return 2;
  }
  std::vector<TEntry> entries;
  std::string error;
  if (!ReadTable(arguments[0], entries, error)) {
    return Fail(error);
  }
  torvel::TLanguage main(false);
  torvel::TLiteLanguage lite(false);
  main.LanguageName = lite.LanguageName = name;
  for (const TEntry& entry : entries) {
    if (!main.AddEntry(entry.English, entry.Translation) ||
        lite.AddText(entry.English, entry.Translation) < 0) {
      return Fail("more entries than a language file holds");
    }
  }
  const std::string folder = torvel::TPaths::AddSeparator(arguments[1]);
  if (!main.SaveToFile(folder + "language.llf")) {
    return Fail(folder + "language.llf: " + main.LastError);
  }
  if (!lite.SaveToFile(folder + "language.ll2")) {
    return Fail(folder + "language.ll2: " + lite.LastError);
  }
  return 0;
}
