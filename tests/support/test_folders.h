#pragma once

#include <string>

namespace torvel::test {

// Every test executable runs with HOME, XDG_DATA_HOME and XDG_CONFIG_HOME pointing below a fresh
// temporary folder of its own, so that no test touches a real user's files.
void SetUpTestFolders();
void RemoveTestFolders();

// The temporary root of this run, ending with "/".
const std::string& TestRoot();

// A fresh, empty folder below the root for one test, ending with "/".
std::string FreshFolder(const std::string& name);

}  // namespace torvel::test
