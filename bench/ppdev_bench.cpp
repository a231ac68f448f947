// Kernel calls per handshake transfer on the ppdev back end: the protocol passes of
// protocols_bench run through PpdevPort against a fake kernel that has the simulated
// board on its port. On a real port every call is a system call plus about 1 µs of bus
// access, so the calls per transfer are what a pass costs there.
//
//   build/bench/kestrel_bench --benchmark_filter=Ppdev
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "bench_support.h"
#include "link/board_control.h"
#include "platform/ppdev_port.h"
#include "protocols/hv_serial.h"
#include "protocols/parallel.h"
#include "protocols/spi.h"
#include "sim/chip_device_line.h"
#include "sim/chip_model.h"
#include "support/fake_ppdev_kernel.h"
#include "support/scratch_dir.h"

namespace merlinox {
namespace {

using bench::Pattern;

// The chip powered up in its mode, behind PpdevPort and the fake kernel.
struct PpdevBench : bench::QuietLink {
    PpdevBench(const char* part, std::int32_t mode) : chip(*sim::FindChipByName(part)) {
        std::filesystem::create_directories(tree.Path("proc/sys/dev/parport/parport0"));
        std::ofstream(tree.Path("proc/sys/dev/parport/parport0/base-addr")) << "888";
        std::string error;
        port =
            platform::PpdevPort::Open(0x378, {tree.Path("proc"), tree.Path("dev"), &kernel}, error);
        board.Insert(&chip);
        ctx.port = port.get();
        ctx.link.timeoutCount = 1000;
        ctx.device = sim::DeviceRecordFor(ctx, chip.Facts(), mode);
        BoardInit(ctx);
        PowerOn(ctx);
    }
    std::uint64_t RegisterCalls() const {
        return kernel.Calls(PPWDATA) + kernel.Calls(PPWCONTROL) + kernel.Calls(PPRSTATUS);
    }

    testing::ScratchDir tree;
    sim::SimBoard board;
    testing::FakePpdevKernel kernel{board};
    sim::SimulatedChip chip;
    std::unique_ptr<platform::PpdevPort> port;
};

template <typename Pass>
void Run(benchmark::State& state, const char* part, std::int32_t mode, Pass pass) {
    double transfers = 0;
    double calls = 0;
    double dataWrites = 0;
    for (auto _ : state) {
        state.PauseTiming();
        PpdevBench bench(part, mode);
        const std::uint64_t startTransfers = bench.board.Acknowledged();
        const std::uint64_t startCalls = bench.RegisterCalls();
        const std::uint64_t startData = bench.kernel.Calls(PPWDATA);
        const std::uint32_t words = bench.chip.Facts().flashBytes / 2;
        state.ResumeTiming();
        pass(bench.ctx, words);
        state.PauseTiming();
        transfers = static_cast<double>(bench.board.Acknowledged() - startTransfers);
        calls = static_cast<double>(bench.RegisterCalls() - startCalls);
        dataWrites = static_cast<double>(bench.kernel.Calls(PPWDATA) - startData);
        state.ResumeTiming();
    }
    state.counters["transfers"] = transfers;
    state.counters["ioctl_per_transfer"] = calls / transfers;
    state.counters["PPWDATA_per_transfer"] = dataWrites / transfers;
}

void ParWrite(LinkContext& ctx, std::uint32_t words) {
    ParLoadCommand(ctx, 0x10);
    for (std::uint32_t w = 0; w < words; ++w) {
        ParLoadAddress(ctx, static_cast<std::uint16_t>(w));
        ParWriteWord(ctx, Pattern(w));
    }
}

void ParRead(LinkContext& ctx, std::uint32_t words) {
    std::uint32_t sum = 0;
    ParLoadCommand(ctx, 0x02);
    for (std::uint32_t w = 0; w < words; ++w) {
        ParLoadAddress(ctx, static_cast<std::uint16_t>(w));
        sum += ParReadWord(ctx);
    }
    benchmark::DoNotOptimize(sum);
}

void Par3Read(LinkContext& ctx, std::uint32_t words) {
    std::uint32_t sum = 0;
    for (std::uint32_t w = 0; w < words; ++w)
        sum += Par3ReadAVRWord(ctx, static_cast<std::uint16_t>(w));
    benchmark::DoNotOptimize(sum);
}

void SpiRead(LinkContext& ctx, std::uint32_t words) {
    std::uint32_t sum = 0;
    for (std::uint32_t w = 0; w < words; ++w) sum += SpiReadAVRWord(ctx, w);
    benchmark::DoNotOptimize(sum);
}

template <typename Pass>
void Register(const char* name, const char* part, std::int32_t mode, Pass pass) {
    benchmark::RegisterBenchmark(name,
                                 [=](benchmark::State& state) { Run(state, part, mode, pass); })
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
}

int RegisterAll() {
    Register("Ppdev/PAR1/write/AT90S8515", "AT90S8515", kPar1, ParWrite);
    Register("Ppdev/PAR1/read/AT90S8515", "AT90S8515", kPar1, ParRead);
    Register("Ppdev/PAR3/read/AT90S2343", "AT90S2343", kPar3, Par3Read);
    Register("Ppdev/SPI/read/AT90S8515", "AT90S8515", kSpi2, SpiRead);
    return 0;
}

const int registered = RegisterAll();

}  // namespace
}  // namespace merlinox
