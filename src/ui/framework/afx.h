// Basic types of the dialog framework, and the Win32 API's constants that the
// dialogs use (res/win32_constants.h), so that they read the same on every
// platform.
#pragma once

#include <cstdint>

#include "res/win32_constants.h"

namespace tornix {

// An icon as the back end knows it; null when none was loaded.
using IconHandle = const void*;

struct ClientRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

}  // namespace tornix
