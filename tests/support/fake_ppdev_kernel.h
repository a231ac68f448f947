#pragma once
#include <linux/ppdev.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "platform/ppdev_port.h"
#include "sim/board_sim.h"

namespace merlinox::testing {

// A /proc under the directory proc whose parport list has parport0 at baseAddr, or no
// port at all for nullptr.
inline void ListParport(const std::filesystem::path& proc, const char* baseAddr) {
    const std::filesystem::path list = proc / "sys/dev/parport";
    std::filesystem::create_directories(list / "default");
    if (baseAddr == nullptr) return;
    std::filesystem::create_directories(list / "parport0");
    std::ofstream(list / "parport0/base-addr") << baseAddr;
}

// A kernel whose ppdev driver has the simulated board on its one parallel port. It keeps
// the rules a real driver keeps: register calls only on a claimed port, PPEXCL only before
// the claim, one open at a time. Refusals are set per step with the errno to give.
class FakePpdevKernel final : public platform::PpdevSystem {
public:
    static constexpr int kFd = 42;

    explicit FakePpdevKernel(sim::SimBoard& board) : board_(&board) {}

    std::map<std::string, int> refuse;  // "open", "PPEXCL", "PPCLAIM" -> errno
    int failRegisterAfter = -1;         // register calls that succeed before EIO; -1 never

    int Open(const char*, int) override {
        if (const int e = Refusal("open"); e != 0 || open_) return Fail(e != 0 ? e : EBUSY);
        open_ = true;
        return kFd;
    }

    int Close(int fd) override {
        if (fd != kFd || !open_) return Fail(EBADF);
        open_ = claimed_ = exclusive_ = false;
        return 0;
    }

    int Ioctl(int fd, unsigned long request, void* argument) override {
        if (fd != kFd || !open_) return Fail(EBADF);
        ++calls[request];
        auto* byte = static_cast<unsigned char*>(argument);
        switch (request) {
        case PPEXCL:
            return claimed_ ? Fail(EINVAL) : Take("PPEXCL", exclusive_);
        case PPCLAIM:
            return Take("PPCLAIM", claimed_);
        case PPRELEASE:
            if (!claimed_) return Fail(EINVAL);
            claimed_ = false;
            return 0;
        default:
            break;
        }
        if (!claimed_ || byte == nullptr) return Fail(EINVAL);
        if (failRegisterAfter == 0) return Fail(EIO);
        if (failRegisterAfter > 0) --failRegisterAfter;
        switch (request) {
        case PPWDATA:
            board_->WriteData(*byte);
            return 0;
        case PPWCONTROL:
            board_->WriteControl(control_ = *byte);
            return 0;
        case PPRCONTROL:
            *byte = control_;
            return 0;
        case PPRSTATUS:
            *byte = board_->ReadStatus();
            return 0;
        default:
            return Fail(ENOTTY);
        }
    }

    bool Claimed() const { return claimed_; }
    bool Exclusive() const { return exclusive_; }
    bool IsOpen() const { return open_; }
    std::uint64_t Calls(unsigned long request) const {
        const auto it = calls.find(request);
        return it == calls.end() ? 0 : it->second;
    }

    std::map<unsigned long, std::uint64_t> calls;  // ioctls by request

private:
    int Refusal(const std::string& step) const {
        const auto it = refuse.find(step);
        return it == refuse.end() ? 0 : it->second;
    }
    // Sets the state a step gives unless that step is to be refused.
    int Take(const std::string& step, bool& state) {
        if (const int e = Refusal(step); e != 0) return Fail(e);
        state = true;
        return 0;
    }
    static int Fail(int e) {
        errno = e;
        return -1;
    }

    sim::SimBoard* board_;
    bool open_ = false;
    bool claimed_ = false;
    bool exclusive_ = false;
    unsigned char control_ = 0;
};

}  // namespace merlinox::testing
