#pragma once

#include <string>
#include <string_view>

namespace rcgen {

// The resource script of the Windows program, from the data in res/: the application manifest
// (read from manifestPath), the dialog templates, the string table, the icon (read from iconPath)
// and the version record.
std::string ResourceScript(std::string_view iconPath, std::string_view manifestPath,
                           std::string_view originalFilename);

}  // namespace rcgen
