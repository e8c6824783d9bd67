// Times the editing commands on long animations of large cells in the real editor on Qt's
// offscreen platform, against the same command on a short animation measured in the same run.
// Prints one "name: value" line per measurement.
//
// Goals: pasting one 1920 x 1080 cell (its undo snapshot included) into 200 such cells takes at
// most 1.2 x the time of pasting it into 2; its Undo at 200 cells takes under 5 ms; Delete, a
// move by dragging and Reverse at 1,000 cells of 320 x 240 each take under 5 ms.
#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "editor/animation_edit.h"
#include "editor/cell_list_widget.h"
#include "platform/picture_memory.h"
#include "private_home.h"
#include "services/services.h"
#include "sprite_strip.h"
#include "support/scripted_platform_ui.h"

namespace {

using torvel::Bitmap;
using torvel::TAnimationEdit;
using torvel::bench::SpriteStrip;
using torvel::bench::TShape;

double Ms(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
  return took.count();
}

// The best of the runs: what the command itself costs, without the runs where the allocator
// happened to fetch fresh pages from the system.
double Best(const std::vector<double>& values) {
  return *std::min_element(values.begin(), values.end());
}

void Check(bool ok, TAnimationEdit& editor, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "%s failed: %s\n", what, editor.LastError.c_str());
    std::exit(1);
  }
}

// An animation of n cells of one picture each (they are copied into the store one by one).
void Fill(TAnimationEdit& editor, int n, int w, int h) {
  editor.New(false);
  Bitmap cell = SpriteStrip(TShape{"cell", 1, w, h});
  for (int k = 0; k < n; ++k) {
    Check(editor.Strip->AddCells(&cell, 1, -1) == 1, editor, "fill");
  }
  editor.RefreshCellList();
}

struct TPasteTimes {
  double Paste = 0;
  double Undo = 0;
};

// Pastes at the end of the list and takes the paste back with Undo, many times over.
TPasteTimes PasteAndUndo(TAnimationEdit& editor, torvel::test::TScriptedPlatformUi& ui,
                         const Bitmap& picture) {
  std::vector<double> pastes, undos;
  for (int run = 0; run < 25; ++run) {
    ui.ClipboardPicture = picture;
    editor.CellList()->setCurrentRow(editor.Strip->Table.Count);
    pastes.push_back(Ms([&] { Check(editor.Paste(false), editor, "paste"); }));
    undos.push_back(Ms([&] { Check(editor.Undo(), editor, "undo"); }));
  }
  return {Best(pastes), Best(undos)};
}

// Times a command on the middle row, then takes it back (untimed).
double Edit(TAnimationEdit& editor, const std::function<void()>& command) {
  std::vector<double> times;
  const int count = editor.Strip->Table.Count;
  for (int run = 0; run < 25; ++run) {
    editor.CellList()->setCurrentRow(count / 2);
    times.push_back(Ms(command));
    Check(editor.Undo(), editor, "undo");
    Check(editor.Strip->Table.Count == count, editor, "the undo of the command");
  }
  return Best(times);
}

void EditCommands(TAnimationEdit& editor, int n, const std::string& name) {
  Fill(editor, n, 320, 240);
  const double remove = Edit(editor, [&] { Check(editor.DeleteCells(false), editor, "delete"); });
  const double move = Edit(editor, [&] { editor.CellDragDrop(0); });
  const double reverse = Edit(editor, [&] { Check(editor.Reverse(), editor, "reverse"); });
  std::printf("%s.delete_ms: %.3f\n%s.move_ms: %.3f\n%s.reverse_ms: %.3f\n", name.c_str(), remove,
              name.c_str(), move, name.c_str(), reverse);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  torvel::KeepPictureMemoryForReuse();
  const std::string home = UsePrivateHome();
  torvel::StartServices();
  QApplication app(argc, argv);
  {
    torvel::test::TScriptedPlatformUi ui;
    QWidget owner;
    TAnimationEdit editor("Torvel", &owner);
    editor.Window()->setParent(&owner);
    owner.resize(800, 600);
    owner.show();

    const Bitmap screenshot = SpriteStrip(TShape{"screen", 1, 1920, 1080});
    Fill(editor, 2, 1920, 1080);
    const TPasteTimes few = PasteAndUndo(editor, ui, screenshot);
    Fill(editor, 200, 1920, 1080);
    const TPasteTimes many = PasteAndUndo(editor, ui, screenshot);
    std::printf("paste_fullhd_into_2_ms: %.3f\npaste_fullhd_into_200_ms: %.3f\n", few.Paste,
                many.Paste);
    std::printf("paste_ratio_200_to_2: %.2f\n", many.Paste / few.Paste);
    std::printf("undo_paste_at_2_ms: %.3f\nundo_paste_at_200_ms: %.3f\n", few.Undo, many.Undo);

    EditCommands(editor, 2, "cells2_320x240");
    EditCommands(editor, 1000, "cells1000_320x240");
    editor.New(false);
  }
  torvel::RunProgramEndCleanup();
  return RemovePrivateHome(home) ? 0 : 1;
}
