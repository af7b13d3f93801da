#pragma once

#include "settings/windows_api.h"

// The common controls' declarations (the tooltips, their initialisation), which need the Windows
// headers before them.
#include <commctrl.h>
