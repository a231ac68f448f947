#include "platform/ppdev_port.h"

#include <fcntl.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "link/latch_bits.h"

namespace merlinox::platform {

namespace {

std::string Hex(std::uint16_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

class RunningKernel final : public PpdevSystem {
public:
    int Open(const char* path, int flags) override { return ::open(path, flags); }
    int Ioctl(int fd, unsigned long request, void* argument) override {
        return argument == nullptr ? ::ioctl(fd, request) : ::ioctl(fd, request, argument);
    }
    int Close(int fd) override { return ::close(fd); }
};

}  // namespace

PpdevSystem& KernelPpdevSystem() {
    static RunningKernel kernel;
    return kernel;
}

bool KernelListsParports(const PpdevRoots& roots) {
    namespace fs = std::filesystem;
    std::error_code ec;
    for (fs::directory_iterator it(fs::path(roots.proc) / "sys/dev/parport", ec), end;
         !ec && it != end; it.increment(ec)) {
        if (it->path().filename() != "default") return true;
    }
    return false;
}

std::string FindParport(std::uint16_t base, const PpdevRoots& roots, std::string& error) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::path(roots.proc) / "sys/dev/parport";
    std::error_code ec;
    std::vector<std::string> seen;
    fs::directory_iterator it(dir, ec);
    if (ec) {
        error = "no parallel port known to the kernel (" + dir.string() + ": " + ec.message() +
                "); load the modules parport_pc and ppdev";
        return {};
    }
    for (const auto& entry : it) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("parport", 0) != 0 || name.size() == 7) continue;
        std::ifstream in(entry.path() / "base-addr");
        unsigned long address = 0;
        if (!(in >> address)) continue;
        if (address == base) return (fs::path(roots.dev) / name).string();
        seen.push_back(name + " at " + Hex(static_cast<std::uint16_t>(address)));
    }
    error = "no parallel port at " + Hex(base);
    if (seen.empty()) {
        error += " (the kernel lists none; load the modules parport_pc and ppdev)";
    } else {
        error += " (the kernel has";
        for (const auto& s : seen) error += " " + s;
        error += "; set PortAdress to one of them)";
    }
    return {};
}

std::string DescribePpdevFailure(const std::string& device, const char* step, int errnum) {
    std::string text = device + ": " + step + " failed: " + std::strerror(errnum);
    switch (errnum) {
    case EACCES:
    case EPERM:
        text += " (add the user to group lp and log in again)";
        break;
    case EBUSY:
        text += " (another driver holds the port, usually the printer driver: rmmod lp)";
        break;
    case ENOENT:
    case ENXIO:
    case ENODEV:
        text += " (load the module ppdev)";
        break;
    case ENOTTY:
    case EINVAL:
        text += " (not a ppdev parallel port)";
        break;
    default:
        break;
    }
    return text;
}

std::unique_ptr<PpdevPort> PpdevPort::Open(std::uint16_t base, const PpdevRoots& roots,
                                           std::string& error) {
    const std::string device = FindParport(base, roots, error);
    if (device.empty()) return nullptr;
    PpdevSystem& system = roots.system != nullptr ? *roots.system : KernelPpdevSystem();
    const int fd = system.Open(device.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        error = DescribePpdevFailure(device, "open", errno);
        return nullptr;
    }
    // Exclusive first: nobody else may share the port while a chip is being programmed.
    if (system.Ioctl(fd, PPEXCL, nullptr) != 0) {
        error = DescribePpdevFailure(device, "PPEXCL", errno);
        system.Close(fd);
        return nullptr;
    }
    if (system.Ioctl(fd, PPCLAIM, nullptr) != 0) {
        error = DescribePpdevFailure(device, "PPCLAIM", errno);
        system.Close(fd);
        return nullptr;
    }
    // The claim rewrote the control register; command 0 without strobe stores nothing.
    unsigned char control = 0;
    if (system.Ioctl(fd, PPWCONTROL, &control) != 0) {
        error = DescribePpdevFailure(device, "PPWCONTROL", errno);
        // Already failing: the release and close can only fail the same way.
        (void)system.Ioctl(fd, PPRELEASE, nullptr);
        system.Close(fd);
        return nullptr;
    }
    return std::unique_ptr<PpdevPort>(new PpdevPort(system, fd, device));
}

PpdevPort::~PpdevPort() {
    // Data 0 and no strobe: the board's latches keep what the last operation left,
    // which BoardOff has made safe; nothing half-sent can be latched later.
    data_ = -1;
    WriteData(0);
    WriteControl(0);
    if (system_->Ioctl(fd_, PPRELEASE, nullptr) != 0) Failed("PPRELEASE");
    if (system_->Close(fd_) != 0) Failed("close");
}

void PpdevPort::Failed(const char* what) {
    if (fault_.empty()) fault_ = DescribePpdevFailure(device_, what, errno);
}

bool PpdevPort::Write(unsigned long request, const char* name, std::uint8_t value) {
    unsigned char v = value;
    if (system_->Ioctl(fd_, request, &v) == 0) return true;
    Failed(name);
    return false;
}

void PpdevPort::WriteData(std::uint8_t value) {
    if (data_ == value) return;
    data_ = Write(PPWDATA, "PPWDATA", value) ? value : -1;
}

void PpdevPort::WriteControl(std::uint8_t value) {
    control_ = value;
    Write(PPWCONTROL, "PPWCONTROL", value);
}

std::uint8_t PpdevPort::ReadStatus() {
    unsigned char v = 0;
    if (system_->Ioctl(fd_, PPRSTATUS, &v) != 0) {
        Failed("PPRSTATUS");
        // A status that lets no handshake phase succeed: the transfer times out and
        // its message is shown instead of data being taken from a port that is gone.
        return (control_ & bits::kControlStrobe) != 0 ? bits::kStatusReady : 0;
    }
    return v;
}

}  // namespace merlinox::platform
