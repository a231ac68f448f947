#include "platform/ioport_port.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#define MERLINOX_HAS_IOPORTS 1
#endif

namespace merlinox::platform {

namespace {

std::string Range(std::uint16_t base) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%X..0x%X", base, base + 2u);
    return text;
}

}  // namespace

#ifdef MERLINOX_HAS_IOPORTS

std::unique_ptr<IoPort> IoPort::Open(std::uint16_t base, std::string& error) {
    if (base > 0xFFFF - 2 || ::ioperm(base, 3, 1) != 0) {
        const int errnum = base > 0xFFFF - 2 ? EINVAL : errno;
        error = "raw I/O ports " + Range(base) + " refused: " + std::strerror(errnum);
        if (errnum == EPERM) error += " (needs CAP_SYS_RAWIO; use --board=ppdev instead)";
        return nullptr;
    }
    return std::unique_ptr<IoPort>(new IoPort(base));
}

IoPort::~IoPort() {
    ::outb(0, base_);
    ::outb(0, static_cast<unsigned short>(base_ + 2));
    // Giving the permission back cannot fail for a range that was granted; the process
    // loses it at exit in any case.
    (void)::ioperm(base_, 3, 0);
}

void IoPort::WriteData(std::uint8_t value) { ::outb(value, base_); }
void IoPort::WriteControl(std::uint8_t value) {
    ::outb(value, static_cast<unsigned short>(base_ + 2));
}
std::uint8_t IoPort::ReadStatus() { return ::inb(static_cast<unsigned short>(base_ + 1)); }

#else

std::unique_ptr<IoPort> IoPort::Open(std::uint16_t base, std::string& error) {
    error = "raw I/O ports " + Range(base) + " exist only on x86 machines; use --board=ppdev";
    return nullptr;
}

IoPort::~IoPort() = default;
void IoPort::WriteData(std::uint8_t) {}
void IoPort::WriteControl(std::uint8_t) {}
std::uint8_t IoPort::ReadStatus() { return 0; }

#endif

}  // namespace merlinox::platform
