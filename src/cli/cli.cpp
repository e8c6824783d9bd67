#include "cli/cli.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <optional>

#include "cells/animation_io.h"
#include "export/animation_encoder.h"
#include "export/png_io.h"
#include "import/animation_import.h"
#include "platform/bmp.h"
#include "platform/error_texts.h"
#include "platform/files.h"
#include "services/general.h"
#include "services/paths.h"

namespace torvel {
namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kWrongUsage = 2;

constexpr const char* kUsage =
    "Usage:\n"
    "  torvel-cli info FILE.san|FILE.gif|FILE.webp|FILE.png\n"
    "      Prints the animation's cells, cell size, interval (milliseconds, 0 is still),\n"
    "      transparent, flip, mirror and the three reserved values, one 'name: value' per "
    "line.\n"
    "      For a GIF, WebP or PNG file: its format, frames, size, frame delays (milliseconds)\n"
    "      and whether it has transparent pixels.\n"
    "  torvel-cli pack IMAGE OUT.san [--cells N] [--interval MS] [--transparent|--opaque]\n"
    "                 [--flip] [--mirror]\n"
    "      Saves an animated GIF, WebP or PNG as an animation, one cell per frame, playing at\n"
    "      the speed nearest to its frame delays, transparent where its pixels are. A still\n"
    "      picture (BMP, PNG, or a one-frame GIF or WebP) is an image strip: --cells N cuts it "
    "into\n"
    "      N equal cells, as Paste Special > Image Strip does; without options it is still\n"
    "      (interval 0) and transparent. Intervals below 50 ms are still, above 2000 ms are 2000.\n"
    "  torvel-cli unpack FILE.san OUT.png|OUT.bmp\n"
    "      Writes all cells side by side as one picture, in the format of OUT's extension.\n"
    "  torvel-cli export FILE.san OUT.gif|OUT.webp|OUT.apng|OUT.png [--scale N] [--no-dither]\n"
    "                 [--once] [--interval MS]\n"
    "      Writes the animation as the preview plays it (Flip, Mirror and Transparent applied)\n"
    "      as an animated GIF, a lossless animated WebP or an animated PNG, by OUT's extension.\n"
    "      --scale N enlarges each pixel to N x N (1 to 8, default 1); --no-dither maps GIF\n"
    "      colours without dithering; --once plays once instead of looping; --interval MS\n"
    "      shows each frame for MS milliseconds (10 to 60000) instead of the animation's\n"
    "      interval. A still animation plays at 10 frames a second.\n"
    "  torvel-cli --help\n"
    "      Shows this text.\n"
    "Errors go to standard error; the exit status is 0 on success, 1 when the work failed and\n"
    "2 when the command line was wrong.\n";

class TCli {
 public:
  TCli(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

  int Info(const std::vector<std::string>& args);
  int FramesInfo(const std::string& path);
  int Pack(const std::vector<std::string>& args);
  int Unpack(const std::vector<std::string>& args);
  int Export(const std::vector<std::string>& args);
  int WrongUsage(const std::string& why) {
    err_ << "torvel-cli: " << why << "\n" << kUsage;
    return kWrongUsage;
  }

 private:
  // An error's further lines (the path and the system's reason) follow indented.
  int Fail(const std::string& subject, std::string error) {
    for (size_t at; (at = error.find("\r\n")) != std::string::npos;) {
      error.replace(at, 2, "\n  ");
    }
    err_ << "torvel-cli: " << subject << ": " << error << "\n";
    return kFailed;
  }
  // The file's record stays in contents; its picture is taken into the store.
  bool LoadStore(const std::string& path, TAnimationContents& contents, TAnimationStrip& store,
                 std::string& error);

  std::ostream& out_;
  std::ostream& err_;
};

std::optional<int> ParseInt(const std::string& text) {
  int value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return value;
}

const char* YesNo(bool on) {
  return on ? "yes" : "no";
}

// The store holding the file's cells, cut exactly as the editor cuts them when opening it.
bool TCli::LoadStore(const std::string& path, TAnimationContents& contents, TAnimationStrip& store,
                     std::string& error) {
  if (!LoadAnimation(path, contents, error)) {
    return false;
  }
  store.MakesThumbnails = false;
  const int n = contents.CellCount();
  const int read = static_cast<int>(contents.Cells.size());
  const int accepted = n > 0 ? store.AddPictures(contents.Cells, -1) : 0;
  contents.Cells.clear();
  if (n <= 0 || accepted != n) {
    error = n <= 0 ? std::string(kIndexOutOfRange)
                   : AcceptedCellsText(accepted, n,
                                       accepted < read ? store.LastError : kCapacityReached);
    return false;
  }
  ApplyAnimationSettings(store, contents.Record);
  return true;
}

const char* FormatName(TPictureFormat format) {
  switch (format) {
    case TPictureFormat::Gif:
      return "gif";
    case TPictureFormat::Webp:
      return "webp";
    default:
      return "png";
  }
}

// What a GIF, WebP or PNG file holds. Frames beyond what the program could take are counted
// and their delays listed, but not decoded; those decoded are only looked at.
int TCli::FramesInfo(const std::string& path) {
  std::vector<uint8_t> bytes;
  TDecodedFrames frames;
  bool transparent = false;
  frames.TakeFrame = [&frames, &transparent](const uint8_t* rgba) {
    for (size_t i = 3; i < frames.FrameBytes() && !transparent; i += 4) {
      transparent = rgba[i] < kOpaqueAlpha;
    }
  };
  std::string error;
  if (!ReadPictureBytes(path, bytes, error) ||
      !ReadAnimationFrames(bytes, StoreReadLimits(std::nullopt), frames, error)) {
    return Fail(path, error);
  }
  out_ << "format: " << FormatName(PictureFormatOf(bytes)) << "\n"
       << "frames: " << frames.FramesInFile << "\n"
       << "size: " << frames.Width << "x" << frames.Height << "\n"
       << "delays:";
  for (const int delay : frames.DelaysMs) {
    out_ << " " << delay;
  }
  out_ << "\n"
       << "transparent: " << YesNo(transparent) << "\n";
  return kDone;
}

int TCli::Info(const std::vector<std::string>& args) {
  if (args.size() != 1) {
    return WrongUsage("info takes one file");
  }
  if (HoldsFrames(PictureFileFormat(args[0]))) {
    return FramesInfo(args[0]);
  }
  // What the program shows, from the store it opens the file into; what the file stores beside
  // it where the two differ.
  TAnimationContents contents;
  TAnimationStrip store;
  std::string error;
  if (!LoadStore(args[0], contents, store, error)) {
    return Fail(args[0], error);
  }
  const TSAN& r = contents.Record;
  const TCellTable& table = store.Table;
  out_ << "cells: " << table.Count << "\n"
       << "cell size: " << table.CellWidth << "x" << table.CellHeight << "\n"
       << "interval: " << table.Interval;
  if (table.Interval != r.pD) {
    out_ << " (stored: " << r.pD << ")";
  }
  out_ << "\n"
       << "transparent: " << YesNo(r.pT) << "\n"
       << "flip: " << YesNo(r.pFV) << "\n"
       << "mirror: " << YesNo(r.pFH) << "\n"
       << "pF: " << int{r.pF} << "\n"
       << "pSH: " << r.pSH << "\n"
       << "pSV: " << r.pSV << "\n";
  return kDone;
}

bool ReadImage(const std::string& path, Bitmap& picture, std::string& error) {
  std::vector<uint8_t> bytes;
  if (!ReadPictureBytes(path, bytes, error)) {
    return false;
  }
  return LooksLikePng(bytes) ? DecodePng(bytes, picture, error) : DecodeBmp(bytes, picture, error);
}

// The options of pack; those not given take the file's own values.
struct TPackOptions {
  std::vector<std::string> Files;
  std::optional<int> Cells;
  std::optional<int> Interval;
  std::optional<bool> Transparent;
  bool Flip = false;
  bool Mirror = false;
};

std::optional<std::string> ParsePackArguments(const std::vector<std::string>& args,
                                              TPackOptions& options) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--cells" || a == "--interval") {
      const std::optional<int> value = i + 1 < args.size() ? ParseInt(args[++i]) : std::nullopt;
      if (!value || *value < (a == "--cells" ? 1 : 0)) {
        return a + " needs a " + (a == "--cells" ? "positive" : "non-negative") + " whole number";
      }
      (a == "--cells" ? options.Cells : options.Interval) = *value;
    } else if (a == "--transparent" || a == "--opaque") {
      options.Transparent = a == "--transparent";
    } else if (a == "--flip") {
      options.Flip = true;
    } else if (a == "--mirror") {
      options.Mirror = true;
    } else if (a.rfind("--", 0) == 0) {
      return "unknown option " + a;
    } else {
      options.Files.push_back(a);
    }
  }
  if (options.Files.size() != 2) {
    return "pack takes an image, an output file and, for a still image, --cells N";
  }
  return std::nullopt;
}

