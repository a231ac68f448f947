// Loading and writing a 256 KB flash image in each data format (Intel8 holds 64 KB at
// most and is measured with that). Files live in a temporary directory.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/app_context.h"
#include "files/cell_source.h"
#include "files/data_loader.h"
#include "files/data_writers.h"

namespace merlinox {
namespace {

class SilentUi : public UserInterface {
public:
    int ShowBox(BoxKind, std::string_view) override { return kIdCancel; }
    void Beep() override {}
};

struct Workbench {
    SilentUi ui;
    std::unique_ptr<AppContext> ctx = std::make_unique<AppContext>(ui);
    std::filesystem::path dir;
    std::vector<std::uint8_t> image;

    explicit Workbench(DataFormat format) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "merlinox-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) dir = pattern;
        ctx->device.programmingMode = kSpi1;
        ctx->device.flashWords = 0x20000;
        ctx->settings.dataFormat = format;
        std::mt19937 random(42);
        image.resize(format == kFormatIntel8 ? 0x10000 : 0x40000);
        for (auto& b : image) b = static_cast<std::uint8_t>(random());
    }
    ~Workbench() { std::filesystem::remove_all(dir); }

    std::string Path() const { return (dir / "image").string(); }

    int Write() {
        ImageCellSource source(image.data(), static_cast<std::uint32_t>(image.size()), kFlash);
        const auto cells = static_cast<std::uint32_t>(image.size() / 2);
        switch (ctx->settings.dataFormat) {
        case kFormatBinary:
            return SaveBin(*ctx, Path(), kFlash, cells, source);
        case kFormatRom:
            return SaveROMHex(*ctx, Path(), kFlash, cells, source);
        default:
            return SaveHex(*ctx, Path(), kFlash, cells, source);
        }
    }
};

void BM_WriteImage(benchmark::State& state) {
    Workbench bench(static_cast<DataFormat>(state.range(0)));
    for (auto _ : state) {
        if (bench.Write() != kSaveOk) state.SkipWithError("save failed");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bench.image.size()));
    state.counters["file_bytes"] = static_cast<double>(std::filesystem::file_size(bench.Path()));
}

void BM_LoadImage(benchmark::State& state) {
    Workbench bench(static_cast<DataFormat>(state.range(0)));
    if (bench.Write() != kSaveOk) state.SkipWithError("save failed");
    for (auto _ : state) {
        const PassLoad load = LoadFileForPass(*bench.ctx, bench.Path(), kFlash);
        CloseInputFile(*bench.ctx);
        if (load.result != kLoadOk) state.SkipWithError("load failed");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bench.image.size()));
}

BENCHMARK(BM_WriteImage)
    ->DenseRange(kFormatBinary, kFormatS3)
    ->ArgName("format")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadImage)
    ->DenseRange(kFormatBinary, kFormatS3)
    ->ArgName("format")
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace merlinox
