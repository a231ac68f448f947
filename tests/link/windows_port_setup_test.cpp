#include "link/windows_port_setup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/context.h"
#include "support/scripted_ui.h"

namespace merlinox {
namespace {

using testing::ScriptedUi;
using Texts = std::vector<std::string>;

// Answers as configured and records every call with the constants it was given.
class FakeWindows : public WindowsSystem {
public:
    bool QueryVersion(Version& v) override {
        v = version;
        return versionOk;
    }
    bool OpenAndCloseDevice(const std::string& name, std::uint32_t access, std::uint32_t share,
                            std::uint32_t disposition, std::uint32_t attributes) override {
        Call("open " + name, {access, share, disposition, attributes});
        return driverRunning;
    }
    bool OpenServiceManager(std::uint32_t access) override {
        Call("scm", {access});
        return scmOk;
    }
    std::uint32_t CreateDriverService(const ServiceSpec& spec) override {
        Call("create " + spec.name + " " + spec.displayName + " " + spec.imagePath,
             {spec.access, spec.serviceType, spec.startType, spec.errorControl});
        startType = spec.startType;
        return createResult;
    }
    std::uint32_t OpenAndStartService(const std::string& name, std::uint32_t access) override {
        Call("start " + name, {access});
        if (startResult == 0 || startResult == kErrorServiceAlreadyRunning)
            driverRunning = startLoads;
        return startResult;
    }
    std::string CurrentDirectory() override { return "C:\\Brenner"; }