// A still picture: a one-frame GIF, WebP or PNG as its frame was read (as info reads it, and
// so an animated PNG's frame rather than a default picture outside the animation), a BMP
// decoded here.
bool ReadStill(const std::string& path, TFileFrames& file, Bitmap& picture, std::string& error) {
  if (!HoldsFrames(file.Format)) {
    return ReadImage(path, picture, error);
  }
  TImportedCells cells;
  if (!CellsOfFile(file, 1, cells, error)) {
    return false;
  }
  picture = std::move(*cells.Cells.front());
  return true;
}

int TCli::Pack(const std::vector<std::string>& args) {
  TPackOptions options;
  if (const auto wrong = ParsePackArguments(args, options)) {
    return WrongUsage(*wrong);
  }
  const std::string& source = options.Files[0];
  TFileFrames file;
  std::string error;
  if (HoldsFrames(PictureFileFormat(source)) &&
      !ReadFramesForStore(source, std::nullopt, file, error)) {
    return Fail(source, error);
  }
  TAnimationStrip store;
  store.MakesThumbnails = false;
  int cells = 0, accepted = 0, interval = 0;
  bool transparent = true;
  if (file.IsAnimation()) {
    if (options.Cells) {
      return WrongUsage("--cells is for still images; an animation gives one cell a frame");
    }
    TImportedAnimation animation;
    if (!AnimationCells(file, animation, error)) {
      return Fail(source, error);
    }
    cells = animation.Cells.Offered;
    accepted = store.AddPictures(animation.Cells.Cells, -1);
    interval = animation.Speed.IntervalMs;
    transparent = animation.Cells.Transparent;
  } else {
    Bitmap picture;
    if (!ReadStill(source, file, picture, error)) {
      return Fail(source, error);  // a file that cannot be read is a failure, however asked
    }
    if (!options.Cells) {
      return WrongUsage("pack needs --cells N for a still image");
    }
    const int most = std::clamp(picture.Width(), 1, TCellTable::kSlots);
    if (*options.Cells > most) {
      return WrongUsage("--cells must lie between 1 and " + std::to_string(most) +
                        " for this image");
    }
    cells = *options.Cells;
    accepted = store.AddCells(&picture, cells, -1);
  }
  if (accepted == 0) {
    return Fail(source, AcceptedCellsText(accepted, cells, store.LastError));
  }
  store.SetInterval(options.Interval.value_or(interval));
  store.SetTransparent(options.Transparent.value_or(transparent));
  store.SetFlip(options.Flip);
  store.SetMirror(options.Mirror);
  if (!SaveAnimation(store.Table, options.Files[1], error)) {
    return Fail(options.Files[1], error);
  }
  if (accepted != cells) {  // the cells that fit are written; the user learns of the others
    err_ << "torvel-cli: " << source << ": " << AcceptedCellsText(accepted, cells, kCapacityReached)
         << "\n";
  }
  return kDone;
}

