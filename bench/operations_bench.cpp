// Program plus verify of whole flash images on the simulated board: the wall time this
// machine needs, the handshake transfers, the simulated board's time, and what the
// transfers would take on a real board at 5 µs each.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/app_context.h"
#include "core/user_interface.h"
#include "devices/library_reader.h"
#include "link/board_control.h"
#include "operations/programming.h"
#include "operations/verify.h"
#include "sim/board_sim.h"
#include "sim/chip_catalogue.h"
#include "sim/chip_model.h"

namespace merlinox {
namespace {

// Lines of our library (data/at90list.csv), so that the benchmark needs no files.
constexpr const char* kLibrary =
    ":Atmel;Y\r\n"
    "ATmega8 (ISP);DIP28;0;5000;4500;9000;10000;8192;512;0x1E;0x93;0x07;0;MSPI1;READFUSE;0;0;32;"
    "4;0;0;2;0xC0;0xE1;0x00;0xD9;0x00;0xFF;0xFF;Y\r\n"
    "ATmega2560 (ISP);DIP40;0;5000;4500;9000;9000;262144;4096;0x1E;0x98;0x01;0;MSPI1;READFUSE;0;"
    "0;128;8;1;0;3;0xC0;0x62;0x00;0x99;0x00;0xFF;0xF8;Y\r\n";

// Confirms every question and counts the boxes; a benchmark run must show none other.
class ConfirmingUi : public UserInterface {
public:
    int ShowBox(BoxKind kind, std::string_view text) override {
        if (kind == BoxKind::OkCancel) return kIdOk;
        ++unexpected;
        std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
        return kIdCancel;
    }
    void Beep() override {}
    int unexpected = 0;
};

struct Figures {
    std::uint64_t transfers = 0;
    std::uint64_t programTransfers = 0;
    double simulatedSeconds = 0;
};

class Bench {
public:
    Bench(int deviceIndex, std::size_t imageBytes) {
        const auto dir = std::filesystem::temp_directory_path() /
                         ("merlinox-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        dir_ = dir.string();
        std::ofstream(dir_ + "/at90list.csv", std::ios::binary) << kLibrary;
        ctx.library.libraryPath = dir_ + "/at90list.csv";
        ctx.settings.deviceIndex = deviceIndex;
        ctx.settings.messageBeap = 0;
        if (LoadSelectedDevice(ctx) != 0) ui.unexpected++;
        ctx.port = &board;
        chip_ = std::make_unique<sim::SimulatedChip>(
            *sim::FindChipByCode(static_cast<std::uint16_t>(ctx.device.deviceCode)));
        board.Insert(chip_.get());
        // A full image without blank words, as a linked firmware that fills the chip.
        std::vector<char> image(imageBytes);
        std::uint32_t x = 12345;
        for (char& c : image) {
            x = x * 1103515245u + 12345u;
            c = static_cast<char>(x >> 16);
        }
        file_ = dir_ + "/image.bin";
        std::ofstream(file_, std::ios::binary).write(image.data(), static_cast<long>(image.size()));
    }
    ~Bench() {
        board.Insert(nullptr);
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    // The flash stages of "Brennen" and "Prüfen", each ending with the board off.
    Figures ProgramAndVerify() {
        const std::uint64_t transfers = board.Acknowledged();
        const sim::SimTime start = board.Now();
        const int programmed = ProgramFile(ctx, file_, 1, kFlash);
        PowerOff(ctx);
        BoardOff(ctx);
        const std::uint64_t programTransfers = board.Acknowledged() - transfers;
        const int verified = VerifyFile(ctx, file_, 1, kFlash);
        PowerOff(ctx);
        BoardOff(ctx);
        if (programmed != 0 || verified != 0) ui.unexpected++;
        return {board.Acknowledged() - transfers, programTransfers,
                static_cast<double>(board.Now() - start) / 1e9};
    }

    ConfirmingUi ui;
    AppContext ctx{ui};
    sim::SimBoard board;

private:
    std::unique_ptr<sim::SimulatedChip> chip_;
    std::string dir_;
    std::string file_;
};

void ProgramAndVerify(benchmark::State& state, int deviceIndex, std::size_t imageBytes) {
    Bench bench(deviceIndex, imageBytes);
    Figures figures;
    for (auto _ : state) figures = bench.ProgramAndVerify();
    if (bench.ui.unexpected != 0) state.SkipWithError("the run showed a message or failed");
    state.counters["transfers"] = static_cast<double>(figures.transfers);
    state.counters["program_transfers"] = static_cast<double>(figures.programTransfers);
    state.counters["sim_s"] = figures.simulatedSeconds;
    state.counters["board_5us_s"] = static_cast<double>(figures.transfers) * 5e-6;
}

void BM_ProgramVerify_ATmega8_8K(benchmark::State& state) { ProgramAndVerify(state, 0, 0x2000); }
void BM_ProgramVerify_ATmega2560_256K(benchmark::State& state) {
    ProgramAndVerify(state, 1, 0x40000);
}

BENCHMARK(BM_ProgramVerify_ATmega8_8K)->Unit(benchmark::kSecond)->Iterations(3);
BENCHMARK(BM_ProgramVerify_ATmega2560_256K)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
}  // namespace merlinox
