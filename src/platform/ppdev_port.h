#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "link/port_access.h"

namespace merlinox::platform {

// Where the kernel shows its parallel ports; tests point these at a fake tree.
struct PpdevRoots {
    std::string proc = "/proc";  // holds sys/dev/parport/parportN/base-addr
    std::string dev = "/dev";    // holds parportN
};

// The parallel port through Linux ppdev: raw register values with PPWDATA, PPWCONTROL
// and PPRSTATUS on the /dev/parportN whose base address is the configured one. The port
// is claimed exclusively for the object's lifetime; closing leaves the data and control
// registers at 0 (no strobe, so no latch of the board changes) and releases it.
class PpdevPort final : public PortAccess {
public:
    // Finds and claims the port at base. Null on failure, with a one-line reason.
    static std::unique_ptr<PpdevPort> Open(std::uint16_t base, const PpdevRoots& roots,
                                           std::string& error);
    ~PpdevPort() override;
    PpdevPort(const PpdevPort&) = delete;
    PpdevPort& operator=(const PpdevPort&) = delete;

    void WriteData(std::uint8_t value) override;
    void WriteControl(std::uint8_t value) override;
    std::uint8_t ReadStatus() override;

    const std::string& Device() const { return device_; }
    // The first register access that failed, empty while none has.
    const std::string& Fault() const { return fault_; }

private:
    PpdevPort(int fd, std::string device) : fd_(fd), device_(std::move(device)) {}
    void Failed(const char* what);

    int fd_;
    std::string device_;
    std::string fault_;
    std::uint8_t control_ = 0;
};

// The /dev/parportN name whose base-addr (first number, decimal) is base. Empty when
// none matches; error then says what the kernel offers instead.
std::string FindParport(std::uint16_t base, const PpdevRoots& roots, std::string& error);

// The reason given when opening or claiming device failed with errnum.
std::string DescribePpdevFailure(const std::string& device, const char* step, int errnum);

}  // namespace merlinox::platform
