#include "platform/x11_windows.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>

#include <cstdlib>
#include <string>

#include "app/main_presenter.h"
#include "cli/busy_marker.h"
#include "gui/desktop_busy_marker.h"
#include "support/scratch_dir.h"

namespace merlinox::gui {
namespace {

using platform::X11WindowTitled;

// The X server learns of a window a little after Qt shows it.
bool Eventually(std::string_view title, bool expected) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 3000) {
        QApplication::processEvents();
        if (X11WindowTitled(title) == expected) return true;
    }
    return false;
}

// Another program's busy window is found by its exact title alone: the two markers share
// no lock file.
TEST(X11WindowSearch, FindsAnotherProgramsBusyWindowByItsExactTitle) {
    // On a real X display (ctest starts it under Xvfb); elsewhere it skips.
    if (QApplication::platformName() != "xcb") GTEST_SKIP() << "no X display";
    testing::ScratchDir dir;
    DesktopBusyMarker marker(dir.Path("ours"));
    DesktopBusyMarker sibling(dir.Path("theirs"));
    EXPECT_FALSE(X11WindowTitled("PendrakeDevil"));
    EXPECT_TRUE(MayStart(marker));

    sibling.Create(40, 40);
    EXPECT_TRUE(Eventually("PendrakeDevil", true));
    EXPECT_FALSE(X11WindowTitled("PendrakeDevi"));
    EXPECT_FALSE(X11WindowTitled("PendrakeDevil "));
    EXPECT_TRUE(marker.BusyWindowExists());
    EXPECT_FALSE(MayStart(marker));
    // The command line, which opens no window, sees it on the display too, and only
    // there: without a display its own lock file is all it knows.
    cli::CliBusyMarker commandLine(dir.Path("cli"));
    EXPECT_TRUE(commandLine.BusyWindowExists());
    const std::string display = std::getenv("DISPLAY");
    unsetenv("DISPLAY");
    EXPECT_FALSE(commandLine.BusyWindowExists());
    setenv("DISPLAY", display.c_str(), 1);
    sibling.Destroy();
    EXPECT_TRUE(Eventually("PendrakeDevil", false));
    EXPECT_FALSE(marker.BusyWindowExists());
    EXPECT_FALSE(commandLine.BusyWindowExists());
}

}  // namespace
}  // namespace merlinox::gui
