#pragma once
#include <string_view>

namespace merlinox::platform {

// True when a top-level window whose title is exactly title exists on the X display
// named by $DISPLAY, in any process. Without a display (headless, offscreen) nothing
// is found. The search asks the window manager's client list where there is one, and
// otherwise walks the root window's children and their children (a window manager
// without the list puts each window into a frame of its own).
bool X11WindowTitled(std::string_view title);

}  // namespace merlinox::platform
