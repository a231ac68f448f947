#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/context.h"
#include "link/windows_port_setup.h"
#include "support/scripted_ui.h"

namespace merlinox {
namespace {

using testing::ScriptedUi;
using Texts = std::vector<std::string>;

class FakeWindows : public WindowsSystem {
public:
    bool QueryVersion(Version& v) override {
        v = version;
        return versionOk;
    }
    bool OpenAndCloseDevice(const std::string& name, std::uint32_t access, std::uint32_t share,
                            std::uint32_t disposition, std::uint32_t attributes) override {
        calls.push_back("open " + name);
        EXPECT_EQ(access, 0x80000000u);
        EXPECT_EQ(share, 0u);
        EXPECT_EQ(disposition, 3u);
        EXPECT_EQ(attributes, 0x80u);
        return driverRunning;
    }
    bool OpenServiceManager(std::uint32_t access) override {
        calls.push_back("scm");
        EXPECT_EQ(access, 0xF003Fu);
        return scmOk;
    }
    std::uint32_t CreateDriverService(const ServiceSpec& spec) override {
        calls.push_back("create");
        created = spec;
        return createResult;
    }
    std::uint32_t OpenAndStartService(const std::string& name, std::uint32_t access) override {
        calls.push_back("start " + name);
        EXPECT_EQ(access, 0xF01FFu);
        if (startResult == 0 || startResult == kErrorServiceAlreadyRunning) driverRunning = startLoads;
        return startResult;
    }
    std::string CurrentDirectory() override { return "C:\\Brenner"; }

