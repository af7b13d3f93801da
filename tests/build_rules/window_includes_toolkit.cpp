// A window that reaches past the dialog layer to the toolkit does not build.
#ifdef _WIN32
#include "settings/windows_api.h"
#else
#include <QDialog>
#endif
