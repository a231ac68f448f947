#pragma once
#include <cstdint>
#include <string>

namespace merlinox::inline core {
struct LinkContext;
}  // namespace merlinox::inline core

namespace merlinox::inline link {

// What the port set-up needs from Windows, narrowed to the calls it makes. The real
// implementation wraps the Win32 functions named in the comments; tests use a fake.
class WindowsSystem {
public:
    struct Version {
        std::uint32_t platformId = 0;  // 1 the 95 family, 2 the NT family
        std::uint32_t major = 0;
        std::uint32_t minor = 0;
        std::string servicePack;  // szCSDVersion
    };
    struct ServiceSpec {
        std::string name;
        std::string displayName;
        std::uint32_t access = 0;
        std::uint32_t serviceType = 0;
        std::uint32_t startType = 0;
        std::uint32_t errorControl = 0;
        std::string imagePath;
    };

    virtual ~WindowsSystem() = default;
    virtual bool QueryVersion(Version& version) = 0;  // GetVersionExA, structure size 148
    // CreateFileA with the given parameters; an opened handle is closed again at once.
    virtual bool OpenAndCloseDevice(const std::string& name, std::uint32_t access,
                                    std::uint32_t share, std::uint32_t disposition,
                                    std::uint32_t attributes) = 0;
    // OpenSCManagerA on the local machine's default database; stays open for the run.
    virtual bool OpenServiceManager(std::uint32_t access) = 0;
    // CreateServiceA; closes the new service handle. 0 or GetLastError().
    virtual std::uint32_t CreateDriverService(const ServiceSpec& spec) = 0;
    // OpenServiceA, StartServiceA without arguments, CloseServiceHandle. 0 or
    // GetLastError() of the call that failed.
    virtual std::uint32_t OpenAndStartService(const std::string& name, std::uint32_t access) = 0;
    virtual std::string CurrentDirectory() = 0;  // _getcwd
};

inline constexpr std::uint32_t kPlatformWin9x = 1;
inline constexpr std::uint32_t kPlatformNt = 2;
inline constexpr std::uint32_t kErrorServiceAlreadyRunning = 1056;
inline constexpr std::uint32_t kErrorServiceNotActive = 1062;

// Determines the operating-system type (LinkContext::link.osType) and its name text, and on
// the NT family makes the port driver "giveio.sys" reachable, installing and starting
// its service when needed. Sets demoMode when port access cannot be had. With debug
// ("DebugNT") every step of the driver set-up and the system's name are shown. Returns
// 0, or 7 when the service control manager could not be opened.
int SetupPortAccessWindows(LinkContext& ctx, WindowsSystem& system, bool debug);

// The operating-system type and name text for a version.
int OsTypeOf(const WindowsSystem::Version& version, std::string& name);

// The driver's file path (current directory + "\\giveio.sys") and its service name.
void BuildDriverPath(WindowsSystem& system, std::string& path, std::string& name);
std::uint32_t InstallDriver(LinkContext& ctx, WindowsSystem& system, const std::string& path,
                            const std::string& name);
std::uint32_t StartDriver(WindowsSystem& system, const std::string& name);

}  // namespace merlinox::inline link
