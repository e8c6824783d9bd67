#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>
#include <QTranslator>
#include <map>
#include <memory>

#include "app/main_window.h"
#include "app/qt_translations.h"
#include "editor/animation_edit.h"
#include "platform/files.h"
#include "services/language.h"
#include "services/lite_language.h"
#include "services/services.h"
#include "services/translate.h"
#include "support/menu_caption.h"
#include "support/scripted_platform_ui.h"
#include "widgets/compact_splash.h"
#include "widgets/status_display.h"
#include "widgets/toolbar.h"

namespace torvel {
namespace {

const std::string kGermanFiles = std::string(TORVEL_TRANSLATIONS) + "/de/";

// Every menu item caption below the given items, separators left out.
void CollectCaptions(const QList<QAction*>& items, QStringList& captions) {
  for (QAction* item : items) {
    if (!item->isSeparator()) {
      captions << test::ShownCaption(*item);
    }
    if (item->menu() != nullptr) {
      CollectCaptions(item->menu()->actions(), captions);
    }
  }
}

// The texts the editor window shows: labels, check boxes, the speed list's words, toolbar hints
// and the status panels' texts and hints.
QStringList EditorTexts(TAnimationEdit& editor) {
  QStringList texts = {editor.CellsLabel()->text(),    editor.PreviewLabel()->text(),
                       editor.SpeedLabel()->text(),    editor.TransparentBox()->text(),
                       editor.FlipBox()->text(),       editor.MirrorBox()->text(),
                       editor.SpeedBox()->itemText(0), editor.SpeedBox()->itemText(1).mid(2)};
  for (int slot = 0; slot < TAnimationEdit::kToolbarCommands; ++slot) {
    texts << editor.Toolbar().GetButton(slot)->toolTip();
  }
  for (int panel = 0; panel < 6; ++panel) {
    const QLabel* label = editor.Status()->GetPanel(panel);
    texts << label->text().trimmed();
    if (!label->toolTip().isEmpty()) {
      texts << label->toolTip().section(' ', 1, 1);  // " Toggle Pause": the word before the text
    }
  }
  texts.removeAll("");
  return texts;
}

// The form in which the program looks a caption up: before any shortcut, without "&" and tail.
std::string LookedUp(QString caption) {
  caption = caption.section('\t', 0, 0);
  caption.remove(caption.indexOf('&'), caption.contains('&') ? 1 : 0);
  while (!caption.isEmpty() && QString(" ,.").contains(caption.back())) {
    caption.chop(1);
  }
  return caption.toStdString();
}

class TranslationTest : public testing::Test {
 protected:
  TranslationTest() : settings_(Paths()->WindowsCompanyFolder("Settings")) {}
  ~TranslationTest() override {
    window_.reset();
    DeleteFile(settings_ + "language.llf");
    DeleteFile(settings_ + "language.ll2");
    ReleaseTranslationTables();
  }

  void StartInGerman() {
    for (const char* name : {"language.llf", "language.ll2"}) {
      ASSERT_TRUE(CopyFileOver(kGermanFiles + name, settings_ + name)) << kGermanFiles + name;
    }
    ReleaseTranslationTables();
    Start();
  }
  void Start() {
    window_ = std::make_unique<TForm1>();
    window_->EndProcess = [] {};
    window_->Editor()->PlaybackTick();  // fills the status panels
    window_->Editor()->SetBusy(true);   // and the busy panel
    window_->Editor()->SetBusy(false);
  }
  QStringList MenuCaptions() {
    QStringList captions;
    CollectCaptions(window_->menuBar()->actions(), captions);
    CollectCaptions(window_->PopupMenu()->actions(), captions);
    return captions;
  }

