#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "core/port_access.h"
#include "sim/socket.h"

namespace merlinox::sim {

class SimBoard;

// One handshake transfer as seen from the PC's side of the port.
struct TransferRecord {
    std::uint64_t index = 0;  // 1 for the first transfer
    bool simulated = false;   // time is the board's simulated time
    SimTime time = 0;         // ns: simulated, or since tracing began on real hardware
    std::uint8_t command = 0;
    std::uint8_t data = 0;
    std::uint8_t status = 0;  // the status byte that ended it (the last one read)
    bool ok = false;          // false: the board did not answer in time
};

class TransferSink {
public:
    virtual ~TransferSink() = default;
    virtual void OnTransfer(const TransferRecord& record) = 0;
};

// Wraps any PortAccess and cuts its register accesses into transfers: a control write
// without strobe begins one (a bare strobe, as the board detection sends, begins one
// too), the first status read with bit 7 clear after the strobe ends it. A transfer that
// is still open when the next one begins, or when tracing ends, was given up: it is
// reported with ok = false.
class TracingPort final : public PortAccess {
public:
    // board, when given, supplies simulated time; otherwise the wall clock is used.
    TracingPort(PortAccess& inner, const SimBoard* board);
    ~TracingPort() override;
    TracingPort(const TracingPort&) = delete;
    TracingPort& operator=(const TracingPort&) = delete;

    void AddSink(TransferSink& sink) { sinks_.push_back(&sink); }

    void WriteData(std::uint8_t value) override;
    void WriteControl(std::uint8_t value) override;
    std::uint8_t ReadStatus() override;
    std::string Problem() const override { return inner_.Problem(); }

    // Reports a transfer still open as failed; called by the destructor too.
    void Finish();

private:
    void Begin(std::uint8_t command, bool strobed);
    void End(bool ok);
    SimTime Now() const;

    PortAccess& inner_;
    const SimBoard* board_;
    std::vector<TransferSink*> sinks_;
    std::int64_t wallStart_;
    TransferRecord current_;
    std::uint8_t dataRegister_ = 0;
    bool open_ = false;
    bool strobed_ = false;
};

// The text log: "index time command data status", time in µs with one decimal place
// (or "-" off the simulator), the last three as two hex digits; a failed transfer ends
// its line with "timeout".
class TextTraceWriter final : public TransferSink {
public:
    explicit TextTraceWriter(std::FILE* out) : out_(out) {}
    void OnTransfer(const TransferRecord& record) override;

private:
    std::FILE* out_;
};

}  // namespace merlinox::sim
