#pragma once

#include <memory>

#include "res/dialog_template.h"

#include "ui/framework/dialog_host.h"
#include "ui/framework/messages.h"
#include "ui/framework/toolkit.h"

// Everything a window backend defines, in one list. Each platform's backend (ui/qt/, ui/win32/)
// defines all of it and nothing else does; CMake links the platform's one. Besides the functions
// below: the DialogHost and CMenu of dialog_host.h, the Toolkit of toolkit.h (its State and its
// constructor and destructor), and the IconResource behind HIcon.
namespace dlg {

class CDialog;

// The window of one dialog, made from its template.
std::unique_ptr<DialogHost> CreateDialogHost(CDialog& dialog, const res::DialogTemplate& layout);

// The icon resource with the given identifier.
HIcon LoadIconResource(int id);

// Metrics of the platform, for the few the windows ask for.
inline constexpr int METRIC_ICON_WIDTH = 11;   // SM_CXICON
inline constexpr int METRIC_ICON_HEIGHT = 12;  // SM_CYICON
int GetSystemMetrics(int index);

}  // namespace dlg
