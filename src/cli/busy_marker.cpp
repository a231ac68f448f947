#include "cli/busy_marker.h"

#include <cstdlib>

#include "platform/x11_windows.h"

namespace merlinox::cli {

bool CliBusyMarker::WindowTitledExists(std::string_view title) {
    if (lockFile_.WindowTitledExists(title)) return true;
    const char* display = std::getenv("DISPLAY");
    return display != nullptr && display[0] != '\0' && platform::X11WindowTitled(title);
}

}  // namespace merlinox::cli
