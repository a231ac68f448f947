#pragma once
// Shared by the fuzz_load_* targets: one input is put into an in-memory file, recognised
// and loaded with the target's reader; what loads is written back in its own format,
// loaded again and must give the same image.
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/app_context.h"
#include "files/cell_source.h"
#include "files/data_loader.h"
#include "files/data_writers.h"

namespace merlinox::fuzzing {

class SilentUi : public UserInterface {
public:
    int ShowBox(BoxKind kind, std::string_view) override {
        return kind == BoxKind::Info ? kIdOk : kIdCancel;
    }
    void Beep() override {}
};

// An anonymous in-memory file and the path that opens it again.
class MemoryFile {
public:
    MemoryFile() : fd_(memfd_create("fuzz", 0)) {
        if (fd_ < 0) std::abort();
        path_ = "/proc/self/fd/" + std::to_string(fd_);
    }
    ~MemoryFile() { close(fd_); }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    void Fill(const std::uint8_t* data, std::size_t size) {
        if (ftruncate(fd_, 0) != 0 || pwrite(fd_, data, size, 0) != static_cast<ssize_t>(size))
            std::abort();
    }
    const std::string& Path() const { return path_; }

private:
    int fd_;
    std::string path_;
};

// A file in a directory of its own, as a save writes it: beside its target.
class ScratchFile {
public:
    ScratchFile() {
        char pattern[] = "/tmp/kestrel-fuzz-XXXXXX";
        if (mkdtemp(pattern) == nullptr) std::abort();
        directory_ = pattern;
        path_ = directory_ + "/out";
    }
    ~ScratchFile() {
        unlink(path_.c_str());
        rmdir(directory_.c_str());
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;
    const std::string& Path() const { return path_; }
    const std::string& Directory() const { return directory_; }

private:
    std::string directory_;
    std::string path_;
};

inline void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

// readerFormat forces the reader under test whatever the recognition said; writeFormat
// is the format the loaded image is written back in.
inline void LoadAndRoundTrip(const std::uint8_t* data, std::size_t size, DataFormat readerFormat,
                             DataFormat writeFormat, MemoryKind kind) {
    SilentUi ui;
    auto ctx = std::make_unique<AppContext>(ui);
    ctx->device.programmingMode = kMspi2;
    ctx->device.flashWords = 0x2000;
    ctx->device.eepromBytes = 0x1000;
    ctx->settings.testChecksum = size % 2;  // both ways, picked by the input itself

    MemoryFile input;
    input.Fill(data, size);
    const DataFormat detected = DetectFileFormat(*ctx, input.Path(), kind);
    Check(detected >= kFormatBinary && detected <= kFormatS3, "recognised format in range");
    if (LoadDetectedFile(*ctx, input.Path(), readerFormat, kind) != kLoadOk) return;
    CloseInputFile(*ctx);

    const std::uint32_t limit =
        kind == kFlash ? 2 * ctx->device.flashWords : ctx->device.eepromBytes;
    Check(ctx->image.hasData && ctx->image.highestAddress < limit, "size check holds");
    // Compared with memcmp and memrchr-like scans of the C library: the instrumented
    // loops would cost more than the load itself.
    const auto* bytes = ctx->image.bytes.data();
    const std::vector<std::uint8_t> blank(MemoryImage::kSize, 0xFF);
    Check(std::memcmp(bytes + limit, blank.data(), MemoryImage::kSize - limit) == 0,
          "nothing beyond the device");
    // Data of blank bytes only are no data once written back.
    if (std::memcmp(bytes, blank.data(), limit) == 0) return;

    const std::vector<std::uint8_t> loaded(bytes, bytes + limit);
    ScratchFile output;
    ImageCellSource source(loaded.data(), limit, kind);
    ctx->settings.dataFormat = writeFormat;
    ctx->settings.hexLineLen = 2 + 2 * (size % 127);
    const std::uint32_t cells = kind == kFlash ? ctx->device.flashWords : ctx->device.eepromBytes;
    int saved = kSaveFailed;
    if (writeFormat == kFormatBinary) saved = SaveBin(*ctx, output.Path(), kind, cells, source);
    if (writeFormat == kFormatRom) saved = SaveROMHex(*ctx, output.Path(), kind, cells, source);
    if (writeFormat >= kFormatIntel8) saved = SaveHex(*ctx, output.Path(), kind, cells, source);
    Check(saved == kSaveOk, "a loaded image is saved");

    // A binary file may look like text to the recognition; the text formats must be told.
    ctx->settings.testChecksum = 1;
    const DataFormat reread =
        writeFormat == kFormatBinary ? kFormatBinary : DetectFileFormat(*ctx, output.Path(), kind);
    Check(reread != kFormatBinary || writeFormat == kFormatBinary,
          "written text file is recognised");
    const int reloaded = LoadDetectedFile(*ctx, output.Path(), reread, kind);
    CloseInputFile(*ctx);
    // Binary data that read as lines of records are refused by design: a chip whose
    // memory holds such text cannot be told from a record file gone wrong.
    if (reloaded != kLoadOk && writeFormat == kFormatBinary &&
        (loaded[0] == ':' || loaded[0] == 'S')) {
        return;
    }
    Check(reloaded == kLoadOk, "written file loads again");
    Check(std::memcmp(ctx->image.bytes.data(), loaded.data(), limit) == 0,
          "round trip keeps every byte");
}

}  // namespace merlinox::fuzzing
