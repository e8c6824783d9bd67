#include "services/ini_file.h"

#include <algorithm>

#include "platform/files.h"
#include "services/general.h"

namespace torvel {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string Trimmed(const std::string& text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) {
    ++begin;
  }
  while (end > begin && IsBlank(text[end - 1])) {
    --end;
  }
  return text.substr(begin, end - begin);
}

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && UpperCase(a) == UpperCase(b);
}

bool HasLineBreak(const std::string& text) {
  return text.find_first_of("\r\n") != std::string::npos;
}

}  // namespace

bool TNoCaseLess::operator()(const std::string& a, const std::string& b) const {
  return UpperCase(a) < UpperCase(b);
}

TIniText::TIniText(std::string text) : text_(std::move(text)) {
  SplitLines();
}

// Lines end at CR LF, LF or a lone CR.
void TIniText::SplitLines() {
  lines_.clear();
  size_t begin = 0;
  while (begin < text_.size()) {
    const size_t end = std::min(text_.find_first_of("\r\n", begin), text_.size());
    size_t next = end;
    if (next < text_.size()) {
      next += (text_[next] == '\r' && next + 1 < text_.size() && text_[next + 1] == '\n') ? 2 : 1;
    }
    lines_.push_back({begin, end, next});
    begin = next;
  }
}

std::string TIniText::LineText(size_t index) const {
  const TLine& line = lines_[index];
  return text_.substr(line.Begin, line.End - line.Begin);
}

bool TIniText::FindSection(const std::string& section, TSectionRange& range) const {
  bool found = false;
  for (size_t i = 0; i < lines_.size(); ++i) {
    const std::string line = Trimmed(LineText(i));
    const size_t close = line.find(']');
    const bool header = !line.empty() && line[0] == '[' && close != std::string::npos;
    if (!header) {
      continue;
    }
    if (found) {
      range.EndLine = i;
      return true;
    }
    if (SameName(Trimmed(line.substr(1, close - 1)), Trimmed(section))) {
      found = true;
      range.Header = i;
      range.FirstLine = i + 1;
    }
  }
  range.EndLine = lines_.size();
  return found;
}

bool TIniText::KeyOfLine(size_t index, std::string& key, std::string& value) const {
  const std::string line = LineText(index);
  const std::string trimmed = Trimmed(line);
  if (trimmed.empty() || trimmed[0] == ';' || trimmed[0] == '#') {
    return false;
  }
  const size_t equals = line.find('=');
  if (equals == std::string::npos) {
    return false;
  }
  key = Trimmed(line.substr(0, equals));
  value = Trimmed(line.substr(equals + 1));
  return !key.empty();
}

bool TIniText::FindValue(const std::string& section, const std::string& key,
                         std::string& value) const {
  TSectionRange range;
  if (!FindSection(section, range)) {
    return false;
  }
  std::string name;
  for (size_t i = range.FirstLine; i < range.EndLine; ++i) {
    if (KeyOfLine(i, name, value) && SameName(name, Trimmed(key))) {
      return true;
    }
  }
  value.clear();
  return false;
}

std::vector<std::string> TIniText::KeyNames(const std::string& section) const {
  std::vector<std::string> names;
  TSectionRange range;
  if (FindSection(section, range)) {
    std::string name;
    std::string value;
    for (size_t i = range.FirstLine; i < range.EndLine; ++i) {
      if (KeyOfLine(i, name, value)) {
        names.push_back(name);
      }
    }
  }
  return names;
}

bool TIniText::IsStorable(const std::string& section, const std::string& key,
                          const std::string& value) {
  const std::string name = Trimmed(key);
  return !Trimmed(section).empty() && !name.empty() && !HasLineBreak(section) &&
         !HasLineBreak(key) && !HasLineBreak(value) && section.find(']') == std::string::npos &&
         key.find('=') == std::string::npos && name[0] != '[' && name[0] != ';' && name[0] != '#';
}

// New lines take the file's own line break; a file without one gets LF.
std::string TIniText::LineBreak() const {
  for (const TLine& line : lines_) {
    if (line.Next > line.End) {
      return text_.substr(line.End, line.Next - line.End);
    }
  }
  return "\n";
}

