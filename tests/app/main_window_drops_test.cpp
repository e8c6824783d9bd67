#include <gtest/gtest.h>

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QImage>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include "app/main_window.h"
#include "cells/animation_strip.h"
#include "editor/animation_edit.h"
#include "editor/cell_list_widget.h"
#include "platform/files.h"
#include "platform/raster.h"
#include "support/file_helpers.h"
#include "support/peer_tools.h"
#include "support/scripted_platform_ui.h"
#include "support/test_folders.h"

namespace torvel {
namespace {

class FileDropTest : public testing::Test {
 protected:
  FileDropTest() : folder(test::FreshFolder("drop")) {
    window.EndProcess = [] {};
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
  }

  TAnimationEdit& Editor() { return *window.Editor(); }

  // An animation of n cells of 12 x 8, written by the program itself.
  std::string WriteAnimation(const std::string& name, int n) {
    TAnimationEdit other("Torvel", nullptr);
    Bitmap strip(n * 12, 8);
    FillRect(strip, {0, 0, n * 12, 8}, 0x336699);
    EXPECT_EQ(other.Strip->AddCells(&strip, n, -1), n);
    const std::string path = folder + name;
    EXPECT_TRUE(other.SaveAnimationFile(path)) << other.LastError;
    return path;
  }

  // A picture file of one colour in the format its name asks for.
  std::string WritePicture(const std::string& name, QRgb color, QSize size = {12, 8}) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    const std::string path = folder + name;
    EXPECT_TRUE(image.save(QString::fromStdString(path)));
    return path;
  }

  static void SetUrls(QMimeData& mime, const std::vector<std::string>& paths) {
    QList<QUrl> urls;
    for (const std::string& path : paths) {
      urls << (path.find("://") != std::string::npos
                   ? QUrl(QString::fromStdString(path))
                   : QUrl::fromLocalFile(QString::fromStdString(path)));
    }
    mime.setUrls(urls);
  }

  // Whether the window takes a drag of these files entering at the widget.
  bool Takes(const std::vector<std::string>& paths, QWidget* at = nullptr) {
    QMimeData mime;
    SetUrls(mime, paths);
    return TakesMime(mime, at);
  }
  bool TakesMime(QMimeData& mime, QWidget* at = nullptr) {
    QWidget* target = at != nullptr ? at : &window;
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDragLeaveEvent leave;
    QApplication::sendEvent(target, &leave);
    return enter.isAccepted();
  }

