#include "files/data_loader.h"

#include <algorithm>
#include <cerrno>

#include "core/context.h"
#include "core/input_file.h"
#include "core/message_port.h"
#include "files/companion_file.h"
#include "files/elf_image.h"
#include "files/hex_text.h"
#include "files/line_messages.h"
#include "files/text_readers.h"

namespace merlinox::inline files {

namespace {

constexpr std::string_view kRecordTextRefusal =
    "Die Datei enthält nur Text und beginnt wie eine HEX-Zeile,\n"
    "ihr Format wurde aber nicht erkannt !\n\n"
    "Sie wird nicht als Binärdatei verwendet.\n\n*** Vorgang abgebrochen ! ***";

// Printable lines that start like an Intel or Motorola record: a text file whose
// records the recognition did not take (a broken first line, say). Programmed as
// binary it would put its characters into the chip; program data holds control or high
// bytes, and a lone printable string without a line end is left alone.
bool LooksLikeRecordText(const std::uint8_t* bytes, std::size_t count) {
    if (count < 3 || (bytes[0] != ':' && bytes[0] != 'S')) return false;
    if (hex_detail::kDigitValue[bytes[1]] < 0 || hex_detail::kDigitValue[bytes[2]] < 0) {
        return false;
    }
    const auto* end = bytes + count;
    return std::find_if(bytes, end, [](std::uint8_t c) { return c == '\r' || c == '\n'; }) != end &&
           std::all_of(bytes, end, [](std::uint8_t c) {
               return (c >= 0x20 && c < 0x7F) || c == '\r' || c == '\n' || c == '\t';
           });
}

// The load without its checks: the image filled by the format's reader.
int ReadIntoImage(Context& ctx, DataFormat format, MemoryKind kind) {
    if (ctx.files.showStatus) ctx.files.showStatus("Lese Daten");
    MemoryImage& image = ctx.image;
    image.highestAddress = 0;
    image.hasData = false;
    image.bytes.fill(0xFF);
    image.lineNumber = 0;
    image.hexAddressBase = 0;
    if (kind == kFlash) ctx.files.firmwareFuses = {};
    image.dataRecords = 0;

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
    if (!image.hasData) {
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
                static_cast<unsigned long>(highest / 2 + 1)));  // the words touched
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
        ShowInputError(ctx, path, error);
        return kLoadFailed;
    }
    ctx.files.inputPath = path;
    int result = ReadIntoImage(ctx, format, kind);
    if (result == kLoadOk && emptyEepromIsNoData && kind == kEeprom && !ctx.image.hasData) {
        result = kNoEepromData;
    } else if (result == kLoadOk) {
        result = CheckLoadedImage(ctx, kind);
    }
    if (result != kLoadOk) CloseInputFile(ctx);
    return result;
}

}  // namespace

PassLoad LoadFileForPass(Context& ctx, const std::string& given, MemoryKind kind) {
    std::string path = given;
    if (kind == kEeprom) {
        const CompanionFile companion = FindCompanionFile(given);
        if (companion.error != 0) {
            ShowInputError(ctx, companion.path, companion.error);
            return {kLoadFailed, kFormatNone};
        }
        if (!companion.other.empty()) {
            ShowInfo(ctx, ctx.messageBuffer.Format(
                              "Zwei EEPROM-Dateien passen zur Datendatei,\n"
                              "sie unterscheiden sich nur in der Schreibweise:\n\n%s\n%s\n\n"
                              "Bitte eine davon umbenennen oder löschen.\n\n"
                              "*** Vorgang abgebrochen ! ***",
                              companion.path.c_str(), companion.other.c_str()));
            return {kLoadFailed, kFormatNone};
        }
        path = companion.path;
        // A companion that is there but cannot be read is no missing companion: passing
        // over it would leave its data out of the chip and report success.
        InputFile probe;
        if (const int error = probe.Open(path, true);
            error != 0 && error != ENOENT && error != ENOTDIR) {
            ShowInputError(ctx, path, error);
            return {kLoadFailed, kFormatNone};
        }
    }
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
    InputFile& file = ctx.files.inputFile;
    const long count = file.ReadBytes(ctx.image.bytes.data(), limit);
    if (count < 0) {
        ShowInputError(ctx, ctx.files.inputPath, file.ErrorNumber());
        return kLoadFailed;
    }
    if (LooksLikeRecordText(ctx.image.bytes.data(), static_cast<std::size_t>(count))) {
        ShowInfo(ctx, kRecordTextRefusal);
        return kLoadFailed;
    }
    // Bytes beyond the image are not read but count: the size check then refuses the
    // file, where cutting it off would program a part of it as if it were all.
    const std::uint64_t size =
        std::max<std::uint64_t>(file.Size(), static_cast<std::uint64_t>(count));
    ctx.image.hasData = size > 0;
    ctx.image.highestAddress =
        static_cast<std::uint32_t>(std::min<std::uint64_t>(size == 0 ? 0 : size - 1, 0xFFFFFFFFu));
    return kLoadOk;
}

void CloseInputFile(Context& ctx) {
    ctx.files.inputFile.Close();
    ctx.files.inputPath.clear();
}

}  // namespace merlinox::inline files