  test::TScriptedPlatformUi ui_;
  std::string settings_;
  std::unique_ptr<TForm1> window_;
};

// Every item of a menu has a letter, and Alt and a letter reach one item of a menu only when no
// other item of it has that letter.
void ExpectUniqueLetters(const QMenu& menu, const char* language) {
  std::map<QChar, QString> taken;
  for (const QAction* action : menu.actions()) {
    const QString text = action->text();
    const qsizetype at = text.indexOf('&');
    if (action->isSeparator()) {
      continue;
    }
    EXPECT_TRUE(at >= 0 && at + 1 < text.size()) << language << ": " << menu.title().toStdString()
                                                 << ": " << text.toStdString() << " has no letter";
    if (at < 0 || at + 1 >= text.size()) {
      continue;
    }
    const QChar letter = text[at + 1].toLower();
    const auto [place, fresh] = taken.emplace(letter, text);
    EXPECT_TRUE(fresh) << language << ": " << menu.title().toStdString() << ": "
                       << text.toStdString() << " and " << place->second.toStdString();
  }
}

TEST_F(TranslationTest, EveryMenuHasItsOwnLetterForEachItemInEveryLanguage) {
  for (const char* language : {"English", "German"}) {
    if (std::string(language) == "German") {
      window_.reset();
      StartInGerman();
    } else {
      Start();
    }
    QList<QMenu*> menus = window_->findChildren<QMenu*>();
    menus.push_back(window_->PopupMenu());
    for (const QMenu* menu : menus) {
      ExpectUniqueLetters(*menu, language);
    }
    std::map<QChar, QString> bar;
    for (const QAction* action : window_->menuBar()->actions()) {
      const qsizetype at = action->text().indexOf('&');
      if (at >= 0) {
        EXPECT_TRUE(bar.emplace(action->text()[at + 1].toLower(), action->text()).second)
            << language << ": " << action->text().toStdString();
      }
    }
  }
}

TEST_F(TranslationTest, TheGermanTranslationHasEveryTextTheWindowShows) {
  Start();  // in English
  TLanguage main(false);
  ASSERT_TRUE(main.LoadFile(kGermanFiles + "language.llf", 0)) << main.LastError;
  TLiteLanguage lite(false);
  ASSERT_TRUE(lite.LoadFile(kGermanFiles + "language.ll2", 0)) << lite.LastError;
  EXPECT_EQ(main.LanguageName, "Deutsch");
  EXPECT_EQ(main.Count(), lite.Count());
  for (const QString& caption : MenuCaptions()) {
    EXPECT_GE(main.FindText(LookedUp(caption)), 0) << caption.toStdString();
  }
  for (const QString& text : EditorTexts(*window_->Editor())) {
    EXPECT_GE(lite.FindText(LookedUp(text)), 0) << text.toStdString();
  }
  EXPECT_GE(lite.FindText("Working"), 0);
  for (const char* text : {"Error", "Yes", "No", "Cancel", "OK", "File not found", "File in use",
                           "Out of memory", "Capacity reached", "Unsupported format"}) {
    EXPECT_GE(main.FindText(text), 0) << text;
  }
}

TEST_F(TranslationTest, WithTheGermanFilesTheWindowStartsInGerman) {
  StartInGerman();
  const QList<QAction*> bar = window_->menuBar()->actions();
  ASSERT_EQ(bar.size(), 3);
  EXPECT_EQ(bar[0]->text(), "&Datei");  // "File" has no f in German: the first free letter
  EXPECT_EQ(bar[1]->text(), "B&earbeiten");
  EXPECT_EQ(bar[2]->text(), "&Hilfe");
  const QStringList captions = MenuCaptions();
  EXPECT_TRUE(captions.contains("&Neu\tCtrl+N"));
  EXPECT_TRUE(captions.contains("&Öffnen...\tCtrl+O"));  // the tail stays; a letter of its own
  EXPECT_TRUE(captions.contains("Immer &oben"));
  EXPECT_TRUE(captions.contains("Paus&e\tF11"));

  TAnimationEdit& editor = *window_->Editor();
  EXPECT_EQ(editor.CellsLabel()->text(), "Zellen");
  EXPECT_EQ(editor.PreviewLabel()->text(), "Vorschau");
  EXPECT_EQ(editor.MirrorBox()->text(), "Spiegeln");
  EXPECT_EQ(editor.SpeedBox()->itemText(0), "Standbild");
  EXPECT_EQ(editor.SpeedBox()->itemText(12), "12 B/s");
  EXPECT_EQ(editor.Toolbar().GetButton(0)->toolTip(), "Neu");
  EXPECT_EQ(editor.Toolbar().GetButton(6)->toolTip(), "Alles kopieren");
  EXPECT_EQ(editor.Status()->GetPanel(0)->text(), " Standbild");
  EXPECT_EQ(editor.Status()->GetPanel(1)->text(), " Leer");
  EXPECT_EQ(editor.Status()->GetPanel(2)->text(), " k. A.");
  EXPECT_EQ(editor.Status()->GetPanel(3)->toolTip(), " Umschalten Pause");
  EXPECT_EQ(editor.Status()->GetPanel(5)->text(), "Bereit");
}

TEST_F(TranslationTest, ErrorsAreShownInGerman) {
  StartInGerman();
  window_->OpenCommandLineFile("/no/such/folder/walk.san");
  ASSERT_EQ(ui_.Messages.size(), 1u);
  EXPECT_EQ(ui_.Messages[0].Text, "Datei nicht gefunden\r\n/no/such/folder/walk.san");
  EXPECT_EQ(ui_.Messages[0].Caption, "Fehler");
}

TEST_F(TranslationTest, WithoutLanguageFilesEverythingStaysEnglish) {
  Start();
  EXPECT_EQ(window_->menuBar()->actions()[0]->text(), "&File");
  EXPECT_EQ(window_->Editor()->CellsLabel()->text(), "Cells");
  EXPECT_EQ(window_->Editor()->Status()->GetPanel(5)->text(), "Ready");
}

}  // namespace
}  // namespace torvel

