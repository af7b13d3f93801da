#pragma once

#include "settings/windows_api.h"

#include "res/dialog_template.h"

namespace dlg::win32 {

// What a dialog window made from its template is given before it shows: its place over its
// owner, results shown read-only, labels where assistive technology looks for them, tooltips.
void SetUpWindow(HWND window, const res::DialogTemplate& layout);

}  // namespace dlg::win32
