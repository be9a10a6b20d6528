// A window title that is empty stays blank in the title bar.
//
// Qt's X11 layer writes the application's name into _NET_WM_NAME, the title
// that window managers show, for a window whose title is empty. The
// program's message boxes with the empty caption have a blank title bar, as
// on Windows, so such a window gets the empty title written back.
#pragma once

class QWidget;

namespace tornix::qt {

// For a top-level window whose title is empty and whose platform window
// exists: sets its X11 titles (_NET_WM_NAME and WM_NAME) to the empty text.
// Call it before the window is shown; it does nothing for a window with a
// title, or on any platform but X11.
void KeepEmptyTitleBlank(QWidget& window);

}  // namespace tornix::qt
