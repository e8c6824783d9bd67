// What assistive technology is told about the editor's window, read through Qt's accessibility
// interfaces as the desktop's bridge reads them.
#include <QAccessible>
#include <QToolButton>

#include "editor/editor_fixture.h"
#include "widgets/preview_widget.h"
#include "widgets/toolbar.h"

namespace torvel::test {
namespace {

class AccessibilityTest : public EditorTest {
 protected:
  static QAccessibleInterface* Of(QObject* object) {
    return QAccessible::queryAccessibleInterface(object);
  }
  QAccessibleInterface* Panel(int index) { return Of(editor->Status()->GetPanel(index)); }
};

TEST_F(AccessibilityTest, ControlsAreNamedByWhatTheyAre) {
  AddCells(3, 20, 10);
  for (int slot = 0; slot < TAnimationEdit::kToolbarCommands; ++slot) {
    QToolButton* button = editor->Toolbar().GetButton(slot);
    EXPECT_EQ(Of(button)->text(QAccessible::Name), button->toolTip()) << slot;
  }
  QAccessibleInterface* list = Of(editor->CellList());
  EXPECT_EQ(list->text(QAccessible::Name), "Cells");
  ASSERT_EQ(list->childCount(), 4);
  EXPECT_EQ(list->child(0)->text(QAccessible::Name), "Cell 1 of 3");
  EXPECT_EQ(list->child(2)->text(QAccessible::Name), "Cell 3 of 3");
  EXPECT_EQ(list->child(3)->text(QAccessible::Name), "End");
  EXPECT_EQ(list->child(3)->role(), QAccessible::ListItem);
  EXPECT_EQ(list->indexOfChild(list->child(2)), 2);

  // A deleted row's interface goes; the rows that stay count anew.
  editor->CellList()->setCurrentRow(2);
  editor->DeleteCells(false);
  ASSERT_EQ(list->childCount(), 3);
  EXPECT_EQ(list->child(1)->text(QAccessible::Name), "Cell 2 of 2");
  EXPECT_EQ(list->child(3), nullptr);

  const auto labels = Of(editor->SpeedBox())->relations(QAccessible::Label);
  ASSERT_EQ(labels.size(), 1);
  EXPECT_EQ(labels[0].first->text(QAccessible::Name), "Speed");
}

TEST_F(AccessibilityTest, ThePreviewIsAPictureThatSaysWhatItShows) {
  QAccessibleInterface* preview = Of(editor->PreviewWindow());
  EXPECT_EQ(preview->role(), QAccessible::Graphic);
  EXPECT_EQ(preview->text(QAccessible::Name), "Animation Preview");
  RefreshStatus();
  EXPECT_EQ(preview->text(QAccessible::Description), "No cells");
  AddCells(13, 64, 48);
  editor->CellList()->setCurrentRow(2);
  editor->SpeedBox()->setCurrentIndex(0);
  editor->ControlClick(editor->SpeedBox());
  RefreshStatus();
  EXPECT_EQ(preview->text(QAccessible::Description), "Cell 3 of 13, 64 x 48, still");
  editor->SpeedBox()->setCurrentIndex(10);
  editor->ControlClick(editor->SpeedBox());
  editor->SetPaused(true);
  RefreshStatus();
  EXPECT_EQ(preview->text(QAccessible::Description), "Cell 3 of 13, 64 x 48, 10 fps, paused");
}

TEST_F(AccessibilityTest, StatusPanelsReadWithoutTheBlankAndTheTogglesAreCheckableButtons) {
  AddCells(2);
  RefreshStatus();
  EXPECT_EQ(Panel(TAnimationEdit::kPositionPanel)->text(QAccessible::Name), "1/2");
  EXPECT_EQ(Panel(TAnimationEdit::kSizePanel)->role(), QAccessible::StaticText);
  EXPECT_TRUE(Panel(TAnimationEdit::kSizePanel)->actionInterface()->actionNames().isEmpty());

  QAccessibleInterface* pause = Panel(TAnimationEdit::kPausePanel);
  EXPECT_EQ(pause->role(), QAccessible::Button);
  EXPECT_EQ(pause->text(QAccessible::Name), "Pause");
  EXPECT_EQ(pause->text(QAccessible::Description), "Toggle Pause");
  EXPECT_TRUE(pause->state().checkable);
  EXPECT_FALSE(pause->state().checked);
  pause->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_TRUE(editor->GetPaused()) << "pressing the panel clicks it";
  RefreshStatus();
  EXPECT_TRUE(pause->state().checked);

  QAccessibleInterface* automatic = Panel(TAnimationEdit::kAutoPastePanel);
  EXPECT_EQ(automatic->role(), QAccessible::Button);
  automatic->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
  EXPECT_TRUE(editor->GetAutomaticPaste());
  editor->SetAutomaticPaste(false);
}

// Only the control with the focus says it is focused: the current row only while the list has it.
TEST_F(AccessibilityTest, TheCurrentRowIsFocusedOnlyWhileTheListHasTheFocus) {
  AddCells(3);
  owner.activateWindow();
  editor->CellList()->setCurrentRow(1);
  QAccessibleInterface* row = Of(editor->CellList())->child(1);
  editor->SpeedBox()->setFocus();
  EXPECT_FALSE(row->state().focused);
  EXPECT_TRUE(row->state().selected);
  editor->CellList()->setFocus();
  EXPECT_EQ(row->state().focused, editor->CellList()->hasFocus());
  Of(editor->CellList())
      ->child(2)
      ->actionInterface()
      ->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_EQ(editor->CellList()->currentRow(), 2);
}

}  // namespace
}  // namespace torvel::test
