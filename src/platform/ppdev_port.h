#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "core/port_access.h"

namespace merlinox::platform {

// The three kernel calls a ppdev port is driven with. Errors as the kernel gives them:
// -1 with errno set. Tests put a fake kernel here.
class PpdevSystem {
public:
    virtual ~PpdevSystem() = default;
    virtual int Open(const char* path, int flags) = 0;
    virtual int Ioctl(int fd, unsigned long request, void* argument) = 0;
    virtual int Close(int fd) = 0;
};

// The running kernel.
PpdevSystem& KernelPpdevSystem();

// Where the kernel shows its parallel ports and how they are driven; tests point these
// at a fake tree and a fake kernel.
struct PpdevRoots {
    std::string proc = "/proc";     // holds sys/dev/parport/parportN/base-addr
    std::string dev = "/dev";       // holds parportN
    PpdevSystem* system = nullptr;  // null: the running kernel
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
    std::string Problem() const override { return fault_; }

private:
    PpdevPort(PpdevSystem& system, int fd, std::string device)
        : system_(&system), fd_(fd), device_(std::move(device)) {}
    bool Write(unsigned long request, const char* name, std::uint8_t value);
    void Failed(const char* what);

    PpdevSystem* system_;
    int fd_;
    std::string device_;
    std::string fault_;
    std::uint8_t control_ = 0;
    // The data register keeps what was last written to it (the port is ours alone), so
    // an unchanged data byte costs no kernel call. -1: not known yet.
    int data_ = -1;
};

// Whether the kernel lists any parallel port (an entry of sys/dev/parport other than
// "default").
bool KernelListsParports(const PpdevRoots& roots);

// The /dev/parportN name whose base-addr (first number, decimal) is base. Empty when
// none matches; error then says what the kernel offers instead.
std::string FindParport(std::uint16_t base, const PpdevRoots& roots, std::string& error);

// The reason given when opening or claiming device failed with errnum.
std::string DescribePpdevFailure(const std::string& device, const char* step, int errnum);

}  // namespace merlinox::platform
