// The Windows calls behind the port driver set-up; built only for Windows.
#ifdef _WIN32

#include "platform/win32_system.h"

#include <direct.h>
#include <windows.h>

namespace merlinox::platform {

Win32System::~Win32System() {
    if (manager_ != nullptr) CloseServiceHandle(static_cast<SC_HANDLE>(manager_));
}

bool Win32System::QueryVersion(Version& version) {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;  // 148
    if (!GetVersionExA(&info)) return false;
    version.platformId = info.dwPlatformId;
    version.major = info.dwMajorVersion;
    version.minor = info.dwMinorVersion;
    version.servicePack = info.szCSDVersion;
    return true;
}

bool Win32System::OpenAndCloseDevice(const std::string& name, std::uint32_t access,
                                     std::uint32_t share, std::uint32_t disposition,
                                     std::uint32_t attributes) {
    HANDLE h = CreateFileA(name.c_str(), access, share, nullptr, disposition, attributes, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
}

bool Win32System::OpenServiceManager(std::uint32_t access) {
    if (manager_ == nullptr) manager_ = OpenSCManagerA(nullptr, nullptr, access);
    return manager_ != nullptr;
}

std::uint32_t Win32System::CreateDriverService(const ServiceSpec& spec) {
    SC_HANDLE service = CreateServiceA(static_cast<SC_HANDLE>(manager_), spec.name.c_str(),
                                       spec.displayName.c_str(), spec.access, spec.serviceType,
                                       spec.startType, spec.errorControl, spec.imagePath.c_str(),
                                       nullptr, nullptr, nullptr, nullptr, nullptr);
    if (service == nullptr) return GetLastError();
    CloseServiceHandle(service);
    return 0;
}

std::uint32_t Win32System::OpenAndStartService(const std::string& name, std::uint32_t access) {
    SC_HANDLE service = OpenServiceA(static_cast<SC_HANDLE>(manager_), name.c_str(), access);
    if (service == nullptr) return GetLastError();
    std::uint32_t result = 0;
    if (!StartServiceA(service, 0, nullptr)) result = GetLastError();
    CloseServiceHandle(service);
    return result;
}

std::string Win32System::CurrentDirectory() {
    char path[MAX_PATH + 1] = {};
    if (_getcwd(path, sizeof path) == nullptr) return {};
    return path;
}

}  // namespace merlinox::platform

#endif
