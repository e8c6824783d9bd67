// The main window's settings file: stay-on-top, the preview's background colour and indicators,
// the versions of the program and of its last unpacked support files, and in sections of their
// own the recent files and the export options once the user has chosen them.
#include <algorithm>
#include <tuple>

#include "app/main_window.h"
#include "editor/animation_edit.h"
#include "platform/files.h"
#include "services/ini_file.h"
#include "services/services.h"

namespace torvel {
namespace {

std::string ValueOf(const TIniPairs& pairs, const char* key) {
  const auto found = pairs.find(key);
  return found != pairs.end() ? found->second : std::string();
}

}  // namespace

std::string TForm1::SettingsFileName() {
  TPaths* paths = Paths();
  return paths != nullptr ? paths->WindowsCompanyFolder("Settings") + "Torvel" + ".INI"
                          : std::string();
}

// A missing file keeps every default; a file without a key switches that setting off (black for
// the colour).
void TForm1::LoadSettings() {
  try {
    const std::string fileName = SettingsFileName();
    TGeneral* general = General();
    if (fileName.empty() || general == nullptr || !FileExists(fileName)) {
      return;
    }
    const TIniFile ini(fileName);
    TIniPairs pairs;
    ini.ReadPairs("Settings", pairs);
    SetOnTop(general->TextIsTrue(ValueOf(pairs, "OnTop")));
    editor_->SetBackgroundColor(static_cast<TColor>(general->TextToInt(ValueOf(pairs, "BGColor"))));
    editor_->SetIndicators(general->TextIsTrue(ValueOf(pairs, "Indicators")));
    ini.ReadPairs("Version", pairs);
    if (ValueOf(pairs, "SupportFiles") == kVersionText) {
      SupportFilesPending = false;
    }
    LoadExportSettings(ini, *general);
    recent_.Load(ini);
  } catch (...) {
    // What was applied before the failure stays applied.
  }
}

void TForm1::LoadExportSettings(const TIniFile& ini, TGeneral& general) {
  TIniPairs pairs;
  ini.ReadPairs("Export", pairs);
  if (pairs.empty()) {
    return;
  }
  TExportOptions& options = editor_->ExportOptions;
  options.Scale =
      std::clamp(general.TextToInt(ValueOf(pairs, "Scale")), 1, int{TExportOptions::kMostScale});
  options.Dither = general.TextIsTrue(ValueOf(pairs, "Dither"));
  options.Loop = general.TextIsTrue(ValueOf(pairs, "Loop"));
  editor_->ExportDialogSettings.FilterIndex =
      std::clamp(general.TextToInt(ValueOf(pairs, "FileType")), 1, 4);
  editor_->ExportFolder = ValueOf(pairs, "Folder");
  editor_->ExportOptionsChosen = true;
}

// Writes all five keys, and the export options once chosen; a key that cannot be written ends
// the saving quietly.
void TForm1::SaveSettings() {
  try {
    TGeneral* general = General();
    if (general == nullptr || !editor_) {
      return;
    }
    TIniFile ini(SettingsFileName());
    // Written as the signed number it was read as, so that any value read comes back the same.
    const std::string color = std::to_string(static_cast<int32_t>(editor_->GetBackgroundColor()));
    const std::tuple<const char*, const char*, std::string> values[] = {
        {"Settings", "OnTop", general->BoolToText(IsOnTop())},
        {"Settings", "BGColor", color},
        {"Settings", "Indicators", general->BoolToText(editor_->GetIndicators())},
        {"Version", "Version", kVersionText},
        {"Version", "SupportFiles", kVersionText}};
    for (const auto& [section, key, value] : values) {
      if (!ini.WriteValue(section, key, value)) {
        return;
      }
    }
    if (!recent_.Save(ini) || !editor_->ExportOptionsChosen) {
      return;
    }
    const TExportOptions& options = editor_->ExportOptions;
    const std::pair<const char*, std::string> exportValues[] = {
        {"Scale", std::to_string(options.Scale)},
        {"Dither", general->BoolToText(options.Dither)},
        {"Loop", general->BoolToText(options.Loop)},
        {"FileType", std::to_string(editor_->ExportDialogSettings.FilterIndex)},
        {"Folder", editor_->ExportFolder}};
    for (const auto& [key, value] : exportValues) {
      if (!ini.WriteValue("Export", key, value)) {
        return;
      }
    }
  } catch (...) {
  }
}

}  // namespace torvel
