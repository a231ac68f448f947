#include "sim/trace.h"

#include <chrono>
#include <cinttypes>

#include "link/latch_bits.h"
#include "sim/board_sim.h"

namespace merlinox::sim {

namespace {

std::int64_t WallNanoseconds() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

TracingPort::TracingPort(PortAccess& inner, const SimBoard* board)
    : inner_(inner), board_(board), wallStart_(WallNanoseconds()) {
    current_.simulated = board != nullptr;
}

TracingPort::~TracingPort() { Finish(); }

void TracingPort::Finish() {
    if (open_) End(false);
}

SimTime TracingPort::Now() const {
    if (board_ != nullptr) return board_->Now();
    return static_cast<SimTime>(WallNanoseconds() - wallStart_);
}

void TracingPort::Begin(std::uint8_t command, bool strobed) {
    if (open_) End(false);
    open_ = true;
    strobed_ = strobed;
    current_.command = static_cast<std::uint8_t>(command & 0x0E);
    current_.data = dataRegister_;
}

void TracingPort::End(bool ok) {
    open_ = false;
    ++current_.index;
    current_.ok = ok;
    current_.time = Now();
    for (TransferSink* sink : sinks_) sink->OnTransfer(current_);
}

void TracingPort::WriteData(std::uint8_t value) {
    // A data write inside an unfinished transfer means the PC gave up on it.
    if (open_) End(false);
    dataRegister_ = value;
    inner_.WriteData(value);
}

void TracingPort::WriteControl(std::uint8_t value) {
    inner_.WriteControl(value);
    const bool strobe = (value & bits::kControlStrobe) != 0;
    if (!strobe) {
        Begin(value, false);
    } else if (!open_) {
        Begin(value, true);
    } else {
        strobed_ = true;
    }
}

std::uint8_t TracingPort::ReadStatus() {
    const std::uint8_t status = inner_.ReadStatus();
    if (open_) {
        current_.status = status;
        if (strobed_ && (status & bits::kStatusReady) == 0) End(true);
    }
    return status;
}

void TextTraceWriter::OnTransfer(const TransferRecord& r) {
    if (r.simulated) {
        std::fprintf(out_, "%" PRIu64 " %.1f %02X %02X %02X%s\n", r.index,
                     static_cast<double>(r.time) / 1000.0, r.command, r.data, r.status,
                     r.ok ? "" : " timeout");
    } else {
        std::fprintf(out_, "%" PRIu64 " - %02X %02X %02X%s\n", r.index, r.command, r.data, r.status,
                     r.ok ? "" : " timeout");
    }
}

}  // namespace merlinox::sim
