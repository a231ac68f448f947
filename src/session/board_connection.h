#pragma once
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ppdev_port.h"

namespace merlinox::inline core {
struct Context;
class PortAccess;
}  // namespace merlinox::inline core

namespace merlinox::inline link {
class PriorityPort;
}  // namespace merlinox::inline link

namespace merlinox {
namespace sim {
class SimBoard;
class TracingPort;
class TextTraceWriter;
class VcdWriter;
}  // namespace sim
}  // namespace merlinox

namespace merlinox::session {

// How a command reaches the board; every command that touches it takes these options.
struct BoardOptions {
    std::string board = "auto";          // auto, sim, ppdev, ioport
    std::optional<std::uint16_t> port;   // overrides "PortAdress"
    std::string traceFile;               // --trace: one line per transfer
    std::string vcdFile;                 // --vcd: the decoded lines
    std::vector<std::string> simFaults;  // --sim-fault, for the simulated board
    platform::PpdevRoots roots;          // where the kernel lists its ports
};

// A port base in C notation (0x378, 888); nothing for text that is no address.
std::optional<std::uint16_t> ParsePortAddress(const std::string& text);

// The range of port bases the configuration accepts for "PortAdress"; an address given
// on a command line is held to it too.
constexpr std::uint16_t kLowestPort = 0x200;
constexpr std::uint16_t kHighestPort = 0x400;

// The board set-up of the window and the command line: opens the chosen back end, wraps it in the
// trace writers and hangs it into the context (port, operating-system type 0, priority). When no
// back end is usable the context goes into demo mode, as on a PC without port access. "auto" is
// ppdev, except on a PC whose kernel lists no parallel port at all: only there the simulator stands
// in. Whenever the simulator is used, notices say so. The connection must outlive every use of the
// context's port; it unhooks itself.
class BoardConnection {
public:
    BoardConnection();
    ~BoardConnection();
    BoardConnection(const BoardConnection&) = delete;
    BoardConnection& operator=(const BoardConnection&) = delete;

    // 0 when a back end is in place (demo mode otherwise, with the reason on notices);
    // 2 for options that make no sense (reason on notices, nothing set up).
    int Open(Context& ctx, const BoardOptions& options, std::FILE* notices);

    // "simulated board", "ppdev /dev/parport0", "I/O ports 0x378", or "" before Open.
    const std::string& Description() const { return description_; }
    sim::SimBoard* Simulator() { return simulator_.get(); }

private:
    bool OpenTraceFiles(const BoardOptions& options, std::FILE* notices);
    std::unique_ptr<PortAccess> OpenPpdev(std::uint16_t base, const platform::PpdevRoots& roots,
                                          std::string& error);
    std::unique_ptr<PortAccess> OpenIoPort(std::uint16_t base, std::string& error);
    void Close();

    Context* ctx_ = nullptr;
    std::unique_ptr<sim::SimBoard> simulator_;
    std::unique_ptr<PortAccess> hardware_;
    std::unique_ptr<PriorityPort> priority_;
    std::unique_ptr<sim::TracingPort> tracer_;
    std::unique_ptr<sim::TextTraceWriter> textTrace_;
    std::unique_ptr<sim::VcdWriter> vcd_;
    std::FILE* traceFile_ = nullptr;
    std::FILE* vcdFile_ = nullptr;
    std::string description_;
};

}  // namespace merlinox::session