bool TIniText::SetValue(const std::string& section, const std::string& key,
                        const std::string& value) {
  if (!IsStorable(section, key, value)) {
    return false;
  }
  const std::string newLine = LineBreak();
  const std::string keyLine = Trimmed(key) + "=" + Trimmed(value);
  TSectionRange range;
  if (!FindSection(section, range)) {
    std::string addition;
    if (!text_.empty() && text_.back() != '\n' && text_.back() != '\r') {
      addition += newLine;
    }
    addition += "[" + Trimmed(section) + "]" + newLine + keyLine + newLine;
    text_ += addition;
    SplitLines();
    return true;
  }
  std::string name;
  std::string old;
  size_t last = range.Header;  // the section's last line that is not empty
  for (size_t i = range.FirstLine; i < range.EndLine; ++i) {
    if (KeyOfLine(i, name, old) && SameName(name, Trimmed(key))) {
      text_.replace(lines_[i].Begin, lines_[i].End - lines_[i].Begin, keyLine);
      SplitLines();
      return true;
    }
    if (!Trimmed(LineText(i)).empty()) {
      last = i;
    }
  }
  const TLine& after = lines_[last];
  if (after.Next == after.End) {  // the last line of the text, without a line break
    text_.insert(after.End, newLine + keyLine);
  } else {
    text_.insert(after.Next, keyLine + newLine);
  }
  SplitLines();
  return true;
}

bool TIniFile::ReadText(std::string& text) const {
  std::vector<uint8_t> bytes;
  if (!FileExists(FileName) || !ReadWholeFile(FileName, kMostFileBytes, bytes)) {
    return false;
  }
  text.assign(bytes.begin(), bytes.end());
  return true;
}

std::string TIniFile::ReadValue(const std::string& section, const std::string& key,
                                const std::string& defaultValue) const {
  std::string text;
  std::string value;
  if (!ReadText(text) || !TIniText(std::move(text)).FindValue(section, key, value)) {
    value = defaultValue;
  }
  value.resize(std::min(value.size(), kValueBuffer - 1));
  return value;
}

bool TIniFile::WriteValue(const std::string& section, const std::string& key,
                          const std::string& value) {
  LastError = "Unable to write to " + FileName;
  std::string text;
  // A file that exists but cannot be read is not replaced by one that lacks its contents.
  if (FileExists(FileName) && !ReadText(text)) {
    return false;
  }
  TIniText ini(std::move(text));
  if (!ini.SetValue(section, key, value)) {
    return false;
  }
  const std::string& result = ini.Text();
  if (!WriteFileSafely(FileName, reinterpret_cast<const uint8_t*>(result.data()), result.size())) {
    return false;
  }
  LastError.clear();
  return true;
}

// The section's key names as far as they fit the name buffer, the one it ends in cut there.
std::vector<std::string> TIniFile::NamesInBuffer(const TIniText& ini, const std::string& section) {
  std::vector<std::string> names;
  size_t room = kKeyNameBuffer - 1;  // the zero byte that ends the list
  for (std::string name : ini.KeyNames(section)) {
    if (room <= 1) {
      break;
    }
    if (name.size() + 1 > room) {
      name.resize(room - 1);
    }
    room -= name.size() + 1;
    names.push_back(std::move(name));
  }
  return names;
}

void TIniFile::ReadKeyNames(const std::string& section, std::vector<std::string>& list) const {
  list.clear();
  std::string text;
  if (ReadText(text)) {
    list = NamesInBuffer(TIniText(std::move(text)), section);
  }
}

void TIniFile::ReadPairs(const std::string& section, TIniPairs& list) const {
  std::string text;
  if (!ReadText(text)) {
    return;
  }
  const TIniText ini(std::move(text));  // read once for all the keys
  for (const std::string& name : NamesInBuffer(ini, section)) {
    std::string value;
    ini.FindValue(section, name, value);
    value.resize(std::min(value.size(), kValueBuffer - 1));
    if (value.empty()) {
      list.erase(name);
    } else {
      list[name] = value;
    }
  }
}

}  // namespace torvel
