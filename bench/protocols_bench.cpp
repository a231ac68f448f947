// Writing and reading a whole flash through the programming protocols on the simulated
// board, per programming mode, with the largest part the mode serves (the 256 KB
// ATmega2560 where the mode allows it). Counters: transfers, the simulated seconds a
// real board would take, and the written bytes; the benchmark's own time is wall time.
//
//   build/bench/kestrel_bench --benchmark_filter=Flash
#include <benchmark/benchmark.h>

#include <cstdint>
#include <functional>

#include "bench_support.h"
#include "link/board_control.h"
#include "link/timing.h"
#include "protocols/hv_serial.h"
#include "protocols/parallel.h"
#include "protocols/spi.h"
#include "sim/board_sim.h"
#include "sim/chip_device_line.h"
#include "sim/chip_model.h"

namespace merlinox {
namespace {

using bench::Pattern;

struct Bench : bench::QuietLink {
    Bench(const char* part, std::int32_t mode) : chip(*sim::FindChipByName(part)) {
        board.Insert(&chip);
        ctx.port = &board;
        ctx.device = sim::DeviceRecordFor(ctx, chip.Facts(), mode);
        BoardInit(ctx);
        PowerOn(ctx);
    }
    std::uint32_t Words() const { return chip.Facts().flashBytes / 2; }
    void Fill() {
        for (std::uint32_t w = 0; w < Words(); ++w) {
            chip.Contents().flash[2 * w] = static_cast<std::uint8_t>(Pattern(w));
            chip.Contents().flash[2 * w + 1] = static_cast<std::uint8_t>(Pattern(w) >> 8);
        }
    }
    sim::SimBoard board;
    sim::SimulatedChip chip;
};

void Run(benchmark::State& state, const char* part, std::int32_t mode, bool write,
         const std::function<void(Bench&)>& pass) {
    std::uint64_t transfers = 0;
    double simulated = 0;
    std::uint32_t bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Bench bench(part, mode);
        if (!write) bench.Fill();
        const std::uint64_t startTransfers = bench.board.Acknowledged();
        const sim::SimTime startTime = bench.board.Now();
        state.ResumeTiming();
        pass(bench);
        state.PauseTiming();
        transfers = bench.board.Acknowledged() - startTransfers;
        simulated = static_cast<double>(bench.board.Now() - startTime) / 1e9;
        bytes = bench.chip.Facts().flashBytes;
        for (std::uint32_t w = 0; write && w < bench.Words(); ++w) {
            const std::uint16_t got = static_cast<std::uint16_t>(
                bench.chip.Contents().flash[2 * w + 1] << 8 | bench.chip.Contents().flash[2 * w]);
            if (got != Pattern(w)) state.SkipWithError("flash does not hold what was written");
        }
        state.ResumeTiming();
    }
    state.counters["transfers"] = static_cast<double>(transfers);
    state.counters["sim_s"] = simulated;
    state.counters["flash_bytes"] = bytes;
}

void SpiPages(Bench& b) {
    const std::uint32_t page = b.ctx.device.flashPageWords;
    for (std::uint32_t first = 0; first < b.Words(); first += page) {
        for (std::uint32_t w = first; w < first + page; ++w)
            SpiLoadPageAVRWord(b.ctx, w, Pattern(w));
        SpiWritePageAVRWord(b.ctx, first + page - 1);
        Wait100us(b.ctx, b.ctx.device.flashWriteDelay);
    }
}

void SpiWords(Bench& b) {
    for (std::uint32_t w = 0; w < b.Words(); ++w) SpiWriteAVRWord(b.ctx, w, Pattern(w));
}

void SpiRead(Bench& b) {
    std::uint32_t sum = 0;
    for (std::uint32_t w = 0; w < b.Words(); ++w) sum += SpiReadAVRWord(b.ctx, w);
    benchmark::DoNotOptimize(sum);
}

void ParWrite(Bench& b) {
    ParLoadCommand(b.ctx, 0x10);
    for (std::uint32_t w = 0; w < b.Words(); ++w) {
        ParLoadAddress(b.ctx, static_cast<std::uint16_t>(w));
        ParWriteWord(b.ctx, Pattern(w));
    }
}

void ParRead(Bench& b) {
    std::uint32_t sum = 0;
    ParLoadCommand(b.ctx, 0x02);
    for (std::uint32_t w = 0; w < b.Words(); ++w) {
        ParLoadAddress(b.ctx, static_cast<std::uint16_t>(w));
        sum += ParReadWord(b.ctx);
    }
    benchmark::DoNotOptimize(sum);
}

void Par3Write(Bench& b) {
    for (std::uint32_t w = 0; w < b.Words(); ++w)
        Par3WriteAVRWord(b.ctx, static_cast<std::uint16_t>(w), Pattern(w));
}

void Par3Read(Bench& b) {
    std::uint32_t sum = 0;
    for (std::uint32_t w = 0; w < b.Words(); ++w)
        sum += Par3ReadAVRWord(b.ctx, static_cast<std::uint16_t>(w));
    benchmark::DoNotOptimize(sum);
}

void Par4Write(Bench& b) {
    const std::uint32_t page = b.ctx.device.flashPageWords;
    for (std::uint32_t first = 0; first < b.Words(); first += page) {
        Par4LoadWriteFlashCommand(b.ctx);
        for (std::uint32_t w = first; w < first + page; ++w)
            Par4WriteAVRWord(b.ctx, static_cast<std::uint16_t>(w), Pattern(w));
        Par4StartWritePageAVRWord(b.ctx, static_cast<std::uint16_t>(first + page - 1));
        Par4LoadNoOperation(b.ctx);
    }
}

void Par4Read(Bench& b) {
    std::uint32_t sum = 0;
    for (std::uint32_t w = 0; w < b.Words(); ++w)
        sum += Par4ReadAVRWord(b.ctx, static_cast<std::uint16_t>(w));
    benchmark::DoNotOptimize(sum);
}

void Register(const char* name, const char* part, std::int32_t mode, bool write,
              void (*pass)(Bench&)) {
    benchmark::RegisterBenchmark(
        name, [=](benchmark::State& state) { Run(state, part, mode, write, pass); })
        ->Iterations(1)
        ->Unit(benchmark::kSecond)
        ->UseRealTime();
}

int RegisterAll() {
    Register("Flash/MSPI/write/ATmega2560", "ATmega2560", kMspi2, true, SpiPages);
    Register("Flash/MSPI/read/ATmega2560", "ATmega2560", kMspi2, false, SpiRead);
    Register("Flash/SPI/write/AT90S8515", "AT90S8515", kSpi2, true, SpiWords);
    Register("Flash/SPI/read/AT90S8515", "AT90S8515", kSpi2, false, SpiRead);
    Register("Flash/PAR1/write/AT90S8515", "AT90S8515", kPar1, true, ParWrite);
    Register("Flash/PAR1/read/AT90S8515", "AT90S8515", kPar1, false, ParRead);
    Register("Flash/PAR3/write/AT90S2343", "AT90S2343", kPar3, true, Par3Write);
    Register("Flash/PAR3/read/AT90S2343", "AT90S2343", kPar3, false, Par3Read);
    Register("Flash/PAR4/write/ATtiny85", "ATtiny85", kPar4, true, Par4Write);
    Register("Flash/PAR4/read/ATtiny85", "ATtiny85", kPar4, false, Par4Read);
    return 0;
}

const int registered = RegisterAll();

}  // namespace
}  // namespace merlinox
