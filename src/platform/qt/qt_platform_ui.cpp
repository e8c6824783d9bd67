#include "platform/qt/qt_platform_ui.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QColorDialog>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGridLayout>
#include <QImageReader>
#include <QInputDialog>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QSpacerItem>
#include <QUrl>
#include <algorithm>
#include <utility>

#include "platform/qt/bitmap_image.h"
#include "platform/qt/export_options_dialog.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/wayland_selection.h"

namespace torvel {
namespace {

QMessageBox::Icon BoxIcon(TMessageIcon icon) {
  switch (icon) {
    case TMessageIcon::Error:
      return QMessageBox::Critical;
    case TMessageIcon::Warning:
      return QMessageBox::Warning;
    case TMessageIcon::Question:
      return QMessageBox::Question;
    case TMessageIcon::Information:
      break;
  }
  return QMessageBox::Information;
}

// "Description|*.a;*.b|..." as Qt's name filters "Description (*.a *.b)".
QStringList NameFilters(const std::string& filter) {
  const QStringList parts = Q(filter).split('|');
  QStringList filters;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    const QString patterns = QString(parts[i + 1]).replace(';', ' ');
    filters << (parts[i].contains('(') ? parts[i] : parts[i] + " (" + patterns + ")");
  }
  return filters;
}

// The clipboard's picture as a reader over its encoded bytes, so that its size can be read
// without decoding it; none when the picture is only offered decoded.
std::unique_ptr<QImageReader> ClipboardReader(const QMimeData& mime, QBuffer& buffer) {
  for (const QString& format : mime.formats()) {
    if (!format.startsWith("image/")) {
      continue;
    }
    buffer.setData(mime.data(format));
    buffer.open(QIODevice::ReadOnly);
    auto reader = std::make_unique<QImageReader>(&buffer);
    if (reader->canRead()) {
      return reader;
    }
    buffer.close();
  }
  return nullptr;
}

// Opens the address with the desktop's opener and tells whether that worked. The opener is given
// a moment to say it found no handler (xdg-open then ends with an error); one still running after
// it has handed the address on, or is the handler itself, and is left to finish on its own.
// Without the opener, Qt's own way of opening addresses is tried.
bool RunDesktopOpener(const QUrl& url, const QString& opener) {
  constexpr int kVerdictMs = 2000;
  auto* process = new QProcess;
  process->start(opener, {url.isLocalFile() ? url.toLocalFile() : url.toString()});
  if (!process->waitForStarted()) {
    delete process;
    return QDesktopServices::openUrl(url);
  }
  if (process->waitForFinished(kVerdictMs)) {
    const bool opened = process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
    delete process;
    return opened;
  }
  // Never deleted while it runs, so that quitting the program does not end the handler too.
  QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
  return true;
}

}  // namespace

QString TQtPlatformUi::ButtonText(const char* english) const {
  return Q(translate_ ? translate_(english) : std::string(english));
}

void TQtPlatformUi::SetUpButtons(QMessageBox& box, TMessageButtons buttons) const {
  switch (buttons) {
    case TMessageButtons::Ok:
      box.setStandardButtons(QMessageBox::Ok);
      break;
    case TMessageButtons::YesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      break;
    case TMessageButtons::YesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
    case TMessageButtons::YesCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::Cancel);
      break;
  }
  const std::pair<QMessageBox::StandardButton, const char*> captions[] = {
      {QMessageBox::Ok, "OK"},
      {QMessageBox::Yes, "&Yes"},
      {QMessageBox::No, "&No"},
      {QMessageBox::Cancel, "Cancel"}};
  for (const auto& [button, caption] : captions) {
    if (QAbstractButton* shown = box.button(button)) {
      shown->setText(ButtonText(caption));
    }
  }
}

