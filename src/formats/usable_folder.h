#pragma once

#include <string>

namespace torvel {

// The folder itself when it exists, otherwise the system root (where file dialogs then open).
std::string UsableFolder(const std::string& folder);

}  // namespace torvel
