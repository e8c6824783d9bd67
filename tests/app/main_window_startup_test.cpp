#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <memory>

#include "app/help.h"
#include "app/main_window.h"
#include "editor/animation_edit.h"
#include "platform/bmp.h"
#include "platform/files.h"
#include "platform/jpeg.h"
#include "services/carrier.h"
#include "services/services.h"
#include "support/file_helpers.h"
#include "support/scripted_platform_ui.h"
#include "support/test_folders.h"
#include "widgets/compact_splash.h"

namespace torvel {
namespace {

std::string SettingsFile() {
  return std::string(std::getenv("XDG_CONFIG_HOME")) + "/Orvik Enterprises/Settings/Torvel.INI";
}

std::string SharedFolder() {
  return std::string(std::getenv("XDG_DATA_HOME")) + "/Orvik Enterprises/";
}

constexpr char kAllSettings[] =
    "[Settings]\nOnTop=0\nBGColor=255\nIndicators=0\n[Version]\nVersion=1.00.478\n"
    "SupportFiles=1.00.478\n";

class StartupTest : public testing::Test {
 protected:
  StartupTest() {
    Paths()->WindowsCompanyFolder("Settings");  // made when missing
    DeleteFile(SettingsFile());
    DeleteFile(SharedFolder() + "README");
    DeleteFile(SharedFolder() + "Animations/Bouncing Ball.san");
  }

  TForm1& Start(TStartup startup = {}) {
    window = std::make_unique<TForm1>(startup);
    window->EndProcess = [this] { ++ended; };
    if (window->Splash()) {
      window->Splash()->RunModal = [this](QDialog&) { ++aboutBoxes; };
    }
    return *window;
  }

