#include "cli/busy_marker.h"

#include <cstdlib>

#include "platform/x11_windows.h"

namespace merlinox::cli {

namespace {

bool DisplayShowsWindowTitled(std::string_view title) {
    const char* display = std::getenv("DISPLAY");
    return display != nullptr && display[0] != '\0' && platform::X11WindowTitled(title);
}

}  // namespace

std::string CliBusyMarker::Create(int x, int y) {
    if (DisplayShowsWindowTitled(kBusyWindowTitle)) {
        return "another operation is running (a window titled \"" + std::string(kBusyWindowTitle) +
               "\" is on the display)";
    }
    return lockFile_.Create(x, y);
}

bool CliBusyMarker::WindowTitledExists(std::string_view title) {
    return lockFile_.WindowTitledExists(title) || DisplayShowsWindowTitled(title);
}

}  // namespace merlinox::cli
