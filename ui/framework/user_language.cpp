#include "ui/framework/user_language.h"

#include <cstdlib>
#include <string_view>

namespace dlg {

bool UserReadsChinese() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);  // NOLINT(concurrency-mt-unsafe): one thread
        if (value != nullptr && *value != '\0') {
            return std::string_view(value).starts_with("zh");
        }
    }
    return false;
}

}  // namespace dlg