  test::TScriptedPlatformUi ui;
  std::unique_ptr<TForm1> window;
  int ended = 0;
  int aboutBoxes = 0;
};

TEST_F(StartupTest, AFirstStartUnpacksTheSupportFilesAndWritesTheSettings) {
  TForm1& form = Start();
  EXPECT_FALSE(form.StartFailed());
  EXPECT_FALSE(form.isVisible());  // shown only once the event loop runs
  EXPECT_TRUE(FileExists(SharedFolder() + "README"));
  EXPECT_TRUE(FileExists(SharedFolder() + "Animations/Bouncing Ball.san"));
  EXPECT_EQ(test::ReadText(SettingsFile()),
            "[Settings]\nOnTop=0\nBGColor=16777215\nIndicators=1\n[Version]\nVersion=1.00.478\n"
            "SupportFiles=1.00.478\n");
  // The editor's own defaults stay: a white background, indicators on.
  EXPECT_EQ(form.Editor()->GetBackgroundColor(), kWhite);
  EXPECT_TRUE(form.Editor()->GetIndicators());
}

TEST_F(StartupTest, SettingsAreReadAsTheFileHasThem) {
  test::WriteText(SettingsFile(),
                  "[settings]\nontop=1\nBGColor=1.6\n[Version]\nSupportFiles=1.00.478\n");
  TForm1& form = Start();
  EXPECT_TRUE(form.IsOnTop());
  EXPECT_EQ(form.Editor()->GetBackgroundColor(), 2u);
  EXPECT_FALSE(form.Editor()->GetIndicators());         // missing: off
  EXPECT_FALSE(FileExists(SharedFolder() + "README"));  // this version's were unpacked before

  for (const auto& [line, color, onTop] : {std::tuple{"BGColor=2.5\nOnTop=true", 2u, false},
                                           {"BGColor=red\nOnTop=1", 0u, true},
                                           {"OnTop=0", 0u, false}}) {
    test::WriteText(SettingsFile(), std::string("[Settings]\n") + line + "\nIndicators=1\n" +
                                        "[Version]\nSupportFiles=1.00.478\n");
    TForm1& again = Start();
    EXPECT_EQ(again.Editor()->GetBackgroundColor(), color) << line;
    EXPECT_EQ(again.IsOnTop(), onTop) << line;
    EXPECT_TRUE(again.Editor()->GetIndicators()) << line;
  }
}

TEST_F(StartupTest, OddSettingsFilesAreReadByTheSameRules) {
  test::WriteText(SettingsFile(), "");  // there, but empty: everything off, black
  TForm1& empty = Start();
  EXPECT_EQ(empty.Editor()->GetBackgroundColor(), 0u);
  EXPECT_FALSE(empty.Editor()->GetIndicators());
  EXPECT_TRUE(FileExists(SharedFolder() + "README"));

  // Colours outside 0..0xFFFFFF are taken as they are and written back the same.
  for (const char* value : {"-5", "99999999", "2147483647"}) {
    test::WriteText(SettingsFile(), std::string("[Settings]\nBGColor=") + value +
                                        "\n[Version]\nSupportFiles=1.00.478\n");
    TForm1& odd = Start();
    EXPECT_EQ(static_cast<int32_t>(odd.Editor()->GetBackgroundColor()), std::stoi(value));
    odd.CloseProgram();
    EXPECT_NE(test::ReadText(SettingsFile()).find(std::string("BGColor=") + value + "\n"),
              std::string::npos)
        << value;
  }
}

TEST_F(StartupTest, ChosenExportOptionsSurviveARestartInTheirOwnSection) {
  test::WriteText(SettingsFile(), kAllSettings);
  TForm1& first = Start();
  first.Editor()->ExportOptions.Scale = 4;
  first.Editor()->ExportOptions.Dither = false;
  first.Editor()->ExportDialogSettings.FilterIndex = 2;
  first.Editor()->ExportOptionsChosen = true;
  first.Editor()->ExportFolder = "/a/exports/";
  first.CloseProgram();
  EXPECT_EQ(test::ReadText(SettingsFile()),
            std::string(kAllSettings) +
                "[Export]\nScale=4\nDither=0\nLoop=1\nFileType=2\nFolder=/a/exports/\n");
  TForm1& second = Start();
  EXPECT_EQ(second.Editor()->ExportOptions.Scale, 4);
  EXPECT_FALSE(second.Editor()->ExportOptions.Dither);
  EXPECT_TRUE(second.Editor()->ExportOptions.Loop);
  EXPECT_EQ(second.Editor()->ExportDialogSettings.FilterIndex, 2);
  EXPECT_EQ(second.Editor()->ExportFolder, "/a/exports/");
}

TEST_F(StartupTest, RecentFilesSurviveARestartInTheirOwnSection) {
  test::WriteText(SettingsFile(), kAllSettings);
  TForm1& first = Start();
  first.RecentFiles().Add("/a/old.san");
  first.RecentFiles().Add("/a/walk.san");
  first.CloseProgram();
  EXPECT_EQ(test::ReadText(SettingsFile()),
            std::string(kAllSettings) + "[Recent]\nFile1=/a/walk.san\nFile2=/a/old.san\n");
  TForm1& second = Start();
  EXPECT_EQ(second.RecentFiles().Files(), (std::vector<std::string>{"/a/walk.san", "/a/old.san"}));
  second.RecentFiles().Remove("/a/walk.san");
  second.CloseProgram();
  EXPECT_EQ(test::ReadText(SettingsFile()),
            std::string(kAllSettings) + "[Recent]\nFile1=/a/old.san\nFile2=\n");
}

TEST_F(StartupTest, AnOlderSupportFileVersionUnpacksThemAgain) {
  test::WriteText(SettingsFile(),
                  "; mine\n[Settings]\nOnTop=0\n[Version]\nSupportFiles=1.00.477\n");
  TForm1& form = Start();
  EXPECT_TRUE(FileExists(SharedFolder() + "README"));
  EXPECT_EQ(test::ReadText(SettingsFile()),
            "; mine\n[Settings]\nOnTop=0\nBGColor=0\nIndicators=0\n[Version]\n"
            "SupportFiles=1.00.478\nVersion=1.00.478\n");
  EXPECT_TRUE(form.SupportFilesPending);  // only the settings read at start-up clear it
}

TEST_F(StartupTest, TheSplashShowsOnlyWithoutACommandLineFile) {
  TForm1& plain = Start();
  ASSERT_NE(plain.Splash(), nullptr);
  // Shown (and so laid out at its picture's size), then hidden at the end of start-up.
  EXPECT_EQ(plain.Splash()->PanelWindow()->size(), QSize(360, 240));
  EXPECT_EQ(plain.Splash()->PanelWindow()->size(), plain.Splash()->PictureBox()->size());
  EXPECT_FALSE(plain.Splash()->IsVisible());
  EXPECT_EQ(plain.Splash()->ValueLabels()[1]->text(), "1.00.478");

  TStartup withFile;
  withFile.Argument = SharedFolder() + "Animations/Bouncing Ball.san";
  withFile.SplashSeconds = 1;
  DeleteFile(SettingsFile());
  TForm1& opened = Start(withFile);
  EXPECT_NE(opened.Splash()->PanelWindow()->size(), QSize(360, 240));  // never shown
  // The file is one of the support files: it opened because they were unpacked before it.
  EXPECT_EQ(opened.Editor()->GetFileName(), *withFile.Argument);
  EXPECT_EQ(opened.Editor()->Strip->Table.Count, 16);
  EXPECT_TRUE(ui.Messages.empty());
}

TEST_F(StartupTest, AFileThatCannotBeOpenedIsReportedAndStartUpGoesOn) {
  test::WriteText(SettingsFile(), kAllSettings);
  TStartup startup;
  startup.Argument = "/nowhere/missing.san";
  TForm1& form = Start(startup);
  EXPECT_FALSE(form.StartFailed());
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_NE(ui.Messages[0].Text.find("File not found"), std::string::npos);
  EXPECT_EQ(form.Editor()->Strip->Table.Count, 0);
  EXPECT_EQ(form.Editor()->GetBackgroundColor(), 255u);  // the settings were read before
}

// A splash carrier holding the given pictures, in that order.
Bitmap SplashCarrier(const std::vector<std::pair<std::string, std::vector<uint8_t>>>& pictures) {
  std::vector<TBoxItem> entries(pictures.size());
  std::vector<const TBoxItem*> order;
  for (size_t i = 0; i < pictures.size(); ++i) {
    entries[i].pName = pictures[i].first;
    entries[i].pD = pictures[i].second;
    order.push_back(&entries[i]);
  }
  return PackCarrier(order, 334, 36);
}

TEST_F(StartupTest, TheLaterSplashPictureWinsAndABrokenOneEndsTheStart) {
  test::WriteText(SettingsFile(), kAllSettings);
  TStartup startup;
  startup.SplashCarrier = SplashCarrier(
      {{"A.BMP", EncodeBmp(Bitmap(40, 30))}, {"a.jpg", EncodeJpeg(Bitmap(50, 20), 80)}});
  TForm1& both = Start(startup);
  EXPECT_EQ(both.Splash()->PictureBox()->size(), QSize(50, 20));

  startup.SplashCarrier = SplashCarrier({{"notes.txt", {1, 2, 3}}});
  EXPECT_FALSE(Start(startup).StartFailed());  // no picture: no splash, no error
  startup.SplashCarrier = Bitmap(334, 36);     // no archive at all
  EXPECT_FALSE(Start(startup).StartFailed());
  EXPECT_TRUE(ui.Messages.empty());

  std::vector<uint8_t> broken = EncodeJpeg(Bitmap(50, 20), 80);
  broken.resize(broken.size() / 2);
  startup.SplashCarrier = SplashCarrier({{"A.JPG", broken}});
  DeleteFile(SettingsFile());
  TForm1& failed = Start(startup);
  EXPECT_TRUE(failed.StartFailed());
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_EQ(ui.Messages[0].Text, "Out of memory");
  EXPECT_EQ(failed.Splash(), nullptr);
  EXPECT_FALSE(FileExists(SettingsFile()));  // nothing is written
}

TEST_F(StartupTest, TheTaskBarIconCyclesThroughSixFramesWhileShown) {
  TForm1& form = Start();
  ASSERT_NE(form.Timer1, nullptr);
  EXPECT_EQ(form.Timer1->interval(), 250);
  EXPECT_TRUE(form.Timer1->isActive());
  form.Timer1Timer();
  EXPECT_EQ(form.IconIndex(), 0);  // hidden: nothing happens
  form.show();
  std::vector<int> seen;
  std::vector<qint64> icons;
  for (int i = 0; i < 7; ++i) {
    form.Timer1Timer();
    seen.push_back(form.IconIndex());
    icons.push_back(form.windowIcon().pixmap(16, 16).toImage().pixel(8, 12));
  }
  EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 4, 5, 0, 1}));
  EXPECT_EQ(icons[0], icons[6]);  // the same frame again
  EXPECT_NE(icons[0], icons[2]);  // the ball has moved
  EXPECT_TRUE(form.Timer1->isActive());
  form.hide();
  form.Timer1Timer();
  EXPECT_EQ(form.IconIndex(), 1);
  EXPECT_FALSE(TForm1::ApplicationIcon().availableSizes().empty());
}

