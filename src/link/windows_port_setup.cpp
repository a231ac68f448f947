// Port access on the NT family of Windows: the port instructions are allowed only
// through the giveio.sys kernel driver, which is installed as a service on the first
// start by an administrator and found already running on later starts.
#include "link/windows_port_setup.h"

#include "core/link_context.h"
#include "core/message_port.h"
#include "core/result_code.h"

namespace merlinox::inline link {

namespace {

constexpr const char* kDeviceName = "\\\\.\\giveio";
constexpr const char* kDriverFile = "giveio.sys";
constexpr std::uint32_t kGenericRead = 0x80000000u;
constexpr std::uint32_t kOpenExisting = 3;
constexpr std::uint32_t kFileAttributeNormal = 0x80;
constexpr std::uint32_t kScManagerAllAccess = 0xF003F;
constexpr std::uint32_t kServiceAllAccess = 0xF01FF;
constexpr std::uint32_t kServiceKernelDriver = 1;
constexpr std::uint32_t kServiceSystemStart = 1;
constexpr std::uint32_t kServiceAutoStart = 2;
constexpr std::uint32_t kServiceErrorNormal = 1;

bool DriverReachable(WindowsSystem& system) {
    return system.OpenAndCloseDevice(kDeviceName, kGenericRead, 0, kOpenExisting,
                                     kFileAttributeNormal);
}

}  // namespace

int OsTypeOf(const WindowsSystem::Version& v, std::string& name) {
    struct Known {
        std::uint32_t platformId, major, minor;
        int type;
        const char* product;
        const char* servicePack;  // a service text replaced by a plainer one
        const char* replacement;
    };
    static constexpr Known kKnown[] = {
        {kPlatformWin9x, 4, 0, 1, "95", " C ", "OSR2"},
        {kPlatformWin9x, 4, 10, 2, "98", " A ", "Second Edition"},
        {kPlatformWin9x, 4, 90, 3, "ME", nullptr, nullptr},
        {kPlatformNt, 3, 51, 4, "NT3.51", nullptr, nullptr},
        {kPlatformNt, 4, 0, 5, "NT4.00", nullptr, nullptr},
        {kPlatformNt, 5, 0, 6, "2000", nullptr, nullptr},
        {kPlatformNt, 5, 1, 7, "XP", nullptr, nullptr},
        {kPlatformNt, 5, 2, 8, "Server 2003", nullptr, nullptr},
    };
    name.clear();
    for (const Known& k : kKnown) {
        if (k.platformId != v.platformId || k.major != v.major || k.minor != v.minor) continue;
        const bool replace = k.servicePack != nullptr && v.servicePack == k.servicePack;
        name = std::string("Microsoft® Windows ") + k.product + "(TM) " +
               (replace ? k.replacement : v.servicePack);
        return k.type;
    }
    return 0;
}

void BuildDriverPath(WindowsSystem& system, std::string& path, std::string& name) {
    path = system.CurrentDirectory() + "\\" + kDriverFile;
    const std::string file = kDriverFile;
    name = file.substr(0, file.find('.'));
}

std::uint32_t InstallDriver(LinkContext& ctx, WindowsSystem& system, const std::string& path,
                            const std::string& name) {
    WindowsSystem::ServiceSpec spec;
    spec.name = name;
    spec.displayName = name;
    spec.access = kServiceAllAccess;
    spec.serviceType = kServiceKernelDriver;
    spec.startType = ctx.link.osType < 7 ? kServiceAutoStart : kServiceSystemStart;
    spec.errorControl = kServiceErrorNormal;
    spec.imagePath = path;
    return system.CreateDriverService(spec);
}

std::uint32_t StartDriver(WindowsSystem& system, const std::string& name) {
    return system.OpenAndStartService(name, kServiceAllAccess);
}

int SetupPortAccessWindows(LinkContext& ctx, WindowsSystem& system, bool debug) {
    ctx.link.osType = 0;
    WindowsSystem::Version version;
    if (!system.QueryVersion(version)) return kOk;

    std::string name;
    if (version.platformId != kPlatformWin9x && version.platformId != kPlatformNt) {
        ShowPlain(ctx, "Operating System nicht erkannt !");
    } else {
        ctx.link.osType = OsTypeOf(version, name);
    }

    if (version.platformId == kPlatformNt && !DriverReachable(system)) {
        if (!system.OpenServiceManager(kScManagerAllAccess)) {
            ShowPlain(ctx,
                      "Keine Verbindung zum ServiceControlManager möglich.\n\n"
                      "Der 'giveio.sys' Treiber kann nicht von Usern installiert werden.\n\n"
                      "Das kann nur der Administrator !\n\n"
                      "Dieses Programm bitte einmal als Administrator starten.\n"
                      "Danach ist der Treiber installiert und das Programm\n"
                      "kann auch von Usern benutzt werden.\n");
            ctx.link.demoMode = true;
            return kProgrammingFailed;
        }
        std::string path;
        std::string service;
        BuildDriverPath(system, path, service);
        // Whether the installation worked does not decide anything: only the final
        // open does.
        const std::uint32_t installed = InstallDriver(ctx, system, path, service);
        if (debug && installed == 0) ShowPlain(ctx, "'giveio.sys' Driver installed !");
        if (debug && installed == kErrorServiceNotActive) {
            ShowPlain(ctx, "Driver installed but not started !\nWe will try to do this now.");
        }
        const std::uint32_t started = StartDriver(system, service);
        if (debug && started == kErrorServiceAlreadyRunning)
            ShowPlain(ctx, "'giveio.sys' Driver already started !");
        if (debug && started == kErrorServiceNotActive)
            ShowPlain(ctx, "'giveio.sys' Driver has not been started !");
        if (debug && started == 0) ShowPlain(ctx, "'giveio.sys' Driver started !");
        if (!DriverReachable(system)) {
            ShowPlain(ctx, "'giveio.sys' Devicetreiber konnte nicht geladen werden\n");
            ctx.link.demoMode = true;
        }
    }
    if (debug) ShowPlain(ctx, name);
    return kOk;
}

}  // namespace merlinox::inline link
