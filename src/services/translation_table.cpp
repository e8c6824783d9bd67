#include "services/translation_table.h"

#include "platform/error_texts.h"
#include "platform/files.h"
#include "platform/ticks.h"
#include "services/desktop_language.h"
#include "services/general.h"
#include "services/services.h"

namespace torvel {
namespace {

// Language files written for this program use these four keys.
constexpr char kFixedKey1[] = "8u/O+{LX*x4@%9:CatA+tDDZmt4Yzt[IC$|k.b6;)uO";
constexpr char kFixedKey2[] =
    "g;EfBjzA=K][*SH8s.`kJ*j%JF4ZFyGc(?O@~yT6'tF4pW%7xONDPyS/#T6t}1KZZ~@oKlzjKts_q6i)J%76a";
constexpr char kDefaultKeyA[] = "3qX9`*'?;%ezr*_6#q>BX[q8ZtOeq6x|:2~cx~eIz&45Bm<H4*p!hd";
constexpr char kDefaultKeyB[] = "O`Xm^,+{W>I-GY{:pY)m|)!F[k5'j+j9YcN51D)Hf=CtaaKw%kS";
static_assert(sizeof kFixedKey1 - 1 == 43 && sizeof kFixedKey2 - 1 == 85);
static_assert(sizeof kDefaultKeyA - 1 == 54 && sizeof kDefaultKeyB - 1 == 51);

constexpr int kLoadAttempts = 10;
constexpr uint32_t kRetryPauseMs = 20;

// The characters a line's tail is made of; they are kept out of the lookup.
constexpr char kTailCharacters[] = " ,.";

// The lines of a text; every CR LF, CR or LF ends one line and begins the next.
std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines(1);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
        ++i;
      }
      lines.emplace_back();
    } else {
      lines.back() += text[i];
    }
  }
  return lines;
}

}  // namespace

TTranslationTable::TTranslationTable(size_t capacity, const char* fileName)
    : KeyA(DefaultKeyA()), KeyB(DefaultKeyB()), capacity_(capacity), fileName_(fileName) {}

const std::string& TTranslationTable::FixedKey1() {
  static const std::string key = kFixedKey1;
  return key;
}
const std::string& TTranslationTable::FixedKey2() {
  static const std::string key = kFixedKey2;
  return key;
}
const std::string& TTranslationTable::DefaultKeyA() {
  static const std::string key = kDefaultKeyA;
  return key;
}
const std::string& TTranslationTable::DefaultKeyB() {
  static const std::string key = kDefaultKeyB;
  return key;
}

void TTranslationTable::Reset() {
  LanguageName = "English";
  entries_.clear();
  KeyA = DefaultKeyA();
  KeyB = DefaultKeyB();
  ResetTexts();
}

std::string TTranslationTable::LanguageFile() const {
  TPaths* paths = Paths();
  const std::string folder = paths ? paths->WindowsCompanyFolder("Settings") : std::string();
  return folder.empty() ? std::string() : folder + fileName_;
}

std::string TTranslationTable::FileToLoad() const {
  const std::string own = LanguageFile();
  if (!own.empty() && FileExists(own)) {
    return own;
  }
  const std::string installed = InstalledTranslationsFolder();
  for (const std::string& language : DesktopLanguages()) {
    const std::string file = installed + language + "/" + fileName_;
    if (!installed.empty() && FileExists(file)) {
      return file;
    }
  }
  return {};
}

bool TTranslationTable::LoadLanguage() {
  const std::string path = FileToLoad();
  if (path.empty() || !FileExists(path)) {
    Reset();
    return true;
  }
  for (int attempt = 1;; ++attempt) {
    if (LoadFile(path, 0)) {
      return true;
    }
    if (LastError != kFileInUse || attempt == kLoadAttempts) {
      return false;
    }
    SleepMs(kRetryPauseMs);
  }
}

std::unique_ptr<TFileStream> TTranslationTable::OpenForReading(const std::string& path) {
  LastError = kFileNotFound;
  if (!FileExists(path)) {
    return nullptr;
  }
  LastError = kFileInUse;
  return TFileStream::Open(path, TFileStream::TMode::Read);
}

bool TTranslationTable::Append(const std::string& english, const std::string& translation) {
  if (entries_.size() >= capacity_) {
    return false;
  }
  entries_.push_back({english, translation, UpperCase(english)});
  return true;
}

int TTranslationTable::FindText(const std::string& english) const {
  if (english.empty()) {
    return -1;
  }
  const std::string key = UpperCase(english);
  for (size_t i = 0; i < entries_.size(); ++i) {
    const std::string& candidate = entries_[i].Key;
    if (!candidate.empty() && candidate[0] == key[0] && candidate == key) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

bool TTranslationTable::TranslateLine(std::string& text) const {
  const int index = FindText(text);
  if (index < 0) {
    return false;
  }
  text = entries_[static_cast<size_t>(index)].Translation;
  return true;
}

void TTranslationTable::MoveAccelerator(std::string& text, std::string& marker, int mode,
                                        const std::string& replacement) {
  if (marker.empty()) {
    return;
  }
  const char wanted = UpperCase(marker[0]);
  size_t at = 0;
  while (at < text.size() && UpperCase(text[at]) != wanted) {
    ++at;
  }
  if (at == text.size()) {
    return;
  }
  marker = at + 1 < text.size() ? text.substr(at + 1, 1) : std::string();
  if (mode == 0) {
    text.insert(at, replacement);
  } else if (mode == 1) {
    text.replace(at, 1, replacement);
  }
}

std::string TTranslationTable::TranslateOneLine(const std::string& line) const {
  const size_t last = line.find_last_not_of(kTailCharacters);
  // A line made only of tail characters is looked up whole.
  const size_t bodyLength = last == std::string::npos ? line.size() : last + 1;
  std::string body = line.substr(0, bodyLength);
  const std::string tail = line.substr(bodyLength);

  std::string letter;
  if (body.find('&') != std::string::npos) {
    letter = "&";
    MoveAccelerator(body, letter, 1, "");
  }
  TranslateLine(body);
  if (!letter.empty() && letter != "&") {
    MoveAccelerator(body, letter, 0, "&");
  }
  return body + tail;
}

std::string TTranslationTable::TranslateLines(const std::string& english) const {
  if (english.empty()) {
    return english;
  }
  try {
    std::string result;
    const std::vector<std::string> lines = SplitLines(english);
    for (size_t i = 0; i < lines.size(); ++i) {
      result += (i > 0 ? "\r\n" : "") + TranslateOneLine(lines[i]);
    }
    return result;
  } catch (...) {
    return english;
  }
}

}  // namespace torvel
