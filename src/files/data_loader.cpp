#include "files/data_loader.h"

#include "app/context.h"
#include "app/messages.h"
#include "files/text_readers.h"

namespace merlinox {

PassLoad LoadFileForPass(Context& ctx, const std::string& path, MemoryKind kind) {
    const DataFormat format = DetectFileFormat(ctx, path, kind);
    if (format == kFormatNone) {
        // Flash: the detection has reported the error. EEPROM: no companion, pass done.
        return {kind == kFlash ? kLoadFailed : kLoadOk, kFormatNone};
    }
    return {LoadDetectedFile(ctx, path, format, kind), format};
}

int LoadDetectedFile(Context& ctx, const std::string& path, DataFormat format, MemoryKind kind) {
    const int error = ctx.files.inputFile.Open(path, format == kFormatBinary);
    if (error != 0) {
        ShowFileError(ctx, path, error);
        return kLoadFailed;
    }
    ctx.files.inputPath = path;
    if (LoadDataFile(ctx, format, kind) != kLoadOk) {
        CloseInputFile(ctx);
        return kLoadFailed;
    }
    return kLoadOk;
}

int LoadDataFile(Context& ctx, DataFormat format, MemoryKind kind) {
    if (ctx.files.showStatus) ctx.files.showStatus("Lese Daten");
    MemoryImage& image = ctx.image;
    image.highestAddress = 0;
    image.bytes.fill(0xFF);
    image.lineNumber = 0;
    image.hexAddressBase = 0;

    int result = kLoadFailed;
    if (format == kFormatBinary) {
        result = ReadBinFile(ctx, MemoryImage::kSize, kind);
    } else if (format >= kFormatRom && format <= kFormatS3) {
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
            result = line == kLineEnd ? kLoadOk : kLoadFailed;
            break;
        }
    }
    if (result != kLoadOk) return result;

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