  // Drags the files onto the widget (the window itself unless told) and drops them there, as
  // the desktop does; whether the drop was taken.
  bool Drop(const std::vector<std::string>& paths, QWidget* at = nullptr) {
    QMimeData mime;
    SetUrls(mime, paths);
    return DropMime(mime, at);
  }
  bool DropMime(QMimeData& mime, QWidget* at = nullptr) {
    QWidget* target = at != nullptr ? at : &window;
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDragMoveEvent move(QPoint(6, 6), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QDropEvent drop(QPointF(6, 6), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    if (!drop.isAccepted()) {  // a refused drag ends with the pointer leaving
      QDragLeaveEvent leave;
      QApplication::sendEvent(target, &leave);
    }
    QCoreApplication::processEvents();  // the window takes the files once the drop is over
    return drop.isAccepted();
  }

  // The colour of the top-left pixel of the cell at the position.
  TColor CellColor(int position) {
    const TCellTable& table = Editor().Strip->Table;
    return table.CellAt(position).Pixel(0, 0);
  }

  test::TScriptedPlatformUi ui;
  TForm1 window;
  std::string folder;
};

TEST_F(FileDropTest, TakesOnlyLocalAnimationAndPictureFiles) {
  const std::string animation = WriteAnimation("walk.san", 2);
  const std::string upper = WriteAnimation("LOUD.SAN", 2);
  const std::string picture = WritePicture("cell.png", qRgb(255, 0, 0));
  test::WriteText(folder + "notes.txt", "not a picture");
  EXPECT_TRUE(Takes({animation}));
  EXPECT_TRUE(Takes({upper}));
  EXPECT_TRUE(Takes({picture}));
  EXPECT_TRUE(Takes({folder + "notes.txt", picture}));  // the text file is left out
  EXPECT_FALSE(Takes({folder + "notes.txt"}));
  EXPECT_FALSE(Takes({folder + "missing.san"}));
  EXPECT_FALSE(Takes({folder}));  // a folder
  EXPECT_FALSE(Takes({"https://example.org/walk.san"}));
  QMimeData text;
  text.setText(QString::fromStdString(animation));
  EXPECT_FALSE(TakesMime(text));
  // Over the cell list, which only takes its own rows, the window takes the drag.
  EXPECT_TRUE(Takes({animation}, Editor().CellList()->viewport()));
}

TEST_F(FileDropTest, OpensTheFirstDroppedAnimationAsTheCommandLineWould) {
  const std::string first = WriteAnimation("first.san", 3);
  const std::string second = WriteAnimation("second.san", 5);
  const std::string picture = WritePicture("cell.png", qRgb(255, 0, 0));
  EXPECT_TRUE(Drop({picture, first, second}, Editor().CellList()->viewport()));
  EXPECT_EQ(Editor().GetFileName(), first);
  EXPECT_EQ(Editor().Strip->Table.Count, 3);  // the picture was not pasted into it
  EXPECT_FALSE(Editor().IsModified());
  EXPECT_EQ(window.windowTitle().toStdString(), "first.san - Torvel");
  EXPECT_TRUE(ui.Messages.empty());
}

TEST_F(FileDropTest, AnAnimationDroppedOnUnsavedWorkAsksFirst) {
  const std::string dropped = WriteAnimation("dropped.san", 3);
  Bitmap cell(12, 8);
  ASSERT_EQ(Editor().InsertCells(&cell, 1, 0), 1);  // an unsaved change
  ASSERT_TRUE(Editor().IsModified());

  ui.MessageAnswers = {TMessageAnswer::Cancel};
  Drop({dropped});
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_EQ(ui.Messages[0].Buttons, TMessageButtons::YesNoCancel);
  EXPECT_EQ(Editor().Strip->Table.Count, 1);
  EXPECT_TRUE(Editor().IsModified());

  ui.MessageAnswers = {TMessageAnswer::No};
  Drop({dropped});
  EXPECT_EQ(Editor().Strip->Table.Count, 3);
  EXPECT_EQ(Editor().GetFileName(), dropped);
}

TEST_F(FileDropTest, AnAnimationThatCannotBeReadKeepsTheUnsavedWork) {
  test::WriteText(folder + "broken.san", "TPF0 and nothing more");
  Bitmap cell(12, 8);
  ASSERT_EQ(Editor().InsertCells(&cell, 1, 0), 1);
  ui.MessageAnswers = {TMessageAnswer::No, TMessageAnswer::Ok};
  Drop({folder + "broken.san"});
  ASSERT_EQ(ui.Messages.size(), 2u);  // the question, then the error box
  EXPECT_EQ(ui.Messages[1].Icon, TMessageIcon::Error);
  EXPECT_EQ(Editor().Strip->Table.Count, 1);
  // Still unsaved: closing asks again instead of losing the cell.
  EXPECT_TRUE(Editor().IsModified());
  EXPECT_NE(window.windowTitle().toStdString().find('*'), std::string::npos);
}

TEST_F(FileDropTest, DroppedPicturesArePastedAtTheSelectedRowAndUndoneTogether) {
  Bitmap first(12, 8);
  FillRect(first, {0, 0, 12, 8}, 0x0000FF);
  ASSERT_EQ(Editor().InsertCells(&first, 1, 0), 1);
  Editor().SelectCell(0);
  const std::string green = WritePicture("green.bmp", qRgb(0, 255, 0));
  const std::string blue = WritePicture("blue.png", qRgb(0, 0, 255), {24, 16});  // stretched
  EXPECT_TRUE(Drop({green, blue}));
  EXPECT_TRUE(ui.Messages.empty());
  ASSERT_EQ(Editor().Strip->Table.Count, 3);
  EXPECT_EQ(CellColor(0), 0x00FF00u);
  EXPECT_EQ(CellColor(1), 0xFF0000u);
  EXPECT_EQ(CellColor(2), 0x0000FFu);  // the red cell that was selected moved down
  EXPECT_EQ(Editor().GetSelection(), 2);
  EXPECT_EQ(Editor().Strip->Table.CellWidth, 12);

  ASSERT_TRUE(Editor().Undo());
  EXPECT_EQ(Editor().Strip->Table.Count, 1);
}

TEST_F(FileDropTest, DroppedAnimationsAddAllTheirFramesInOneStep) {
  Bitmap first(12, 8);
  FillRect(first, {0, 0, 12, 8}, 0x0000FF);
  ASSERT_EQ(Editor().InsertCells(&first, 1, 0), 1);
  const std::string gif = folder + "three.gif", apng = folder + "two.apng";
  ASSERT_TRUE(test::RunQuietly("convert -size 12x8 xc:lime xc:blue xc:yellow '" + gif + "'"));
  ASSERT_TRUE(
      test::RunQuietly("ffmpeg -y -f lavfi -i color=c=white:size=12x8:rate=10:d=0.2 "
                       "-plays 0 -f apng '" +
                       apng + "'"));
  const std::string still = WritePicture("still.png", qRgb(0, 0, 0));
  EXPECT_TRUE(Takes({apng}));
  EXPECT_TRUE(Drop({gif, still, apng}));
  EXPECT_TRUE(ui.Messages.empty());
  ASSERT_EQ(Editor().Strip->Table.Count, 7);
  EXPECT_EQ(CellColor(0), 0x00FF00u);
  EXPECT_EQ(CellColor(2), 0x00FFFFu);
  EXPECT_EQ(CellColor(3), 0x000000u) << "a still picture stays one cell";
  EXPECT_EQ(CellColor(5), 0xFFFFFFu);
  EXPECT_EQ(CellColor(6), 0x0000FFu) << "the red cell that was selected moved down";
  ASSERT_TRUE(Editor().Undo());
  EXPECT_EQ(Editor().Strip->Table.Count, 1);
}

TEST_F(FileDropTest, APictureThatCannotBeReadChangesNothing) {
  const std::string good = WritePicture("good.png", qRgb(0, 255, 0));
  test::WriteText(folder + "bad.png", "not a PNG at all");
  Drop({good, folder + "bad.png"});
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_EQ(ui.Messages[0].Text, "bad.png\r\nUnknown format");
  EXPECT_EQ(Editor().Strip->Table.Count, 0);
  EXPECT_FALSE(Editor().CanUndo());
}

TEST_F(FileDropTest, PicturesAreRefusedWhileAutomaticPasteIsOn) {
  const std::string picture = WritePicture("cell.png", qRgb(255, 0, 0));
  const std::string animation = WriteAnimation("walk.san", 2);
  Editor().SetAutomaticPaste(true);
  EXPECT_FALSE(Takes({picture}));
  EXPECT_FALSE(Drop({picture}));
  EXPECT_EQ(Editor().Strip->Table.Count, 0);
  EXPECT_TRUE(Takes({animation}));  // opening still works, as Open does
  Editor().SetAutomaticPaste(false);
}

// A picture dragged out of a web page comes as the picture itself, with the page's address.
TEST_F(FileDropTest, ADroppedPictureWithoutAFileBecomesOneCellAtTheSelectedRow) {
  Bitmap first(12, 8);
  FillRect(first, {0, 0, 12, 8}, 0x0000FF);
  ASSERT_EQ(Editor().InsertCells(&first, 1, 0), 1);
  Editor().SelectCell(0);
  QImage green(24, 16, QImage::Format_ARGB32);
  green.fill(qRgb(0, 255, 0));
  QMimeData mime;
  SetUrls(mime, {"https://example.org/green.png"});
  mime.setImageData(green);
  EXPECT_TRUE(TakesMime(mime));
  EXPECT_TRUE(DropMime(mime));
  EXPECT_TRUE(ui.Messages.empty());
  ASSERT_EQ(Editor().Strip->Table.Count, 2);
  EXPECT_EQ(CellColor(0), 0x00FF00u);
  EXPECT_EQ(Editor().GetSelection(), 1);
  ASSERT_TRUE(Editor().Undo());
  EXPECT_EQ(Editor().Strip->Table.Count, 1);

  // Picture files that come along are taken instead, each as it is.
  SetUrls(mime, {WritePicture("red.png", qRgb(255, 0, 0))});
  EXPECT_TRUE(DropMime(mime));
  ASSERT_EQ(Editor().Strip->Table.Count, 2);
  EXPECT_EQ(CellColor(0), 0x0000FFu);

  Editor().SetAutomaticPaste(true);
  QMimeData pictureOnly;
  pictureOnly.setImageData(green);
  EXPECT_FALSE(TakesMime(pictureOnly));
  Editor().SetAutomaticPaste(false);
}

// The desktop hands a drop to the widget under the pointer, which may be the cell list: the list
// must leave dropped files to the window instead of taking them for a move of one of its rows.
class TListUnderTest : public TCellListWidget {
 public:
  using TCellListWidget::dropEvent;
  using TCellListWidget::TCellListWidget;
};

TEST(CellListDropTest, LeavesDropsFromElsewhereToTheWindow) {
  TListUnderTest list(nullptr);
  list.addItem("1");
  list.addItem("End");
  int moves = 0;
  list.CanDropOn = [](int) { return true; };
  list.DropOn = [&](int) { ++moves; };
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile("/tmp/walk.san")});
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  drop.accept();  // as delivered
  list.dropEvent(&drop);
  EXPECT_FALSE(drop.isAccepted());
  EXPECT_EQ(moves, 0);
}

}  // namespace
}  // namespace torvel