TEST_F(StartupTest, HelpMenuOpensTheHelpTheAboutBoxAndTheWebPages) {
  test::WriteText(SettingsFile(), kAllSettings);
  TForm1& form = Start();
  form.show();
  form.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  QTest::keyClick(&form, Qt::Key_F1);
  ASSERT_EQ(ui.ShellRequests.size(), 1u);
  const std::string index = form.Help()->PageFile("index.html");
  EXPECT_EQ(ui.ShellRequests[0].Target, index);
  EXPECT_TRUE(FileExists(index));

  form.Item("About1")->trigger();
  EXPECT_EQ(aboutBoxes, 1);
  EXPECT_EQ(form.Splash()->Mode(), 1);

  form.Item("TorvelHomepage1")->trigger();
  form.Item("FreeSoftwareHomepage1")->trigger();
  form.Item("VisitOrvikEnterprises1")->trigger();
  ASSERT_EQ(ui.ShellRequests.size(), 4u);
  EXPECT_EQ(ui.ShellRequests[1].Target, "https://torvel.example/torvel.html");
  EXPECT_EQ(ui.ShellRequests[2].Target, "https://www.gnu.org/philosophy/free-sw.html");
  EXPECT_EQ(ui.ShellRequests[3].Target, "https://orvik.example/");
  EXPECT_FALSE(form.IsShellBusy());
  EXPECT_TRUE(ui.Messages.empty());

  // A failing help request is reported once, by the help object.
  DeleteFile(form.Help()->PageFile("index.html"));
  form.Help()->Archive.ClearEntries();
  form.Item("Help2")->trigger();
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_EQ(ui.Messages[0].Text, "File not found");
}