int TCli::Unpack(const std::vector<std::string>& args) {
  if (args.size() != 2) {
    return WrongUsage("unpack takes an animation and an output picture");
  }
  const std::string extension = LowerCase(TPaths::ExtensionOf(args[1]));
  if (extension != "png" && extension != "bmp") {
    return WrongUsage("the output picture must end in .png or .bmp");
  }
  TAnimationContents contents;
  TAnimationStrip store;
  std::string error;
  if (!LoadStore(args[0], contents, store, error)) {
    return Fail(args[0], error);
  }
  // Written a row at a time, at any size.
  const TCellTable& table = store.Table;
  const auto pngRow = [&table](int y, uint8_t* row) {
    for (int p = 0; p < table.Count; ++p, row += size_t(table.CellWidth) * 3) {
      std::memcpy(row, table.CellAt(p).Row(y), size_t(table.CellWidth) * 3);
    }
  };
  const int64_t width = int64_t{table.Count} * table.CellWidth;
  TWriteReport report;
  const auto write = [&](TStream& file) {
    return extension == "bmp"
               ? WriteCellStrip(table, file)
               : EncodePngRows(static_cast<int>(width), table.CellHeight, pngRow, file);
  };
  if (width > INT32_MAX) {
    return Fail(args[1], kOutOfDiskSpace);
  }
  if (!WriteFileSafely(args[1], write, &report)) {
    return Fail(args[1], WriteFailureText(report, args[1]));
  }
  return kDone;
}

