// The cost of the link on the PC side (against a port that answers at once) and of the
// simulated board. A real parallel port needs about 1 µs per register access and at
// least five accesses per transfer; both figures here must vanish next to that.
#include <benchmark/benchmark.h>

#include "bench_support.h"
#include "link/board_control.h"
#include "link/transport.h"
#include "sim/board_sim.h"

namespace merlinox {
namespace {

// The least a port can do: ready after a control write, acknowledged after the strobe.
class NullPort final : public PortAccess {
public:
    void WriteData(std::uint8_t value) override { data_ = value; }
    void WriteControl(std::uint8_t value) override { status_ = (value & 1) != 0 ? 0x00 : 0x80; }
    std::uint8_t ReadStatus() override { return status_; }

private:
    std::uint8_t data_ = 0;
    std::uint8_t status_ = 0;
};

struct Bench : bench::QuietLink {
    explicit Bench(PortAccess& port) { ctx.port = &port; }
};

void SetTransferCounters(benchmark::State& state, std::uint64_t transfers) {
    state.counters["transfers/s"] =
        benchmark::Counter(static_cast<double>(transfers), benchmark::Counter::kIsRate);
    // Seconds per transfer; the report scales it with its SI prefix (24.8ns).
    state.counters["time/transfer"] = benchmark::Counter(
        static_cast<double>(transfers), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_SendCommandNullPort(benchmark::State& state) {
    NullPort port;
    Bench b(port);
    std::uint8_t data = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(SendCommand(b.ctx, CmdData, data++));
    }
    SetTransferCounters(state, state.iterations());
}
BENCHMARK(BM_SendCommandNullPort);

void BM_SendCommandSimBoard(benchmark::State& state) {
    sim::SimBoard board;
    Bench b(board);
    std::uint8_t data = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(SendCommand(b.ctx, CmdData, data++));
    }
    SetTransferCounters(state, state.iterations());
}
BENCHMARK(BM_SendCommandSimBoard);

void BM_ReadBoardByteSimBoard(benchmark::State& state) {
    sim::SimBoard board;
    Bench b(board);
    SendCommand(b.ctx, CmdData, 0x5A);
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReadBoardByte(b.ctx));
    }
    SetTransferCounters(state, 2 * state.iterations());
}
BENCHMARK(BM_ReadBoardByteSimBoard);

// A whole power cycle of one mode, including every delay transfer.
void PowerCycle(benchmark::State& state, std::int32_t mode) {
    sim::SimBoard board;
    Bench b(board);
    b.ctx.device.programmingMode = mode;
    b.ctx.device.supplyVoltageCode = 100;
    b.ctx.device.programmingVoltageCode = 120;
    std::uint64_t transfers = 0;
    for (auto _ : state) {
        const std::uint64_t before = board.Acknowledged();
        BoardInit(b.ctx);
        PowerOn(b.ctx);
        PowerOff(b.ctx);
        BoardOff(b.ctx);
        transfers += board.Acknowledged() - before;
    }
    state.counters["transfers/cycle"] =
        static_cast<double>(transfers) / static_cast<double>(state.iterations());
    SetTransferCounters(state, transfers);
}

void BM_PowerCycleSpi1(benchmark::State& state) { PowerCycle(state, kSpi1); }
void BM_PowerCyclePar1(benchmark::State& state) { PowerCycle(state, kPar1); }
BENCHMARK(BM_PowerCycleSpi1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PowerCyclePar1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace merlinox
