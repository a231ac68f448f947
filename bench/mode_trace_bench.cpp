// Every operation once per programming mode on the simulated board, with a fingerprint
// of what the board saw: each latch store (when, which latch, which byte) and each box
// the run showed. A rework of the operations that is meant to change nothing must leave
// every counter of these runs as it was.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/app_context.h"
#include "config/data_file_paths.h"
#include "core/user_interface.h"
#include "devices/library_reader.h"
#include "link/board_control.h"
#include "operations/blank_check.h"
#include "operations/erase.h"
#include "operations/fuse_lock.h"
#include "operations/fuse_read.h"
#include "operations/programming.h"
#include "operations/read_out.h"
#include "operations/verify.h"
#include "sim/board_sim.h"
#include "sim/chip_catalogue.h"
#include "sim/chip_model.h"

namespace merlinox {
namespace {

// One line of our library (data/at90list.csv) per programming mode, in mode order.
constexpr const char* kLibrary =
    ":Atmel;Y\r\n"
    "AT90S2313 (parallel);DIP20;12000;5000;4000;4000;20000;2048;128;0x1E;0x91;0x01;0;PAR1;"
    "READFUSE;0;0;0;0;0;1;1;0xFC;0xDF;0xDE;0xFF;0xFF;0xFF;0xFF;Y\r\n"
    "AT90S8515 (parallel);DIP40;12000;5000;4000;4000;20000;8192;512;0x1E;0x93;0x01;0;PAR2;"
    "READFUSE;0;0;0;0;0;1;1;0xFC;0xDF;0xDE;0xFF;0xFF;0xFF;0xFF;Y\r\n"
    "ATtiny12 (HV seriell);DIP8;12000;5000;4500;9000;20000;1024;64;0x1E;0x90;0x05;0;PAR3;"
    "READFUSE;0;0;0;0;0;1;1;0xFC;0x52;0x00;0xFF;0xFF;0xFF;0xFF;Y\r\n"
    "ATtiny85 (HV seriell);DIP8;12000;5000;4500;4000;4500;8192;512;0x1E;0x93;0x0B;0;PAR4;"
    "READFUSE;0;0;32;4;0;0;3;0xFC;0x62;0x00;0xDF;0x00;0xFF;0xFE;Y\r\n"
    "AT90S8515 (ISP);DIP40;0;5000;4000;4000;20000;8192;512;0x1E;0x93;0x01;0;SPI1;READFUSE;0;0;"
    "0;0;0;1;1;0xFC;0xDF;0xDF;0xFF;0xFF;0xFF;0xFF;Y\r\n"
    "ATtiny12 (SPI Sockel 1);DIP8;0;5000;4500;9000;20000;1024;64;0x1E;0x90;0x05;0;SPI2;"
    "READFUSE;0;0;0;0;0;1;1;0xFC;0x52;0x00;0xFF;0xFF;0xFF;0xFF;Y\r\n"
    "ATmega8 (ISP);DIP28;0;5000;4500;9000;10000;8192;512;0x1E;0x93;0x07;0;MSPI1;READFUSE;0;0;"
    "32;4;0;0;2;0xC0;0xE1;0x00;0xD9;0x00;0xFF;0xFF;Y\r\n"
    "ATtiny85 (SPI Sockel 1);DIP8;0;5000;4500;4000;4500;8192;512;0x1E;0x93;0x0B;0;MSPI2;"
    "READFUSE;0;0;32;4;0;0;3;0xFC;0x62;0x00;0xDF;0x00;0xFF;0xFE;Y\r\n";

// FNV-1a over 32 bits: exact as a benchmark counter, which is a double.
class Fingerprint {
public:
    void Add(std::uint64_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            hash_ = (hash_ ^ static_cast<std::uint8_t>(value >> (8 * i))) * 16777619u;
        }
    }
    void Add(std::string_view text) {
        for (const char c : text) Add(static_cast<std::uint8_t>(c), 1);
    }
    std::uint32_t Value() const { return hash_; }

private:
    std::uint32_t hash_ = 2166136261u;
};

// Confirms every question, answers a report with Retry, and takes every box into the
// fingerprint.
class RecordingUi : public UserInterface {
public:
    int ShowBox(BoxKind kind, std::string_view text) override {
        ++boxes;
        print.Add(static_cast<std::uint64_t>(kind), 1);
        print.Add(text);
        return kind == BoxKind::RetryCancel ? kIdRetry : kIdOk;
    }
    void Beep() override {}
    int boxes = 0;
    Fingerprint print;
};

struct Round {
    std::uint64_t latchWrites = 0;
    std::uint32_t latchPrint = 0;
    int boxes = 0;
    std::uint32_t boxPrint = 0;
    std::uint32_t resultPrint = 0;  // the operations' results and the fuse bytes read
    double simulatedSeconds = 0;
};

class ModeRound {
public:
    explicit ModeRound(int deviceIndex) {
        dir_ = (std::filesystem::temp_directory_path() /
                ("merlinox-trace-" + std::to_string(::getpid())))
                   .string();
        std::filesystem::create_directories(dir_);
        std::ofstream(dir_ + "/at90list.csv", std::ios::binary) << kLibrary;
        ctx.library.libraryPath = dir_ + "/at90list.csv";
        ctx.settings.deviceIndex = deviceIndex;
        ctx.settings.messageBeap = 0;
        ctx.settings.ffSave = 1;
        ctx.settings.lockBits = 0xFE;
        LoadSelectedDevice(ctx);
        ctx.port = &board;
        chip_ = std::make_unique<sim::SimulatedChip>(
            *sim::FindChipByCode(static_cast<std::uint16_t>(ctx.device.deviceCode)));
        board.Insert(chip_.get());
        WritePattern(dir_ + "/fw.bin", std::min<std::size_t>(2ull * ctx.device.flashWords, 0x2000));
        WritePattern(dir_ + "/fw.eep", ctx.device.eepromBytes);
    }
    ~ModeRound() {
        board.Insert(nullptr);
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    // Program with fuses and lock, verify, read the fuses, read out, erase, blank check.
    Round Run() {
        std::vector<sim::LatchWrite> log;
        board.Record(&log);
        const sim::SimTime start = board.Now();
        ChipFuseBytes fuses;

        SetDataFileFromDisk(ctx.paths, dir_ + "/fw.bin");
        Fingerprint results;
        const auto keep = [&results](int result) {
            results.Add(static_cast<std::uint8_t>(result), 1);
        };
        keep(ProgramFile(ctx, dir_ + "/fw.bin", 1, kFlash));
        keep(ProgramFile(ctx, dir_ + "/fw.eep", 0, kEeprom));
        keep(ProgramFuseBits(ctx));
        keep(ProgramLockBits(ctx));
        SwitchOff();
        keep(VerifyFile(ctx, dir_ + "/fw.bin", 1, kFlash));
        keep(VerifyFile(ctx, dir_ + "/fw.eep", 0, kEeprom));
        SwitchOff();
        keep(ReadFusesFromChip(ctx, fuses));
        for (const std::uint8_t value : fuses.value) results.Add(value, 1);
        SetDataFileFromDisk(ctx.paths, dir_ + "/out.hex");
        keep(SaveAVR(ctx));
        keep(EraseAVR(ctx));
        BoardOff(ctx);
        keep(BlanckCheck(ctx));

        board.Record(nullptr);
        Fingerprint latches;
        for (const sim::LatchWrite& w : log) {
            latches.Add(static_cast<std::uint64_t>(w.time - start), 8);
            latches.Add(w.command, 1);
            latches.Add(w.data, 1);
        }
        return {log.size(),       latches.Value(), ui.boxes,
                ui.print.Value(), results.Value(), static_cast<double>(board.Now() - start) / 1e9};
    }

    RecordingUi ui;
    AppContext ctx{ui};
    sim::SimBoard board;

private:
    void SwitchOff() {
        PowerOff(ctx);
        BoardOff(ctx);
    }
    static void WritePattern(const std::string& path, std::size_t size) {
        std::vector<char> bytes(size);
        std::uint32_t x = 777;
        for (std::size_t i = 0; i < size; ++i) {
            x = x * 1103515245u + 12345u;
            bytes[i] = (i & 0xE0) == 0x60 ? '\xFF' : static_cast<char>(x >> 16);
        }
        std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<long>(size));
    }

    std::unique_ptr<sim::SimulatedChip> chip_;
    std::string dir_;
};

void BM_OperationTrace(benchmark::State& state) {
    ModeRound round(static_cast<int>(state.range(0)));
    Round figures;
    for (auto _ : state) figures = round.Run();
    state.counters["latch_writes"] = static_cast<double>(figures.latchWrites);
    state.counters["latch_print"] = static_cast<double>(figures.latchPrint);
    state.counters["boxes"] = figures.boxes;
    state.counters["box_print"] = static_cast<double>(figures.boxPrint);
    state.counters["result_print"] = static_cast<double>(figures.resultPrint);
    state.counters["sim_s"] = figures.simulatedSeconds;
}

// Argument: the device index, which is the programming mode less one.
BENCHMARK(BM_OperationTrace)->DenseRange(0, 7)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace merlinox
