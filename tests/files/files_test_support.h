#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "files/cell_source.h"
#include "files/data_loader.h"
#include "files/data_writers.h"
#include "support/scratch_dir.h"
#include "support/scripted_ui.h"
#include "support/test_context.h"

namespace merlinox::testing {

// A scratch directory whose `dir / name` is the path of a file in it.
struct TempDir : ScratchDir {
    std::string operator/(const std::string& name) const { return Path(name); }
};

inline void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A context with a scripted user interface and a device of the given sizes in a mode
// the writers accept.
struct FilesFixture : ::testing::Test {
    ScriptedUi ui;
    std::unique_ptr<testing::TestContext> ctx = std::make_unique<testing::TestContext>(ui);
    TempDir dir;

    FilesFixture() {
        ctx->device.programmingMode = kSpi1;
        ctx->device.flashWords = 0x20000;
        ctx->device.eepromBytes = 0x1000;
        ctx->settings.messageBeap = 0;
    }

    // Writes content to a file and loads it as a programming pass would.
    PassLoad Load(const std::string& content, MemoryKind kind = kFlash) {
        WriteFile(dir / "data", content);
        const PassLoad load = LoadFileForPass(*ctx, dir / "data", kind);
        CloseInputFile(*ctx);
        return load;
    }

    const std::uint8_t* Bytes() const { return ctx->image.bytes.data(); }
};

// A cell source with the read-out's hooks, recording what the writer asked for.
class RecordingSource : public CellSource {
public:
    RecordingSource(std::vector<std::uint8_t> bytes, MemoryKind kind)
        : image_(std::move(bytes)), kind_(kind) {}

    std::uint32_t ReadCell(std::uint32_t address) override {
        ImageCellSource cells(image_.data(), static_cast<std::uint32_t>(image_.size()), kind_);
        return cells.ReadCell(address);
    }
    void SetStatus(std::string_view text) override { statuses.emplace_back(text); }
    void StepProgress() override { ++steps; }
    void BoardOff() override { ++boardOffs; }

    std::vector<std::string> statuses;
    std::uint32_t steps = 0;
    int boardOffs = 0;

private:
    std::vector<std::uint8_t> image_;
    MemoryKind kind_;
};

}  // namespace merlinox::testing
