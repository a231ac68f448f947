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

}  // namespace

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
    const int fd = ::open(device.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        error = DescribePpdevFailure(device, "open", errno);
        return nullptr;
    }
    // Exclusive first: nobody else may share the port while a chip is being programmed.
    if (::ioctl(fd, PPEXCL) != 0) {
        error = DescribePpdevFailure(device, "PPEXCL", errno);
        ::close(fd);
        return nullptr;
    }
    if (::ioctl(fd, PPCLAIM) != 0) {
        error = DescribePpdevFailure(device, "PPCLAIM", errno);
        ::close(fd);
        return nullptr;
    }
    // The claim rewrote the control register; command 0 without strobe stores nothing.
    unsigned char control = 0;
    if (::ioctl(fd, PPWCONTROL, &control) != 0) {
        error = DescribePpdevFailure(device, "PPWCONTROL", errno);
        // Already failing: the release and close can only fail the same way.
        (void)::ioctl(fd, PPRELEASE);
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<PpdevPort>(new PpdevPort(fd, device));
}

PpdevPort::~PpdevPort() {
    // Data 0 and no strobe: the board's latches keep what the last operation left,
    // which BoardOff has made safe; nothing half-sent can be latched later.
    unsigned char zero = 0;
    if (::ioctl(fd_, PPWDATA, &zero) != 0) Failed("PPWDATA");
    if (::ioctl(fd_, PPWCONTROL, &zero) != 0) Failed("PPWCONTROL");
    if (::ioctl(fd_, PPRELEASE) != 0) Failed("PPRELEASE");
    if (::close(fd_) != 0) Failed("close");
}

void PpdevPort::Failed(const char* what) {
    if (fault_.empty()) fault_ = DescribePpdevFailure(device_, what, errno);
}

void PpdevPort::WriteData(std::uint8_t value) {
    unsigned char v = value;
    if (::ioctl(fd_, PPWDATA, &v) != 0) Failed("PPWDATA");
}

void PpdevPort::WriteControl(std::uint8_t value) {
    unsigned char v = value;
    control_ = value;
    if (::ioctl(fd_, PPWCONTROL, &v) != 0) Failed("PPWCONTROL");
}

std::uint8_t PpdevPort::ReadStatus() {
    unsigned char v = 0;
    if (::ioctl(fd_, PPRSTATUS, &v) != 0) {
        Failed("PPRSTATUS");
        // A status that lets no handshake phase succeed: the transfer times out and
        // its message is shown instead of data being taken from a port that is gone.
        return (control_ & bits::kControlStrobe) != 0 ? bits::kStatusReady : 0;
    }
    return v;
}

}  // namespace merlinox::platform
