#include <float.h>

#include "settings/windows_api.h"

#include "ui/framework/toolkit.h"

namespace dlg {

struct Toolkit::State {};

// The x87 unit rounds to double as the program always asked it to, even though SSE2 does the
// arithmetic: a library that still uses the x87 unit then rounds the same way.
// The windows are drawn at the screen's DPI, not at 96 and stretched by the system: the dialogs
// grow with their font, as dialog units do, and the icons come at the sizes the system asks for,
// from the images the icon resource has for them.
Toolkit::Toolkit(int& /*argc*/, char** /*argv*/) : m_state(std::make_unique<State>()) {
    _controlfp(_PC_53, _MCW_PC);
    ::SetProcessDPIAware();
}

Toolkit::~Toolkit() = default;

}  // namespace dlg