// A box with a short text is narrower than its caption and the window manager's buttons, which
// then cut the caption down to "E…r". QMessageBox sizes itself from its layout, so the least
// width goes in as a spacer across its grid.
void TQtPlatformUi::KeepCaptionWhole(QMessageBox& box) {
  constexpr int kTitleBarButtons = 160;  // close, maximise, minimise and the frame's margins
  const int least =
      box.fontMetrics().horizontalAdvance(box.windowTitle()) * 3 / 2 + kTitleBarButtons;
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
    grid->addItem(new QSpacerItem(least, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
  }
}

TMessageAnswer TQtPlatformUi::ShowMessage(const std::string& text, const std::string& caption,
                                          TMessageIcon icon, TMessageButtons buttons) {
  // The program ends lines with CR LF; Qt's labels break at LF alone.
  const QString lines = Q(text).replace("\r\n", "\n");
  QMessageBox box(BoxIcon(icon), Q(caption), lines, QMessageBox::NoButton, owner_);
  SetUpButtons(box, buttons);
  KeepCaptionWhole(box);
  switch (box.exec()) {
    case QMessageBox::Yes:
      return TMessageAnswer::Yes;
    case QMessageBox::No:
      return TMessageAnswer::No;
    case QMessageBox::Cancel:
      return TMessageAnswer::Cancel;
    default:
      // Closing a box that offers Cancel cancels it.
      return buttons == TMessageButtons::YesNoCancel || buttons == TMessageButtons::YesCancel
                 ? TMessageAnswer::Cancel
                 : TMessageAnswer::Ok;
  }
}

bool TQtPlatformUi::InputText(const std::string& caption, const std::string& prompt,
                              std::string& value) {
  QInputDialog dialog(owner_);
  dialog.setWindowTitle(Q(caption));
  dialog.setLabelText(Q(prompt));
  dialog.setTextValue(Q(value));
  dialog.setOkButtonText(ButtonText("OK"));
  dialog.setCancelButtonText(ButtonText("Cancel"));
  if (dialog.exec() != QDialog::Accepted) {
    return false;
  }
  value = dialog.textValue().toStdString();
  return true;
}

void TQtPlatformUi::SetUpFileDialog(QFileDialog& dialog, const TFileDialogRequest& request) {
  const bool save =
      request.Kind == TFileDialogKind::Save || request.Kind == TFileDialogKind::SaveWithPreview;
  const auto options = static_cast<uint32_t>(request.Options);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  const bool mustExist = !save || (options & kFileMustExist) != 0;
  dialog.setFileMode(mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, (options & kOverwritePrompt) == 0);
  dialog.setDefaultSuffix(Q(request.DefaultExt));
  if (!request.Title.empty()) {
    dialog.setWindowTitle(Q(request.Title));
  }
  const QStringList filters = NameFilters(request.Filter);
  dialog.setNameFilters(filters);
  if (request.FilterIndex >= 1 && request.FilterIndex <= filters.size()) {
    dialog.selectNameFilter(filters[request.FilterIndex - 1]);
  }
  dialog.setDirectory(Q(request.Folder));
  if (!request.FileName.empty()) {
    dialog.selectFile(Q(request.FileName));
  }
}

bool TQtPlatformUi::RunFileDialog(const TFileDialogRequest& request, std::string& fileName,
                                  int& filterIndex) {
  QFileDialog dialog(owner_);
  SetUpFileDialog(dialog, request);
  const bool confirmed = dialog.exec() == QDialog::Accepted;
  const QStringList chosen = dialog.selectedFiles();
  fileName = chosen.isEmpty() ? std::string() : chosen.first().toStdString();
  filterIndex = static_cast<int>(dialog.nameFilters().indexOf(dialog.selectedNameFilter())) + 1;
  return confirmed;
}

bool TQtPlatformUi::ChooseColor(TColor& color, TCustomColors& customColors) {
  for (int i = 0; i < static_cast<int>(customColors.size()); ++i) {
    QColorDialog::setCustomColor(i, ToQColor(customColors[i]));
  }
  const QColor chosen = QColorDialog::getColor(ToQColor(color), owner_);
  for (int i = 0; i < static_cast<int>(customColors.size()); ++i) {
    customColors[i] = FromQColor(QColorDialog::customColor(i));
  }
  if (!chosen.isValid()) {
    return false;
  }
  color = FromQColor(chosen);
  return true;
}

TQtPlatformUi::TQtPlatformUi() {
  if (QGuiApplication::platformName() == "wayland") {
    selection_ = TWaylandSelection::Connect();
  }
}

TQtPlatformUi::~TQtPlatformUi() = default;

bool TQtPlatformUi::WatchesOtherPrograms() const {
  return selection_ && QGuiApplication::focusWindow() == nullptr &&
         !QGuiApplication::clipboard()->ownsClipboard();
}

const QMimeData* TQtPlatformUi::ClipboardData() {
  if (!WatchesOtherPrograms()) {
    return QGuiApplication::clipboard()->mimeData();
  }
  if (!selection_->Refresh()) {
    selection_.reset();  // the compositor went away: Qt's clipboard is all there is
    return QGuiApplication::clipboard()->mimeData();
  }
  if (selection_->Serial() != selectionSerial_) {
    selectionSerial_ = selection_->Serial();
    selectionData_.clear();
    const std::vector<std::string>& types = selection_->Types();
    const auto png = std::find(types.begin(), types.end(), "image/png");
    const auto picture = png != types.end()
                             ? png
                             : std::find_if(types.begin(), types.end(), [](const std::string& t) {
                                 return t.rfind("image/", 0) == 0;
                               });
    if (picture != types.end()) {
      constexpr int kReadLimitMs = 2000;
      const std::vector<uint8_t> bytes =
          selection_->Read(*picture, kReadLimitMs, size_t{4} * kMostDecodedPixels);
      selectionData_.setData(QString::fromStdString(*picture),
                             QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                        static_cast<qsizetype>(bytes.size())));
    }
  }
  return &selectionData_;
}

