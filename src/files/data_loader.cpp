#include "files/data_loader.h"

#include "app/context.h"
#include "app/messages.h"
#include "files/elf_image.h"
#include "files/text_readers.h"

namespace merlinox {

namespace {

// The load without its checks: the image filled by the format's reader.
int ReadIntoImage(Context& ctx, DataFormat format, MemoryKind kind) {
    if (ctx.files.showStatus) ctx.files.showStatus("Lese Daten");
    MemoryImage& image = ctx.image;
    image.highestAddress = 0;
    image.bytes.fill(0xFF);
    image.lineNumber = 0;
    image.hexAddressBase = 0;
    if (kind == kFlash) ctx.files.firmwareFuses = {};

    if (format == kFormatElf) return ReadElfFile(ctx, ctx.files.inputPath, kind);
    if (format == kFormatBinary) return ReadBinFile(ctx, MemoryImage::kSize, kind);
    if (format < kFormatRom || format > kFormatS3) return kLoadFailed;
    for (;;) {
        LineResult line = kLineFailed;
        if (format == kFormatRom) {
            line = ReadROMLine(ctx, kind);
        } else if (format <= kFormatIntelMcs86) {
            line = ReadIntelLine(ctx);
        } else {
            line = ReadMotorolaLine(ctx);
        }
        if (line == kLineDone || line == kLineSkipped) continue;
        return line == kLineEnd ? kLoadOk : kLoadFailed;
    }
}

// The checks of a load against the current device.
int CheckLoadedImage(Context& ctx, MemoryKind kind) {
    const MemoryImage& image = ctx.image;
    if (image.highestAddress == 0) {
        ShowInfo(ctx, "Dateilänge ist NULL !\n\nDie Datei enthält keine Daten !");
        return kLoadFailed;
    }
    // 64-bit arithmetic: a file may name addresses up to the 32-bit limit.
    const std::uint64_t highest = image.highestAddress;
    if (kind == kFlash && highest / 2 >= ctx.device.flashWords) {
        ShowInfo(
            ctx,
            ctx.messageBuffer.Format(
                "Zuviele Programmdaten für diesen Baustein !\n\nErlaubt: 0x%lX\nGelesen: 0x%lX",
                static_cast<unsigned long>(ctx.device.flashWords),
                static_cast<unsigned long>((highest + 1) / 2)));
        return kLoadFailed;
    }
    if (kind == kEeprom && highest >= ctx.device.eepromBytes) {
        ShowInfo(
            ctx,
            ctx.messageBuffer.Format(
                "Zuviele EEPROM-Daten für diesen Baustein !\n\nErlaubt: 0x%lX\nGelesen: 0x%lX\n",
                static_cast<unsigned long>(ctx.device.eepromBytes),
                static_cast<unsigned long>(highest + 1)));
        return kLoadFailed;
    }
    return kLoadOk;
}

// An EEPROM companion without a single data cell is what avr-objcopy writes for a
// program without EEPROM variables, and what a read-out of an erased EEPROM leaves in
// the text formats. For a pass it means no EEPROM data, as a missing companion does,
// rather than a failed load that would stop before the fuses and lock bits.
constexpr int kNoEepromData = -1;

int LoadFile(Context& ctx, const std::string& path, DataFormat format, MemoryKind kind,
             bool emptyEepromIsNoData) {
    const int error = ctx.files.inputFile.Open(path, format == kFormatBinary);
    if (error != 0) {
        ShowFileError(ctx, path, error);
        return kLoadFailed;
    }
    ctx.files.inputPath = path;
    int result = ReadIntoImage(ctx, format, kind);
    const bool nothing = ctx.image.highestAddress == 0 && ctx.image.bytes[0] == 0xFF;
    if (result == kLoadOk && emptyEepromIsNoData && kind == kEeprom && nothing) {
        result = kNoEepromData;
    } else if (result == kLoadOk) {
        result = CheckLoadedImage(ctx, kind);
    }
    if (result != kLoadOk) CloseInputFile(ctx);
    return result;
}

}  // namespace

PassLoad LoadFileForPass(Context& ctx, const std::string& path, MemoryKind kind) {
    const DataFormat format = DetectFileFormat(ctx, path, kind);
    if (format == kFormatNone) {
        // Flash: the detection has reported the error. EEPROM: no companion, pass done.
        return {kind == kFlash ? kLoadFailed : kLoadOk, kFormatNone};
    }
    const int result = LoadFile(ctx, path, format, kind, true);
    if (result == kNoEepromData) return {kLoadOk, kFormatNone};
    return {result, format};
}

int LoadDetectedFile(Context& ctx, const std::string& path, DataFormat format, MemoryKind kind) {
    return LoadFile(ctx, path, format, kind, false);
}

int LoadDataFile(Context& ctx, DataFormat format, MemoryKind kind) {
    const int result = ReadIntoImage(ctx, format, kind);
    return result == kLoadOk ? CheckLoadedImage(ctx, kind) : result;
}

int ReadBinFile(Context& ctx, std::uint32_t maxBytes, MemoryKind kind) {
    (void)kind;  // the report names the file actually read, whichever memory it holds
    const std::uint32_t limit = maxBytes < MemoryImage::kSize ? maxBytes : MemoryImage::kSize;
    const long count = ctx.files.inputFile.ReadBytes(ctx.image.bytes.data(), limit);
    if (count < 0) {
        ShowFileError(ctx, ctx.files.inputPath, ctx.files.inputFile.ErrorNumber());
        return kLoadFailed;
    }
    ctx.image.highestAddress = count > 0 ? static_cast<std::uint32_t>(count - 1) : 0;
    return kLoadOk;
}

void CloseInputFile(Context& ctx) {
    ctx.files.inputFile.Close();
    ctx.files.inputPath.clear();
}

}  // namespace merlinox
