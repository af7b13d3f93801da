#include "settings/file_io.h"

namespace trellan {

bool IsTemporaryName(std::string_view name, std::string_view fileName) {
    if (!name.starts_with(fileName)) {
        return false;
    }
    name.remove_prefix(fileName.size());
    if (!name.starts_with(TEMPORARY_INFIX)) {
        return false;
    }
    name.remove_prefix(TEMPORARY_INFIX.size());
    return name.size() == TEMPORARY_RANDOM_LENGTH &&
           name.find_first_not_of(TEMPORARY_CHARACTERS) == std::string_view::npos;
}

}  // namespace trellan
