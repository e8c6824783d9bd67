#pragma once

#include <string>

#include "platform/bitmap.h"
#include "services/zip_box.h"

namespace torvel {

// The program's help pages: an archive carried in a picture, unpacked into the help folder on
// the first request, opened in the desktop's browser, and removed again when the object goes.
class THelp {
 public:
  // Loads the archive from the carrier picture and shrinks the picture to 1 x 1 pixel (its
  // pixels are not needed any more). Without a name the help folder gets a default one.
  THelp(const std::string& name, Bitmap* carrier);
  // Removes the unpacked pages.
  ~THelp();
  THelp(const THelp&) = delete;
  THelp& operator=(const THelp&) = delete;

  bool LoadFromBitmap(Bitmap* carrier, bool shrink);
  // <settings root>/Orvik Enterprises/Help/<HelpName>/, decided on first use.
  std::string HelpFolder();
  std::string PageFile(const std::string& name);
  // Unpacks what is missing, unless the marker page shows that the pages are there.
  bool ExtractPages();
  // Opens the page in the browser, unpacking the pages first.
  bool ShowPage(const std::string& name);
  void ShowLastError();
  // Removes the files matching the clean-up mask and then the folder when it is empty.
  void RemovePages();

  // The name with every "*", "?", blank, "/" and "\" replaced by "_".
  static std::string FolderName(const std::string& name);

  std::string HelpName;
  std::string LastErrorText;
  TZipBox Archive;

 private:
  std::string folder_;
};

}  // namespace torvel
