#pragma once

#include "settings/windows_api.h"

#include "ui/framework/messages.h"

namespace dlg::win32 {

// Our icon handles are the platform's own, seen through the dialog layer's opaque type.
HICON NativeIcon(HIcon icon);
HIcon LayerIcon(HICON icon);

}  // namespace dlg::win32