namespace {

// Qt's own clipboard data knows its picture; the data-control connection's only its encoded
// bytes.
bool OffersPicture(const QMimeData* mime) {
  if (mime == nullptr) {
    return false;
  }
  if (mime->hasImage()) {
    return true;
  }
  const QStringList formats = mime->formats();
  return std::any_of(formats.begin(), formats.end(), [mime](const QString& f) {
    return f.startsWith("image/") && !mime->data(f).isEmpty();
  });
}

}  // namespace

bool TQtPlatformUi::ClipboardHasPicture() {
  return OffersPicture(ClipboardData());
}

bool TQtPlatformUi::ClipboardPictureSize(TSize& size) {
  const QMimeData* mime = ClipboardData();
  if (!OffersPicture(mime)) {
    return false;
  }
  QBuffer buffer;
  QSize found;
  if (auto reader = ClipboardReader(*mime, buffer)) {
    found = reader->size();
  }
  if (!found.isValid()) {
    found = qvariant_cast<QImage>(mime->imageData()).size();
  }
  size = {found.width(), found.height()};
  return found.isValid();
}

bool TQtPlatformUi::ReadClipboardPicture(Bitmap& picture) {
  const QMimeData* mime = ClipboardData();
  if (!OffersPicture(mime)) {
    return false;
  }
  QBuffer buffer;
  QImage image;
  if (auto reader = ClipboardReader(*mime, buffer)) {
    const QSize size = reader->size();
    if (size.isValid() && !Bitmap::IsDecodableSize(size.width(), size.height())) {
      return false;  // refused before decoding
    }
    image = reader->read();
  }
  if (image.isNull()) {
    image = qvariant_cast<QImage>(mime->imageData());
  }
  return ImageToBitmap(image, picture);
}

bool TQtPlatformUi::WriteClipboardPicture(const Bitmap& picture) {
  QGuiApplication::clipboard()->setImage(ImageView(picture).copy());
  return true;
}

// Without the focus on Wayland, Qt cannot empty the clipboard; the data-control connection can.
void TQtPlatformUi::ClearClipboard() {
  if (WatchesOtherPrograms()) {
    selection_->Clear();
    selectionSerial_ = -1;
    return;
  }
  QGuiApplication::clipboard()->clear();
}

bool TQtPlatformUi::SeesClipboardWithoutFocus() {
  return QGuiApplication::platformName() != "wayland" || selection_ != nullptr;
}

bool TQtPlatformUi::ShellOpen(const std::string& target, const std::string& parameters,
                              const std::string& workingFolder) {
  const QString what = Q(target);
  const QFileInfo file(what);
  if (file.isFile() && file.isExecutable()) {
    return QProcess::startDetached(what, QProcess::splitCommand(Q(parameters)), Q(workingFolder));
  }
  const bool web = what.startsWith("http://") || what.startsWith("https://");
  const QUrl url = web ? QUrl(what) : QUrl::fromLocalFile(what);
  return RunDesktopOpener(url, opener_);
}

bool TQtPlatformUi::StartNewInstance() {
  return QProcess::startDetached(QCoreApplication::applicationFilePath(), {});
}

void TQtPlatformUi::SetBusyCursor(bool busy) {
  if (busy == busyCursor_) {
    return;
  }
  busyCursor_ = busy;
  if (busy) {
    QApplication::setOverrideCursor(Qt::BusyCursor);
  } else {
    QApplication::restoreOverrideCursor();
  }
}

bool TQtPlatformUi::ChooseExportOptions(TExportChoices& choices) {
  TExportOptionsDialog dialog(choices, owner_);
  if (dialog.exec() != QDialog::Accepted) {
    return false;
  }
  choices = dialog.Choices();
  return true;
}

std::unique_ptr<TProgressWindow> TQtPlatformUi::OpenProgress(const std::string& caption,
                                                             const std::string& text,
                                                             const std::string& cancelText) {
  return OpenProgressWindow(caption, text, cancelText, owner_);
}

void TQtPlatformUi::ProcessPendingEvents() {
  QCoreApplication::processEvents();
}

}  // namespace torvel
