#include "services/translate.h"

#include <memory>

#include "services/language.h"
#include "services/lazy_service.h"
#include "services/lite_language.h"

namespace torvel {
namespace {

// Made on first use; a language file added later takes effect at the next start.
std::unique_ptr<TLanguage> language;
std::unique_ptr<TLiteLanguage> liteLanguage;

std::string TranslateThrough(const TTranslationTable* table, const std::string& english) {
  return table != nullptr ? table->TranslateLines(english) : english;
}

}  // namespace

TLanguage* Language() {
  return CreateOnFirstUse(language);
}

TLiteLanguage* LiteLanguage() {
  return CreateOnFirstUse(liteLanguage);
}

std::string TranslateText(const std::string& english) {
  return TranslateThrough(Language(), english);
}

std::string Translate(const std::string& english) {
  return TranslateThrough(LiteLanguage(), english);
}

void ReleaseTranslationTables() {
  language.reset();
  liteLanguage.reset();
}

}  // namespace torvel