    Version version{kPlatformNt, 5, 1, "Service Pack 2"};
    bool versionOk = true;
    bool driverRunning = false;
    bool scmOk = true;
    bool startLoads = true;
    std::uint32_t createResult = 0;
    std::uint32_t startResult = 0;
    ServiceSpec created;
    std::vector<std::string> calls;
};

struct DriverSetup {
    DriverSetup() { ctx.settings.debugNT = 1; }
    int Run() { return SetupPortAccessWindows(ctx, win); }
    ScriptedUi ui;
    Context ctx{ui};
    FakeWindows win;
};

TEST(WindowsPortSetup, XpInstallsAndStartsTheDriverAsASystemStartKernelService) {
    DriverSetup s;
    EXPECT_EQ(s.Run(), 0);
    EXPECT_EQ(s.ctx.link.osType, 7);
    EXPECT_FALSE(s.ctx.link.demoMode);
    EXPECT_EQ(s.win.calls, (Texts{"open \\\\.\\giveio", "scm", "create", "start giveio", "open \\\\.\\giveio"}));
    EXPECT_EQ(s.win.created.name, "giveio");
    EXPECT_EQ(s.win.created.displayName, "giveio");
    EXPECT_EQ(s.win.created.imagePath, "C:\\Brenner\\giveio.sys");
    EXPECT_EQ(s.win.created.access, 0xF01FFu);
    EXPECT_EQ(s.win.created.serviceType, 1u);
    EXPECT_EQ(s.win.created.startType, 1u);
    EXPECT_EQ(s.win.created.errorControl, 1u);
    EXPECT_EQ(s.ui.Texts(), (Texts{"'giveio.sys' Driver installed !", "'giveio.sys' Driver started !",
                                   "Microsoft® Windows XP(TM) Service Pack 2"}));
    EXPECT_EQ(s.ui.shown[0].kind, BoxKind::Plain);
    EXPECT_FALSE(s.ui.shown[0].beeped);
}

TEST(WindowsPortSetup, StartTypeIsAutoBelowXpAndForUnknownNtVersions) {
    struct Case {
        std::uint32_t major, minor;
        int type;
    };
    for (const Case c : {Case{4, 0, 5}, Case{3, 51, 4}, Case{5, 0, 6}, Case{6, 0, 0}, Case{5, 2, 8}}) {
        DriverSetup s;
        s.ctx.settings.debugNT = 0;
        s.win.version = {kPlatformNt, c.major, c.minor, ""};
        s.Run();
        EXPECT_EQ(s.ctx.link.osType, c.type);
        EXPECT_EQ(s.win.created.startType, c.type >= 7 ? 1u : 2u) << c.major << "." << c.minor;
        EXPECT_TRUE(s.ui.shown.empty());
    }
}

TEST(WindowsPortSetup, NinetyFiveFamilyNeedsNoDriverAndNamesItsServiceTexts) {
    struct Case {
        std::uint32_t minor;
        const char* sp;
        int type;
        const char* name;
    };
    for (const Case c : {Case{0, " C ", 1, "Microsoft® Windows 95(TM) OSR2"},
                         Case{0, " B ", 1, "Microsoft® Windows 95(TM)  B "},
                         Case{10, " A ", 2, "Microsoft® Windows 98(TM) Second Edition"},
                         Case{90, "", 3, "Microsoft® Windows ME(TM) "}, Case{20, "", 0, ""}}) {
        DriverSetup s;
        s.win.version = {kPlatformWin9x, 4, c.minor, c.sp};
        EXPECT_EQ(s.Run(), 0);
        EXPECT_EQ(s.ctx.link.osType, c.type);
        EXPECT_TRUE(s.win.calls.empty());
        EXPECT_EQ(s.ui.Texts(), Texts{c.name});
    }
}

TEST(WindowsPortSetup, RunningDriverIsFoundAtOnceWithoutMessages) {
    DriverSetup s;
    s.ctx.settings.debugNT = 0;
    s.win.driverRunning = true;
    EXPECT_EQ(s.Run(), 0);
    EXPECT_EQ(s.win.calls, Texts{"open \\\\.\\giveio"});
    EXPECT_TRUE(s.ui.shown.empty());
}

TEST(WindowsPortSetup, NoServiceManagerMeansDemoModeAndSeven) {
    DriverSetup s;
    s.win.scmOk = false;
    EXPECT_EQ(s.Run(), 7);
    EXPECT_TRUE(s.ctx.link.demoMode);
    ASSERT_EQ(s.ui.shown.size(), 1u);  // no name text after it
    EXPECT_EQ(s.ui.shown[0].text.rfind("Keine Verbindung zum ServiceControlManager möglich.\n\nDer 'giveio.sys'", 0), 0u);
}

TEST(WindowsPortSetup, DriverThatDoesNotLoadMeansDemoModeWhateverTheServiceSaid) {
    DriverSetup s;
    s.win.createResult = kErrorServiceNotActive;
    s.win.startResult = kErrorServiceAlreadyRunning;
    s.win.startLoads = false;
    EXPECT_EQ(s.Run(), 0);
    EXPECT_TRUE(s.ctx.link.demoMode);
    EXPECT_EQ(s.ui.Texts(), (Texts{"Driver installed but not started !\nWe will try to do this now.",
                                   "'giveio.sys' Driver already started !",
                                   "'giveio.sys' Devicetreiber konnte nicht geladen werden\n",
                                   "Microsoft® Windows XP(TM) Service Pack 2"}));
}

TEST(WindowsPortSetup, UnknownPlatformIsReportedAndStartsNormally) {
    DriverSetup s;
    s.win.version = {3, 1, 0, ""};
    EXPECT_EQ(s.Run(), 0);
    EXPECT_EQ(s.ctx.link.osType, 0);
    EXPECT_FALSE(s.ctx.link.demoMode);
    EXPECT_EQ(s.ui.Texts(), (Texts{"Operating System nicht erkannt !", ""}));
    DriverSetup quiet;
    quiet.win.versionOk = false;
    EXPECT_EQ(quiet.Run(), 0);
    EXPECT_TRUE(quiet.ui.shown.empty());
    EXPECT_TRUE(quiet.win.calls.empty());
}

}  // namespace
}  // namespace merlinox
