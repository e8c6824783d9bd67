#pragma once

namespace torvel {

// The program's failure texts. They are kept in English and translated only when shown.
inline constexpr const char* kUnexpectedError = "Unexpected error";
inline constexpr const char* kOutOfMemory = "Out of memory";
inline constexpr const char* kFileNotFound = "File not found";
inline constexpr const char* kFileInUse = "File in use";
inline constexpr const char* kOutOfDiskSpace = "Out of disk space";
inline constexpr const char* kPathNotFound = "Path not found";
inline constexpr const char* kAccessDenied = "Access denied";
inline constexpr const char* kNotAFile = "Not a file";
inline constexpr const char* kUnsupportedFormat = "Unsupported format";
inline constexpr const char* kUnknownFormat = "Unknown format";
inline constexpr const char* kUnsupportedEncoding = "Unsupported encoding";
inline constexpr const char* kCapacityReached = "Capacity reached";
inline constexpr const char* kIndexOutOfRange = "Index out of range";
inline constexpr const char* kEmpty = "Empty";
inline constexpr const char* kTaskFailed = "Task failed";
inline constexpr const char* kTaskCancelled = "Task cancelled";

}  // namespace torvel