// Reads export's options into options and files; the reason for a wrong command line otherwise.
std::optional<std::string> ParseExportArguments(const std::vector<std::string>& args,
                                                TExportOptions& options,
                                                std::vector<std::string>& files,
                                                std::optional<int>& interval) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--scale" || a == "--interval") {
      const std::optional<int> value = i + 1 < args.size() ? ParseInt(args[++i]) : std::nullopt;
      const bool scale = a == "--scale";
      if (!value || *value < (scale ? 1 : 10) ||
          *value > (scale ? TExportOptions::kMostScale : 60000)) {
        return scale ? "--scale needs a whole number from 1 to 8"
                     : "--interval needs a whole number of milliseconds from 10 to 60000";
      }
      if (scale) {
        options.Scale = *value;
      } else {
        interval = *value;
      }
    } else if (a == "--no-dither") {
      options.Dither = false;
    } else if (a == "--once") {
      options.Loop = false;
    } else if (a.rfind("--", 0) == 0) {
      return "unknown option " + a;
    } else {
      files.push_back(a);
    }
  }
  if (files.size() != 2) {
    return "export takes an animation and an output file";
  }
  return std::nullopt;
}

int TCli::Export(const std::vector<std::string>& args) {
  TExportOptions options;
  std::vector<std::string> files;
  std::optional<int> interval;
  if (const auto wrong = ParseExportArguments(args, options, files, interval)) {
    return WrongUsage(*wrong);
  }
  TExportFormat format;
  if (!FormatOfFileName(files[1], false, format)) {
    return WrongUsage("the output file must end in .gif, .webp, .apng or .png");
  }
  TAnimationContents contents;
  TAnimationStrip store;
  TExportFrames frames;
  std::string error;
  if (!LoadStore(files[0], contents, store, error) ||
      !FramesFromTable(store.Table, frames, error)) {
    return Fail(files[0], error);
  }
  options.DelayMs = interval.value_or(ExportDelay(store.Table));
  if (!ExportAnimationFile(frames, options, format, files[1], nullptr, error)) {
    return Fail(files[1], error);
  }
  return kDone;
}

}  // namespace

int RunCli(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  TCli cli(out, err);
  if (arguments.empty()) {
    return cli.WrongUsage("no command given");
  }
  const std::string& command = arguments[0];
  const std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
  if (command == "--help" || command == "-h" || command == "help") {
    out << kUsage;
    return kDone;
  }
  if (command == "info") {
    return cli.Info(rest);
  }
  if (command == "pack") {
    return cli.Pack(rest);
  }
  if (command == "unpack") {
    return cli.Unpack(rest);
  }
  if (command == "export") {
    return cli.Export(rest);
  }
  return cli.WrongUsage("unknown command " + command);
}

}  // namespace torvel
