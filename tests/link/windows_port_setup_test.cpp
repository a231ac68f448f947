#include "link/windows_port_setup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/link_context.h"
#include "support/scripted_ui.h"

namespace merlinox {
namespace {

using Texts = std::vector<std::string>;

// A Windows machine as the set-up sees it: answers as configured, records the calls
// in order, and holds the context the set-up fills in.
class FakeWindows : public WindowsSystem {
public:
    FakeWindows(std::uint32_t platform, std::uint32_t major, std::uint32_t minor)
        : version{platform, major, minor, "SP2"} {}
    int Run() { return SetupPortAccessWindows(ctx, *this, debug); }

    bool QueryVersion(Version& v) override {
        v = version;
        return true;
    }
    bool OpenAndCloseDevice(const std::string& name, std::uint32_t, std::uint32_t, std::uint32_t,
                            std::uint32_t) override {
        calls += "open " + name + " ";
        return driverRunning;
    }
    bool OpenServiceManager(std::uint32_t) override {
        calls += "scm ";
        return scmOk;
    }
    std::uint32_t CreateDriverService(const ServiceSpec& spec) override {
        calls += "create " + spec.imagePath + " " + std::to_string(spec.startType) + " ";
        return 0;
    }
    std::uint32_t OpenAndStartService(const std::string& name, std::uint32_t) override {
        calls += "start " + name + " ";
        driverRunning = startLoads;
        return 0;
    }
    std::string CurrentDirectory() override { return "C:\\Brenner"; }

    Version version;
    bool driverRunning = false, scmOk = true, startLoads = true, debug = false;
    std::string calls;
    testing::ScriptedUi ui;
    LinkContext ctx{ui};
};

const std::string kOpen = "open \\\\.\\giveio ";

TEST(WindowsPortSetup, OffTheNtFamilyNoDriverIsNeeded) {
    FakeWindows me(kPlatformWin9x, 4, 90);
    EXPECT_EQ(me.Run(), 0);
    EXPECT_EQ(me.ctx.link.osType, 3);
    FakeWindows unknown(3, 1, 0);
    EXPECT_EQ(unknown.Run(), 0);
    EXPECT_EQ(unknown.ctx.link.osType, 0);
    EXPECT_EQ(unknown.ui.Texts(), Texts{"Operating System nicht erkannt !"});
    EXPECT_EQ(me.calls + unknown.calls, "");
}

// The service starts automatically before XP and with the system from XP on; "DebugNT"
// reports each step and ends with the version's name.
TEST(WindowsPortSetup, NtUsesARunningDriverOrInstallsAndStartsIt) {
    FakeWindows running(kPlatformNt, 4, 0);
    running.driverRunning = true;
    EXPECT_EQ(running.Run(), 0);
    EXPECT_EQ(running.calls, kOpen);
    const std::string install = kOpen + "scm create C:\\Brenner\\giveio.sys ";
    FakeWindows nt4(kPlatformNt, 4, 0);
    EXPECT_EQ(nt4.Run(), 0);
    EXPECT_EQ(nt4.calls, install + "2 start giveio " + kOpen);
    FakeWindows xp(kPlatformNt, 5, 1);
    xp.debug = true;
    EXPECT_EQ(xp.Run(), 0);
    EXPECT_FALSE(xp.ctx.link.demoMode);
    EXPECT_EQ(xp.calls, install + "1 start giveio " + kOpen);
    EXPECT_EQ(xp.ui.Texts(),
              (Texts{"'giveio.sys' Driver installed !", "'giveio.sys' Driver started !",
                     "Microsoft® Windows XP(TM) SP2"}));
}

TEST(WindowsPortSetup, WithoutServiceManagerOrLoadedDriverItRunsInDemoMode) {
    FakeWindows user(kPlatformNt, 5, 2);
    user.scmOk = false;
    EXPECT_EQ(user.Run(), 7);
    EXPECT_TRUE(user.ctx.link.demoMode);
    EXPECT_EQ(user.ui.Texts(),
              Texts{"Keine Verbindung zum ServiceControlManager möglich.\n\nDer 'giveio.sys' "
                    "Treiber kann nicht von Usern installiert werden.\n\nDas kann nur der "
                    "Administrator !\n\nDieses Programm bitte einmal als Administrator starten.\n"
                    "Danach ist der Treiber installiert und das Programm\nkann auch von Usern "
                    "benutzt werden.\n"});
    FakeWindows shut(kPlatformNt, 5, 2);
    shut.startLoads = false;
    EXPECT_EQ(shut.Run(), 0);
    EXPECT_TRUE(shut.ctx.link.demoMode);
    EXPECT_EQ(shut.ui.Texts(), Texts{"'giveio.sys' Devicetreiber konnte nicht geladen werden\n"});
}

}  // namespace
}  // namespace merlinox
