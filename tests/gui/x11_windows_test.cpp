#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QWidget>

#include "app/main_presenter.h"
#include "gui/desktop_busy_marker.h"
#include "gui/x11_windows.h"
#include "support/scratch_dir.h"

namespace merlinox::gui {
namespace {

using testing::ScratchDir;

// These run on a real X display (ctest starts them under Xvfb); elsewhere they skip.
bool OnX11() { return QGuiApplication::platformName() == "xcb"; }

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

TEST(X11WindowSearch, FindsTopLevelWindowsByTheirExactTitle) {
    if (!OnX11()) GTEST_SKIP() << "no X display";
    EXPECT_FALSE(X11WindowTitled("PendrakeDevil"));
    auto other = std::make_unique<QWidget>();
    other->setWindowTitle("PendrakeDevil");
    other->show();
    EXPECT_TRUE(Eventually("PendrakeDevil", true));
    EXPECT_FALSE(X11WindowTitled("PendrakeDevi"));
    EXPECT_FALSE(X11WindowTitled("PendrakeDevil "));
    other.reset();
    EXPECT_TRUE(Eventually("PendrakeDevil", false));
}

TEST(X11WindowSearch, AnotherProgramsBusyWindowAndBareNameRefuseTheStart) {
    if (!OnX11()) GTEST_SKIP() << "no X display";
    ScratchDir ours;
    ScratchDir theirs;
    DesktopBusyMarker marker(ours.Path("lock"));
    DesktopBusyMarker sibling(theirs.Path("lock"));  // no shared lock file: only X11 tells
    EXPECT_TRUE(MayStart(marker));

    QWidget titled;
    titled.setWindowTitle("Merlinox V1.00");
    titled.show();
    EXPECT_TRUE(Eventually("Merlinox V1.00", true));
    EXPECT_TRUE(MayStart(marker));
    titled.setWindowTitle("Merlinox");
    EXPECT_TRUE(Eventually("Merlinox", true));
    EXPECT_FALSE(MayStart(marker));
    titled.hide();
    EXPECT_TRUE(Eventually("Merlinox", false));

    sibling.Create(40, 40);
    EXPECT_TRUE(Eventually("PendrakeDevil", true));
    EXPECT_TRUE(marker.BusyWindowExists());
    EXPECT_FALSE(MayStart(marker));
    sibling.Destroy();
    EXPECT_TRUE(Eventually("PendrakeDevil", false));
    EXPECT_FALSE(marker.BusyWindowExists());
}

}  // namespace
}  // namespace merlinox::gui
