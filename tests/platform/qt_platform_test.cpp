#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QCoreApplication>
#include <QImage>
#include <QMessageBox>
#include <QRadioButton>
#include <QSpinBox>

#include "platform/qt/bitmap_image.h"
#include "platform/qt/export_options_dialog.h"
#include "platform/qt/qt_dispatcher.h"
#include "platform/qt/qt_platform_ui.h"
#include "platform/qt/window_system.h"
#include "platform/raster.h"

namespace torvel {
namespace {

TEST(QtPlatform, XWaylandOnlyWhereTheCompositorHidesTheClipboardButHandsOnPictures) {
  int asked = 0;
  auto compositor = [&asked](bool dataControl, bool gnome = true) {
    return [&asked, dataControl, gnome] { return ++asked, TCompositorTraits{dataControl, gnome}; };
  };
  const TSessionFacts both{true, true, false};
  EXPECT_TRUE(PrefersXWayland(both, compositor(false)));
  EXPECT_FALSE(PrefersXWayland(both, compositor(true)));
  EXPECT_FALSE(PrefersXWayland(both, compositor(true, false)));
  // weston's XWayland gets only text: a picture could not be pasted at all there.
  EXPECT_FALSE(PrefersXWayland(both, compositor(false, false)));
  EXPECT_EQ(asked, 4);
  // The user's own choice, an X11 session and a Wayland session without XWayland stay as they
  // are, without a look at the compositor.
  EXPECT_FALSE(PrefersXWayland({true, true, true}, compositor(false)));
  EXPECT_FALSE(PrefersXWayland({false, true, false}, compositor(false)));
  EXPECT_FALSE(PrefersXWayland({true, false, false}, compositor(false)));
  EXPECT_EQ(asked, 4);
}

TEST(QtPlatform, PicturesGoThroughTheClipboardUnchanged) {
  TQtPlatformUi ui;
  Bitmap picture(5, 3);
  FillRect(picture, picture.Rect(), 0x336699);
  picture.SetPixel(4, 2, 0x0000FF);
  ASSERT_TRUE(ui.WriteClipboardPicture(picture));
  EXPECT_TRUE(ui.ClipboardHasPicture());
  TSize size;
  ASSERT_TRUE(ui.ClipboardPictureSize(size));
  EXPECT_EQ(size, (TSize{5, 3}));
  Bitmap back;
  ASSERT_TRUE(ui.ReadClipboardPicture(back));
  ASSERT_EQ(back.Width(), 5);
  EXPECT_EQ(back.Pixel(0, 0), 0x336699u);
  EXPECT_EQ(back.Pixel(4, 2), 0x0000FFu);
  ui.ClearClipboard();
  EXPECT_FALSE(ui.ClipboardHasPicture());
  EXPECT_FALSE(ui.ReadClipboardPicture(back));
}

// As in an opened file: the transparent pixels take a colour no visible pixel has.
TEST(QtPlatform, TransparentPixelsTakeAKeyColourNoVisiblePixelHas) {
  QImage image(4, 1, QImage::Format_ARGB32);
  image.setPixelColor(0, 0, QColor(0, 0, 0, 0));
  image.setPixelColor(1, 0, QColor(255, 0, 0, 255));
  image.setPixelColor(2, 0, QColor(255, 0, 255, 200));  // mostly covered: visible
  image.setPixelColor(3, 0, QColor(0, 0, 255, 100));    // mostly not: transparent
  Bitmap picture;
  ASSERT_TRUE(ImageToBitmap(image, picture));
  ASSERT_TRUE(picture.Transparent);
  EXPECT_EQ(picture.TransparentColor, 0x00FF00u);  // magenta is taken
  EXPECT_EQ(picture.Pixel(0, 0), 0x00FF00u);
  EXPECT_EQ(picture.Pixel(1, 0), 0x0000FFu);
  EXPECT_EQ(picture.Pixel(2, 0), 0xFF00FFu);
  EXPECT_EQ(picture.Pixel(3, 0), 0x00FF00u);
  image.fill(QColor(10, 20, 30));
  ASSERT_TRUE(ImageToBitmap(image, picture));
  EXPECT_FALSE(picture.Transparent);
  EXPECT_EQ(picture.Pixel(0, 0), 0x1E140Au);
  EXPECT_FALSE(ImageToBitmap(QImage(), picture));
}

TEST(QtPlatform, ColoursConvertBothWays) {
  EXPECT_EQ(ToQColor(0x123456), QColor(0x56, 0x34, 0x12));
  EXPECT_EQ(FromQColor(QColor(0x56, 0x34, 0x12)), 0x123456u);
}

// The program asks itself before replacing a file, so the dialog must not ask too.
TEST(QtPlatform, FileDialogsFollowTheirOptionsAndDefaultExtension) {
  TFileDialogRequest request;
  request.Kind = TFileDialogKind::Save;
  request.DefaultExt = "san";
  request.Options = kHideReadOnly | kPathMustExist;
  request.Filter = "Animations|*.san|All files|*.*";
  request.FilterIndex = 2;
  QFileDialog save;
  TQtPlatformUi::SetUpFileDialog(save, request);
  EXPECT_EQ(save.acceptMode(), QFileDialog::AcceptSave);
  EXPECT_TRUE(save.testOption(QFileDialog::DontConfirmOverwrite));
  EXPECT_EQ(save.defaultSuffix(), "san");
  EXPECT_EQ(save.selectedNameFilter(), "All files (*.*)");

  request.Options |= kOverwritePrompt;
  request.Title = "Export Animation";
  QFileDialog asking;
  TQtPlatformUi::SetUpFileDialog(asking, request);
  EXPECT_FALSE(asking.testOption(QFileDialog::DontConfirmOverwrite));
  EXPECT_EQ(asking.windowTitle(), "Export Animation");

  request.Kind = TFileDialogKind::Open;
  request.Options = kHideReadOnly | kFileMustExist;
  QFileDialog open;
  TQtPlatformUi::SetUpFileDialog(open, request);
  EXPECT_EQ(open.acceptMode(), QFileDialog::AcceptOpen);
  EXPECT_EQ(open.fileMode(), QFileDialog::ExistingFile);
}

TEST(QtPlatform, TheExportOptionsDialogShowsAndReturnsTheChoices) {
  TExportChoices given;
  given.Scale = 3;
  given.Loop = false;
  given.DitherApplies = false;
  given.Note = "note";
  TExportOptionsDialog dialog(given, nullptr);
  EXPECT_EQ(dialog.ScaleBox()->value(), 3);
  EXPECT_TRUE(dialog.OnceButton()->isChecked());
  EXPECT_FALSE(dialog.DitherBox()->isEnabled());
  dialog.ScaleBox()->setValue(12);  // beyond the largest scale
  dialog.DitherBox()->setChecked(false);
  const TExportChoices chosen = dialog.Choices();
  EXPECT_EQ(chosen.Scale, 8);
  EXPECT_FALSE(chosen.Dither);
  EXPECT_FALSE(chosen.Loop);
  EXPECT_EQ(chosen.Note, "note");

  given.TimingApplies = false;  // an image strip
  TExportOptionsDialog strip(given, nullptr);
  strip.show();
  EXPECT_FALSE(strip.OnceButton()->isVisible());
  EXPECT_TRUE(strip.ScaleBox()->isVisible());
  EXPECT_FALSE(strip.Choices().Loop);  // kept as it was for the animations to come
}

TEST(QtPlatform, OpeningTellsWhetherTheDesktopOpenerSucceeded) {
  TQtPlatformUi ui;
  ui.SetDesktopOpener("false");  // as xdg-open ends when it finds no handler
  EXPECT_FALSE(ui.ShellOpen("https://torvel.example/", "", ""));
  ui.SetDesktopOpener("true");
  EXPECT_TRUE(ui.ShellOpen("/tmp", "", ""));
}

TEST(QtPlatform, PostedJobsRunInTheEventLoop) {
  TQtDispatcher dispatcher;
  int ran = 0;
  dispatcher.Post([&] { ++ran; });
  EXPECT_EQ(ran, 0);
  QCoreApplication::processEvents();
  EXPECT_EQ(ran, 1);
}

TEST(QtPlatform, AShortMessageKeepsItsCaptionWhole) {
  QMessageBox box(QMessageBox::Critical, "Error", "Empty");
  const int narrow = box.sizeHint().width();
  TQtPlatformUi::KeepCaptionWhole(box);
  const int least = box.fontMetrics().horizontalAdvance("Error") + 160;
  EXPECT_LT(narrow, least);
  EXPECT_GE(box.sizeHint().width(), least);
}

TEST(QtPlatform, MessageBoxButtonsAreInTheUsersLanguage) {
  TQtPlatformUi ui;
  QMessageBox english;
  ui.SetUpButtons(english, TMessageButtons::YesNoCancel);
  ASSERT_NE(english.button(QMessageBox::Yes), nullptr);
  EXPECT_EQ(english.button(QMessageBox::Yes)->text(), "&Yes");
  EXPECT_EQ(english.button(QMessageBox::Cancel)->text(), "Cancel");
  EXPECT_EQ(english.button(QMessageBox::Ok), nullptr);

  ui.SetButtonTranslator([](const std::string& english) {
    return english == "&Yes" ? "&Ja" : english == "OK" ? "Gut" : english + "!";
  });
  QMessageBox german;
  ui.SetUpButtons(german, TMessageButtons::YesNo);
  EXPECT_EQ(german.button(QMessageBox::Yes)->text(), "&Ja");
  EXPECT_EQ(german.button(QMessageBox::No)->text(), "&No!");
  EXPECT_EQ(german.button(QMessageBox::Cancel), nullptr);
  QMessageBox ok;
  ui.SetUpButtons(ok, TMessageButtons::Ok);
  EXPECT_EQ(ok.button(QMessageBox::Ok)->text(), "Gut");
  QMessageBox question;  // the support-file question
  ui.SetUpButtons(question, TMessageButtons::YesCancel);
  EXPECT_EQ(question.button(QMessageBox::Yes)->text(), "&Ja");
  EXPECT_EQ(question.button(QMessageBox::Cancel)->text(), "Cancel!");
  EXPECT_EQ(question.button(QMessageBox::No), nullptr);
}

}  // namespace
}  // namespace torvel
