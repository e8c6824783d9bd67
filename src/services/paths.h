#pragma once

#include <string>

namespace torvel {

// The name of the folder the maker's programs share below each root.
inline constexpr const char* kCompanyFolder = "Orvik Enterprises";

// Folder locations and the file and shell operations every part of the program uses. Folder
// results end with "/" and are computed afresh on every call. No operation throws; a failure
// gives the neutral result (empty text, false).
class TPaths {
 public:
  static int Max(int a, int b) { return a > b ? a : b; }
  static int Min(int a, int b) { return a < b ? a : b; }
  // Min(Max(value, low), high): when low exceeds high the result is high.
  static int Clamp(int value, int low, int high) { return Min(Max(value, low), high); }

  // The path with "/" appended unless it already ends with one; "" gives "/".
  static std::string AddSeparator(const std::string& path);

  // The two roots (see platform/folders.h), each ending with "/", or empty.
  std::string ProgramsFolder();
  std::string WindowsFolder();

  // <programs root>/Orvik Enterprises/<name>/, created when missing; empty when it cannot be
  // made. An empty name gives the company folder itself.
  std::string ProgramsCompanyFolder(const std::string& name);
  // <system root>/Orvik Enterprises/<name>/, created when missing; returned even when it could
  // not be created.
  std::string WindowsCompanyFolder(const std::string& name);
  // The file that carries the private clipboard format `format` between running programs.
  std::string ClipboardObjectFile(const std::string& format);

  bool FolderExists(const std::string& path);
  // Creates the folder and every missing parent; failures are ignored.
  void ForceFolders(const std::string& path);
  // Deletes the file at path, read-only or not; true when no file is there afterwards (also
  // when there was none, or a folder stands there).
  bool RemoveFile(const std::string& path);
  // The path without the extension of its file-name part; "." in folder names do not count.
  static std::string StripExtension(const std::string& path);
  // The text after the last "." of the file-name part; empty when there is none.
  static std::string ExtensionOf(const std::string& path);
  // Copies source over target, creating the target's folder; false when the source is missing
  // or the copy failed (an existing target is then left as it was).
  bool CopyFileTo(const std::string& source, const std::string& target);
  // Asks the desktop to open the target with its default handler, in the target's folder; false
  // when the desktop could not open it.
  bool ShellOpen(const std::string& target, const std::string& parameters);
  // The error text for a target the desktop could not open: "Task failed" and the target.
  static std::string OpenFailedText(const std::string& target);
};

}  // namespace torvel