namespace torvel {
namespace {

TEST_F(TranslationTest, TheSplashPanelAndItsQuestionSpeakGerman) {
  StartInGerman();
  TCompactSplash* splash = window_->Splash();
  ASSERT_NE(splash, nullptr);
  std::string title;
  splash->RunModal = [&title](QDialog& box) { title = box.windowTitle().toStdString(); };
  window_->Item("About1")->trigger();
  EXPECT_EQ(title, "Über Torvel");
  EXPECT_EQ(splash->CaptionLabels()[1]->text(), "Version: ");
  EXPECT_EQ(splash->CaptionLabels()[2]->text(), "Lizenz: ");
  EXPECT_EQ(splash->ValueLabels()[2]->text(), "(Freie Software)");
  EXPECT_TRUE(splash->CaptionLabels()[3]->text().startsWith("Copyright © 20"));

  ui_.MessageAnswers = {TMessageAnswer::Cancel};
  window_->Item("ExtractSupportFiles1")->trigger();
  ASSERT_FALSE(ui_.Messages.empty());
  EXPECT_EQ(ui_.Messages.back().Caption, "Warnung");
  EXPECT_EQ(ui_.Messages.back().Text, "Hilfsdateien entpacken?");
}

// Qt's own texts follow the desktop's language: key names read as a German keyboard has them.
TEST(QtTranslation, TheDesktopLanguageGivesQtsOwnTexts) {
  const QByteArray before = qgetenv("LC_ALL");
  qputenv("LC_ALL", "de_DE.UTF-8");
  QTranslator* german = LoadQtTranslation();
  qputenv("LC_ALL", "C");
  EXPECT_EQ(LoadQtTranslation(), nullptr) << "English needs none";
  before.isNull() ? qunsetenv("LC_ALL") : qputenv("LC_ALL", before);
  ASSERT_NE(german, nullptr) << "qt6-translations-l10n is missing";
  EXPECT_EQ(QKeySequence(Qt::CTRL | Qt::Key_Delete).toString(QKeySequence::NativeText),
            "Strg+Entf");
  delete german;
  EXPECT_EQ(QKeySequence(Qt::CTRL | Qt::Key_Delete).toString(QKeySequence::NativeText), "Ctrl+Del");
}

}  // namespace
}  // namespace torvel
