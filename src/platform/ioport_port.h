#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "core/port_access.h"

namespace merlinox::platform {

// The parallel port through raw x86 I/O instructions, where the kernel lets this
// process have them (ioperm, which needs CAP_SYS_RAWIO). Never required: ppdev is the
// ordinary way. Closing leaves data and control at 0 and gives the permission back.
class IoPort final : public PortAccess {
public:
    // Null with a one-line reason when the ports cannot be had (or on other machines).
    static std::unique_ptr<IoPort> Open(std::uint16_t base, std::string& error);
    ~IoPort() override;
    IoPort(const IoPort&) = delete;
    IoPort& operator=(const IoPort&) = delete;

    void WriteData(std::uint8_t value) override;
    void WriteControl(std::uint8_t value) override;
    std::uint8_t ReadStatus() override;

private:
    explicit IoPort(std::uint16_t base) : base_(base) {}
    std::uint16_t base_;
};

}  // namespace merlinox::platform
