#pragma once

#include <string_view>

namespace res {

// The string table: the text of a string resource, empty when there is none.
std::string_view LoadResourceString(int id);

}  // namespace res
