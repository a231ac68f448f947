#include "session/board_connection.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "core/context.h"
#include "platform/ioport_port.h"
#include "platform/linux_priority.h"
#include "sim/board_sim.h"
#include "sim/fault.h"
#include "sim/trace.h"
#include "sim/vcd.h"

namespace merlinox::session {

std::optional<std::uint16_t> ParsePortAddress(const std::string& text) {
    if (text.empty() || text[0] == '-' || text[0] == '+') return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const unsigned long value = std::strtoul(text.c_str(), &end, 0);
    if (errno != 0 || *end != '\0' || value == 0 || value > 0xFFFF) return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

std::unique_ptr<PortAccess> BoardConnection::OpenPpdev(std::uint16_t base,
                                                       const platform::PpdevRoots& roots,
                                                       std::string& error) {
    auto ppdev = platform::PpdevPort::Open(base, roots, error);
    if (ppdev) description_ = "ppdev " + ppdev->Device();
    return ppdev;
}

std::unique_ptr<PortAccess> BoardConnection::OpenIoPort(std::uint16_t base, std::string& error) {
    auto io = platform::IoPort::Open(base, error);
    if (!io) return nullptr;
    char text[32];
    std::snprintf(text, sizeof text, "I/O ports 0x%X", base);
    description_ = text;
    return io;
}

BoardConnection::BoardConnection() = default;

BoardConnection::~BoardConnection() { Close(); }

void BoardConnection::Close() {
    if (tracer_) tracer_->Finish();
    if (ctx_ != nullptr) {
        ctx_->port = nullptr;
        ctx_->link.priority = nullptr;
    }
    tracer_.reset();  // before the port it wraps and the writers it feeds
    vcd_.reset();
    textTrace_.reset();
    for (std::FILE* file : {traceFile_, vcdFile_}) {
        if (file != nullptr) std::fclose(file);
    }
    traceFile_ = nullptr;
    vcdFile_ = nullptr;
    hardware_.reset();
    simulator_.reset();
    priority_.reset();
}

bool BoardConnection::OpenTraceFiles(const BoardOptions& options, std::FILE* notices) {
    const auto open = [notices](const std::string& path, std::FILE*& file) {
        if (path.empty()) return true;
        file = std::fopen(path.c_str(), "w");
        if (file == nullptr) {
            std::fprintf(notices, "cannot write %s: %s\n", path.c_str(), std::strerror(errno));
        }
        return file != nullptr;
    };
    return open(options.traceFile, traceFile_) && open(options.vcdFile, vcdFile_);
}

int BoardConnection::Open(Context& ctx, const BoardOptions& options, std::FILE* notices) {
    Close();
    sim::BoardFaults faults;
    for (const std::string& text : options.simFaults) {
        std::string error;
        if (!sim::ParseFault(text, faults, error)) {
            std::fprintf(notices, "%s\n", error.c_str());
            return 2;
        }
    }
    if (!options.simFaults.empty() && options.board != "sim" && options.board != "auto") {
        std::fprintf(notices, "--sim-fault needs the simulated board (--board=sim)\n");
        return 2;
    }
    // Asking for a simulated fault is asking for the simulator.
    const bool simulatorOnly = options.board == "sim" || !options.simFaults.empty();
    if (!OpenTraceFiles(options, notices)) {
        Close();
        return 2;
    }

    const std::uint16_t base = options.port.value_or(ctx.settings.portAdress);
    std::string error;
    const char* simulatorReason = nullptr;
    if (simulatorOnly) {
        simulatorReason = options.board == "sim" ? "--board=sim" : "--sim-fault";
    } else if (options.board == "auto" && !platform::KernelListsParports(options.roots)) {
        // Only a PC without any parallel port gets the simulator unasked: once the kernel
        // lists one, a board may hang on it and a pretended success would be a lie.
        simulatorReason = "the kernel lists no parallel port";
    } else if (options.board == "ioport") {
        hardware_ = OpenIoPort(base, error);
    } else {
        hardware_ = OpenPpdev(base, options.roots, error);
    }

    ctx_ = &ctx;
    // Linux is no Windows version: type 0, which asks for the higher of the two levels.
    ctx.link.osType = 0;
    PortAccess* port = nullptr;
    if (hardware_) {
        // Only real hardware needs the boost: the simulator keeps its own time.
        priority_ = std::make_unique<platform::LinuxPriority>();
        ctx.link.priority = priority_.get();
        port = hardware_.get();
    } else if (simulatorReason != nullptr) {
        simulator_ = std::make_unique<sim::SimBoard>(faults);
        description_ = "simulated board";
        // Said on every run, --quiet or not: nothing of it reaches a real chip.
        std::fprintf(notices, "using the simulated board, no real chip is touched (%s)\n",
                     simulatorReason);
        port = simulator_.get();
    } else {
        std::fprintf(notices, "%s\n", error.c_str());
        ctx.link.demoMode = true;
        return 0;
    }

    if (traceFile_ != nullptr || vcdFile_ != nullptr) {
        tracer_ = std::make_unique<sim::TracingPort>(*port, simulator_.get());
        if (traceFile_ != nullptr) {
            textTrace_ = std::make_unique<sim::TextTraceWriter>(traceFile_);
            tracer_->AddSink(*textTrace_);
        }
        if (vcdFile_ != nullptr) {
            vcd_ = std::make_unique<sim::VcdWriter>(vcdFile_);
            tracer_->AddSink(*vcd_);
        }
        port = tracer_.get();
    }
    ctx.port = port;
    return 0;
}

}  // namespace merlinox::session