    Version version{kPlatformNt, 5, 1, "Service Pack 2"};
    bool versionOk = true, driverRunning = false, scmOk = true, startLoads = true;
    std::uint32_t createResult = 0, startResult = 0, startType = 0;
    std::vector<std::string> calls;

private:
    void Call(std::string text, std::initializer_list<std::uint32_t> values) {
        for (const std::uint32_t v : values) text += " " + std::to_string(v);
        calls.push_back(text);
    }
};

struct DriverSetup {
    explicit DriverSetup(int debugNT = 1) { ctx.settings.debugNT = debugNT; }
    int Run() { return SetupPortAccessWindows(ctx, win); }
    ScriptedUi ui;
    Context ctx{ui};
    FakeWindows win;
};

const std::string kXp = "Microsoft® Windows XP(TM) Service Pack 2";

TEST(WindowsPortSetup, XpInstallsAndStartsTheDriverAsASystemStartKernelService) {
    DriverSetup s;
    EXPECT_EQ(s.Run(), 0);
    EXPECT_EQ(s.ctx.link.osType, 7);
    EXPECT_FALSE(s.ctx.link.demoMode);
    // GENERIC_READ, no sharing, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL; SC_MANAGER_ALL_ACCESS;
    // SERVICE_ALL_ACCESS, a kernel driver, SERVICE_SYSTEM_START, SERVICE_ERROR_NORMAL.
    const std::string open = "open \\\\.\\giveio 2147483648 0 3 128";
    EXPECT_EQ(s.win.calls, (Texts{open, "scm 983103",
                                  "create giveio giveio C:\\Brenner\\giveio.sys 983551 1 1 1",
                                  "start giveio 983551", open}));
    EXPECT_EQ(s.ui.Texts(),
              (Texts{"'giveio.sys' Driver installed !", "'giveio.sys' Driver started !", kXp}));
    for (const auto& box : s.ui.shown) EXPECT_EQ(box.kind, BoxKind::Plain);
    EXPECT_EQ(s.ui.beeps, 0);
}

// The type picks the driver's start type; the name text ends the DebugNT messages. An
// unknown NT version has type 0 and no name but still sets up the driver.
TEST(WindowsPortSetup, NtVersionsNameThemselvesAndPickTheStartType) {
    struct Case {
        std::uint32_t major, minor;
        int type;
        std::uint32_t startType;
        const char* name;
    };
    for (const Case& c :
         {Case{3, 51, 4, 2, "Microsoft® Windows NT3.51(TM) SP6"},
          Case{4, 0, 5, 2, "Microsoft® Windows NT4.00(TM) SP6"},
          Case{5, 0, 6, 2, "Microsoft® Windows 2000(TM) SP6"},
          Case{5, 2, 8, 1, "Microsoft® Windows Server 2003(TM) SP6"}, Case{6, 0, 0, 2, ""}}) {
        DriverSetup s;
        s.win.version = {kPlatformNt, c.major, c.minor, "SP6"};
        EXPECT_EQ(s.Run(), 0);
        EXPECT_EQ(s.ctx.link.osType, c.type);
        EXPECT_EQ(s.win.startType, c.startType) << c.major << "." << c.minor;
        EXPECT_EQ(s.ui.Texts().back(), c.name);
    }
}

// Off the NT family no driver is set up; with "DebugNT" the name text is shown.
TEST(WindowsPortSetup, NamesTheVersionAndNeedsNoDriverOffTheNtFamily) {
    struct Case {
        bool queried;
        WindowsSystem::Version version;
        int type;
        Texts texts;
    };
    const Case cases[] = {
        {true, {kPlatformWin9x, 4, 0, " C "}, 1, {"Microsoft® Windows 95(TM) OSR2"}},
        {true, {kPlatformWin9x, 4, 0, " B "}, 1, {"Microsoft® Windows 95(TM)  B "}},
        {true, {kPlatformWin9x, 4, 10, " A "}, 2, {"Microsoft® Windows 98(TM) Second Edition"}},
        {true, {kPlatformWin9x, 4, 90, ""}, 3, {"Microsoft® Windows ME(TM) "}},
        {true, {kPlatformWin9x, 5, 0, ""}, 0, {""}},
        {true, {3, 1, 0, ""}, 0, {"Operating System nicht erkannt !", ""}},
        {false, {}, 0, {}},  // the version query failed: nothing at all
    };
    for (const Case& c : cases) {
        DriverSetup s;
        s.win.version = c.version;
        s.win.versionOk = c.queried;
        EXPECT_EQ(s.Run(), 0);
        EXPECT_EQ(s.ctx.link.osType, c.type);
        EXPECT_FALSE(s.ctx.link.demoMode);
        EXPECT_TRUE(s.win.calls.empty());
        EXPECT_EQ(s.ui.Texts(), c.texts);
    }
}

// The driver messages follow "DebugNT" and the service results; only the final open
// decides between port access and demo mode.
TEST(WindowsPortSetup, DriverFlowShowsItsMessagesAndEndsInDemoModeWhenTheDeviceStaysShut) {
    const std::string noScm =
        "Keine Verbindung zum ServiceControlManager möglich.\n\nDer 'giveio.sys' Treiber kann "
        "nicht von Usern installiert werden.\n\nDas kann nur der Administrator !\n\nDieses "
        "Programm bitte einmal als Administrator starten.\nDanach ist der Treiber installiert "
        "und das Programm\nkann auch von Usern benutzt werden.\n";
    const std::string shut = "'giveio.sys' Devicetreiber konnte nicht geladen werden\n";
    const std::string installed = "'giveio.sys' Driver installed !";
    const std::string notStarted =
        "Driver installed but not started !\nWe will try to do this now.";
    const std::string already = "'giveio.sys' Driver already started !";
    const std::string refused = "'giveio.sys' Driver has not been started !";
    struct Case {
        int debugNT;
        bool running, scmOk;
        std::uint32_t create, start;
        bool loads;
        int result;
        bool demo;
        Texts texts;
    };
    const Case cases[] = {
        {0, true, true, 0, 0, true, 0, false, {}},  // a second start finds it at once
        {1, true, true, 0, 0, true, 0, false, {kXp}},
        {0, false, false, 0, 0, true, 7, true, {noScm}},
        {1, false, true, 1073, 1056, true, 0, false, {already, kXp}},
        {1, false, true, 1062, 1056, false, 0, true, {notStarted, already, shut, kXp}},
        {1, false, true, 0, 1062, true, 0, true, {installed, refused, shut, kXp}},
        {0, false, true, 5, 0, false, 0, true, {shut}},
    };
    for (const Case& c : cases) {
        DriverSetup s(c.debugNT);
        s.win.driverRunning = c.running;
        s.win.scmOk = c.scmOk;
        s.win.createResult = c.create;
        s.win.startResult = c.start;
        s.win.startLoads = c.loads;
        EXPECT_EQ(s.Run(), c.result) << c.create << " " << c.start;
        EXPECT_EQ(s.ctx.link.demoMode, c.demo) << c.create << " " << c.start;
        EXPECT_EQ(s.ui.Texts(), c.texts) << c.create << " " << c.start;
    }
}

}  // namespace
}  // namespace merlinox
