// The Windows API subset that Pallwick calls, and the one place that decides
// where it comes from: the real headers when building for Windows, the small
// simulated Windows in platform/sim/ when building the host unit tests.
#pragma once

#ifdef _WIN32
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>
#else
#include "platform/sim/win32.h"
#endif