TEST_F(StartupTest, HelpAndWebPagesTheDesktopCannotOpenAreReported) {
  test::WriteText(SettingsFile(), kAllSettings);
  TForm1& form = Start();
  ui.ShellOpenWorks = false;
  form.Item("Help2")->trigger();
  form.Item("TorvelHomepage1")->trigger();
  ASSERT_EQ(ui.Messages.size(), 2u);
  EXPECT_EQ(ui.Messages[0].Text, "Task failed\r\n" + form.Help()->PageFile("index.html"));
  EXPECT_EQ(ui.Messages[1].Text, "Task failed\r\nhttps://torvel.example/torvel.html");
  EXPECT_EQ(ui.Messages[1].Caption, "Error");
  EXPECT_FALSE(form.IsShellBusy());
}

TEST_F(StartupTest, ExtractSupportFilesAsksFirst) {
  test::WriteText(SettingsFile(), kAllSettings);
  TForm1& form = Start();
  ui.MessageAnswers = {TMessageAnswer::Cancel, TMessageAnswer::Yes};
  form.Item("ExtractSupportFiles1")->trigger();
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_EQ(ui.Messages[0].Text, "Extract Support Files?");
  EXPECT_EQ(ui.Messages[0].Caption, "Warning");
  EXPECT_EQ(ui.Messages[0].Icon, TMessageIcon::Warning);
  EXPECT_EQ(ui.Messages[0].Buttons, TMessageButtons::YesCancel);
  EXPECT_FALSE(FileExists(SharedFolder() + "README"));
  form.Item("ExtractSupportFiles1")->trigger();
  EXPECT_TRUE(FileExists(SharedFolder() + "README"));
  EXPECT_EQ(ui.Messages.size(), 2u);  // no error box
  EXPECT_FALSE(form.IsShellBusy());
  form.FileMenuOpen();
  EXPECT_TRUE(form.Item("ExtractSupportFiles1")->isEnabled());
}

TEST_F(StartupTest, ClosingSavesTheSettingsAndRemovesTheHelpPages) {
  test::WriteText(SettingsFile(), "[Settings]\nOnTop=0\n");
  TForm1& form = Start();
  form.Editor()->SetBackgroundColor(0x123456);
  form.Editor()->SetIndicators(false);
  form.SetOnTop(true);
  ASSERT_TRUE(form.OnHelp());
  const std::string index = form.Help()->PageFile("index.html");
  ASSERT_TRUE(FileExists(index));
  form.CloseProgram();
  EXPECT_EQ(ended, 1);
  EXPECT_EQ(test::ReadText(SettingsFile()),
            "[Settings]\nOnTop=1\nBGColor=1193046\nIndicators=0\n[Version]\nVersion=1.00.478\n"
            "SupportFiles=1.00.478\n");
  EXPECT_FALSE(FileExists(index));
  EXPECT_EQ(form.Help(), nullptr);
  EXPECT_EQ(form.Splash(), nullptr);
}

TEST_F(StartupTest, ARefusedCloseSavesNothing) {
  test::WriteText(SettingsFile(), kAllSettings);
  TForm1& form = Start();
  Bitmap cell(8, 8);
  ASSERT_GT(form.Editor()->Strip->AddCells(&cell, 1, -1), 0);
  form.Editor()->SetFlip(true);  // an unsaved change
  ui.MessageAnswers = {TMessageAnswer::Cancel};
  form.Editor()->SetIndicators(true);
  form.CloseProgram();
  EXPECT_EQ(ended, 0);
  EXPECT_EQ(test::ReadText(SettingsFile()), kAllSettings);
  EXPECT_NE(form.Help(), nullptr);
}

}  // namespace
}  // namespace torvel
