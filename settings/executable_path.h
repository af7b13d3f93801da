#pragma once

#include <cstddef>
#include <span>

namespace trellan {

// Writes the full path of the running executable, zero-terminated, into buffer and returns its
// length. Returns 0, leaving the buffer empty, when the path cannot be had or does not fit.
std::size_t ExecutablePath(std::span<char> buffer);

}  // namespace trellan
