// The main window's start-up sequence, its splash picture and its icon animation.
#include <QCoreApplication>
#include <QPixmap>
#include <QTimer>

#include "app/carriers.h"
#include "app/help.h"
#include "app/main_window.h"
#include "editor/animation_edit.h"
#include "platform/bmp.h"
#include "platform/error_texts.h"
#include "platform/jpeg.h"
#include "platform/qt/screen_window.h"
#include "services/carrier.h"
#include "services/program_data.h"
#include "services/scramble.h"
#include "services/services.h"
#include "services/stored_texts.h"
#include "services/translate.h"
#include "widgets/compact_splash.h"

namespace torvel {
namespace {

// A splash picture has no business being larger; a hostile one is refused before decoding.
constexpr int64_t kMostSplashPixels = int64_t{2048} * 2048;

bool DecodeSplashPicture(const std::string& upperName, const std::vector<uint8_t>& bytes,
                         Bitmap& picture) {
  std::string error;
  if (upperName == "A.JPG") {
    return DecodeJpeg(bytes.data(), bytes.size(), picture, error, kMostSplashPixels);
  }
  return DecodeBmp(bytes.data(), bytes.size(), picture, error, kMostSplashPixels);
}

}  // namespace

TStartup TStartup::FromCommandLine(const QStringList& arguments, const QString& programFile) {
  TStartup startup;
  startup.ProgramFile = programFile.toStdString();
  if (arguments.size() > 1) {
    startup.Argument = arguments.at(1).toStdString();
  }
  startup.SplashSeconds = 1;
  return startup;
}

TForm1::TForm1(const TStartup& startup, QWidget* parent) : QMainWindow(parent) {
  EndProcess = [] { QCoreApplication::quit(); };
  try {
    FormCreate(startup);
  } catch (...) {
    if (TGeneral* general = General()) {
      general->FatalOutOfMemory();
    }
    throw;
  }
}

void TForm1::FormCreate(const TStartup& startup) {
  SupportFilesPending = true;
  cri_ = startup.SplashCarrier ? *startup.SplashCarrier : CarrierPicture("cri.bmp");
  supHelp_ = CarrierPicture("sup_help.bmp");
  supFiles_ = CarrierPicture("sup_files.bmp");
  CreateSplash();
  if (!LoadSplashPicture(startup.Argument.has_value())) {
    ShowShellError();
    splash_.reset();
    startFailed_ = true;  // the program ends without writing its settings
    return;
  }
  CreateIconAnimation();
  help_ = std::make_unique<THelp>("Torvel", &supHelp_);
  DockEditor();
  LoadSettings();
  if (SupportFilesPending) {
    ExtractSupportFiles();
    SaveSettings();
  }
  if (startup.Argument) {
    OpenCommandLineFile(*startup.Argument);
  }
  if (!startup.ProgramFile.empty()) {
    RefreshProgramCopy(startup.ProgramFile);
  }
  if (splash_->IsVisible()) {
    splash_->CloseAfter(startup.SplashSeconds);
  }
}

void TForm1::CreateSplash() {
  splash_ = std::make_unique<TCompactSplash>();
  splash_->ProductName = StoredText("Torvel", 1);
  splash_->VersionText = StoredText(kVersionText, 1);
  splash_->NoteText =
      StoredText("(" + TranslateText(StoredText(stored_texts::kNoteText, 0)) + ")", 1);
  splash_->ShowProductName = 0;
  splash_->TextColor = kWhite;
  splash_->TextFont.setPointSize(8);
  splash_->TextFont.setBold(true);
  splash_->LeftMargin = 32;
  splash_->BottomMargin = 15;
}

// The splash archive holds the picture as "A.JPG" or "A.BMP" (the later one wins). Without an
// archive the program starts without a splash; a picture that cannot be read ends it.
bool TForm1::LoadSplashPicture(bool hasArgument) {
  LastErrorText = kOutOfMemory;
  try {
    TZipBox archive;
    const bool loaded = LoadCarrier(cri_, archive);
    cri_.Resize(1, 1);  // its pixels are not needed any more
    if (!loaded) {
      return true;
    }
    for (int i = 0; i < archive.EntryCount(); ++i) {
      const TBoxItem* entry = archive.EntryAt(i);
      const std::string name = UpperCase(entry->pName);
      if (name != "A.JPG" && name != "A.BMP") {
        continue;
      }
      TMemoryStream bytes;
      if (!archive.ExtractToStream(entry, bytes)) {
        LastErrorText = archive.LastErrorText;
        return false;
      }
      Bitmap picture;
      if (!DecodeSplashPicture(name, bytes.Bytes(), picture)) {
        LastErrorText = kOutOfMemory;
        return false;
      }
      splash_->SetPicture(picture);
      if (!hasArgument) {
        splash_->ShowAsSplash();
      }
    }
    return true;
  } catch (...) {
    LastErrorText = kOutOfMemory;
    return false;
  }
}

void TForm1::ShowShellError() {
  if (TGeneral* general = General()) {
    general->ShowError(LastErrorText);
  }
}

void TForm1::DockEditor() {
  editor_ = std::make_unique<TAnimationEdit>("Torvel", this);
  setCentralWidget(editor_->Window());
  setAcceptDrops(true);
  editor_->Window()->show();
  editor_->StartStill();
  CreateMenus();
  CreatePopupMenu();  // attached to the cell list
  editor_->HelpHandler = [this](TAnimationEdit&) { return OnHelp(); };
  editor_->OnFileUsed = [this](const std::string& path) { recent_.Add(path); };
  TranslateMenus();
  setMinimumWidth(editor_->LeastWidth());  // in large fonts the start size grows to fit
  resize(550, 455);
  TWidgetOnScreen onScreen(*this);
  if (TGeneral* general = General()) {
    general->CenterOnScreen(&onScreen);
  }
}

bool TForm1::OnHelp() {
  if (help_ && !help_->ShowPage("index.html")) {
    help_->ShowLastError();
  }
  return true;  // the help object has reported its own failure
}

namespace {

QPixmap ProgramPicture(const std::string& name) {
  const TProgramData data = ProgramData(name);
  QPixmap pixmap;
  pixmap.loadFromData(data.Bytes, static_cast<uint>(data.Size), "PNG");
  return pixmap;
}

}  // namespace

QIcon TForm1::ApplicationIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    icon.addPixmap(ProgramPicture("torvel-" + std::to_string(size) + ".png"));
  }
  return icon;
}

void TForm1::CreateIconAnimation() {
  for (int i = 0; i < 6; ++i) {
    imageList1_[i] = QIcon(ProgramPicture("frame" + std::to_string(i) + ".png"));
  }
  Timer1 = new QTimer(this);
  Timer1->setInterval(250);
  connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
  Timer1->start();
}

// Runs only while the window is shown: frames 1, 2, 3, 4, 5, 0, 1, ... once per tick.
void TForm1::Timer1Timer() {
  try {
    if (!isVisible()) {
      return;
    }
    Timer1->stop();
    iconIndex_ = (iconIndex_ + 1) % static_cast<int>(imageList1_.size());
    setWindowIcon(imageList1_[iconIndex_]);
    Timer1->start();
  } catch (...) {
  }
}

}  // namespace torvel
