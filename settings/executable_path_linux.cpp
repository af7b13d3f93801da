#include <algorithm>
#include <unistd.h>

#include "settings/executable_path.h"

namespace trellan {

std::size_t ExecutablePath(std::span<char> buffer) {
    if (buffer.empty()) {
        return 0;
    }
    std::fill(buffer.begin(), buffer.end(), '\0');
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    // readlink does not terminate; a result that fills the buffer may have been cut.
    if (length <= 0 || static_cast<std::size_t>(length) >= buffer.size()) {
        std::fill(buffer.begin(), buffer.end(), '\0');
        return 0;
    }
    return static_cast<std::size_t>(length);
}

}  // namespace trellan
