#pragma once
#ifdef _WIN32

#include "link/windows_port_setup.h"

namespace merlinox::platform {

// WindowsSystem on the real Win32 API. Holds the service control manager handle for the
// rest of the run, as the driver set-up leaves it open.
class Win32System final : public WindowsSystem {
public:
    Win32System() = default;
    ~Win32System() override;
    Win32System(const Win32System&) = delete;
    Win32System& operator=(const Win32System&) = delete;

    bool QueryVersion(Version& version) override;
    bool OpenAndCloseDevice(const std::string& name, std::uint32_t access, std::uint32_t share,
                            std::uint32_t disposition, std::uint32_t attributes) override;
    bool OpenServiceManager(std::uint32_t access) override;
    std::uint32_t CreateDriverService(const ServiceSpec& spec) override;
    std::uint32_t OpenAndStartService(const std::string& name, std::uint32_t access) override;
    std::string CurrentDirectory() override;

private:
    void* manager_ = nullptr;  // SC_HANDLE
};

}  // namespace merlinox::platform

#endif
