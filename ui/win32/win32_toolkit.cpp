#include <float.h>

#include "ui/framework/toolkit.h"
#include "ui/win32/common_controls.h"

namespace dlg {

struct Toolkit::State {};

// The x87 unit rounds to double as the program always asked it to, even though SSE2 does the
// arithmetic: a library that still uses the x87 unit then rounds the same way.
// The tooltips are common controls: their class is registered before a dialog asks for one. The
// application manifest chooses version 6, drawn in the system's visual style, and declares the
// program DPI-aware, so that the dialogs grow with their font and the icons come at the sizes the
// system asks for.
Toolkit::Toolkit(int& /*argc*/, char** /*argv*/) : m_state(std::make_unique<State>()) {
#ifndef _WIN64  // 64-bit Windows starts the x87 unit at double precision and refuses the mask
    _controlfp(_PC_53, _MCW_PC);
#endif
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
}

Toolkit::~Toolkit() = default;

}  // namespace dlg
