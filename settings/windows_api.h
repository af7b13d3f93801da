#pragma once

// The one way the program includes the Windows headers: without the rarely used parts and
// without the min and max macros. The dialog layer and the windows never include them.
#ifdef TRELLAN_TOOLKIT_FREE
#error "the dialog layer and the windows see no platform header: use the dialog layer's calls"
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
