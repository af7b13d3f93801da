#include "ui/win32/win32_resources.h"

#include <cstdint>

#include "ui/framework/dialog.h"

namespace dlg {

namespace win32 {

HICON NativeIcon(HIcon icon) {
    return reinterpret_cast<HICON>(reinterpret_cast<std::uintptr_t>(icon));
}

HIcon LayerIcon(HICON icon) {
    return reinterpret_cast<HIcon>(reinterpret_cast<std::uintptr_t>(icon));
}

}  // namespace win32

// Shared icons of the program's own module: the system keeps them, nobody frees them.
HIcon LoadIconResource(int id) {
    return win32::LayerIcon(::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id)));
}

// Our metric numbers are the platform's.
int GetSystemMetrics(int index) {
    return ::GetSystemMetrics(index);
}

}  // namespace dlg
