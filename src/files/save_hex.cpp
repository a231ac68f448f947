#include "core/context.h"
#include "core/message_port.h"
#include "core/mode_guard.h"
#include "files/cell_source.h"
#include "files/data_writers.h"
#include "files/hex_records.h"
#include "files/output_file.h"

namespace merlinox::inline files {

namespace {

// Block size in bytes: each block of an Intel32 or MCS86 file follows its address record.
std::uint32_t BlockBytes(DataFormat format) {
    if (format == kFormatIntelMcs86) return 256;
    if (format == kFormatIntel32) return 0x10000;
    return MemoryImage::kSize;
}

bool WriteFraming(Context& ctx, const std::string& path, OutputFile& out, DataFormat format) {
    if (format < kFormatS1) return true;
    if (!WriteMotorolaHeader(out)) {
        ShowInfo(ctx, "Header-Record der HEX-Datei\nkonnte nicht geschrieben werden.");
        ShowFileError(ctx, path, out.ErrorNumber());
        return false;
    }
    if (!WriteMotorolaIdentification(out, format)) {
        ShowInfo(ctx, "Identifikations-Record der HEX-Datei\nkonnte nicht geschrieben werden.");
        ShowFileError(ctx, path, out.ErrorNumber());
        return false;
    }
    return true;
}

}  // namespace

int SaveHex(Context& ctx, const std::string& path, MemoryKind kind, std::uint32_t cellCount,
            CellSource& source) {
    if (!ModeGuard(ctx, "SaveHex")) return kNoProgrammingMode;
    const auto format = static_cast<DataFormat>(ctx.settings.dataFormat);
    if (format < kFormatIntel8 || format > kFormatS3) {
        ShowInfo(ctx, kUnknownFormat);
        return kSaveFailed;
    }
    const std::uint32_t cellBytes = kind == kFlash ? 2 : 1;
    if (format == kFormatIntel8 &&
        static_cast<std::uint64_t>(cellCount) * cellBytes > kSixteenBitFormatLimit) {
        // 16-bit address fields cannot name the rest; the save dialog refuses this too.
        ShowInfo(ctx, kSixteenBitFormatRefusal);
        return kSaveFailed;
    }

    OutputFile out;
    if (const int error = out.Open(path, false); error != 0) {
        ShowFileError(ctx, path, error);
        return kSaveFailed;
    }
    if (!WriteFraming(ctx, path, out, format)) return kSaveFailed;

    const std::uint32_t cellsPerBlock = BlockBytes(format) / cellBytes;
    std::uint8_t* buffer = ctx.image.bytes.data();
    bool cancelled = false;
    bool failed = false;
    for (std::uint64_t first = 0; first < cellCount && !cancelled && !failed;
         first += cellsPerBlock) {
        const auto blockAddress = static_cast<std::uint32_t>(first * cellBytes);
        bool addressWritten = true;
        if (format == kFormatIntel32) addressWritten = WriteIntelLinearRecord(out, blockAddress);
        if (format == kFormatIntelMcs86)
            addressWritten = WriteIntelSegmentRecord(out, blockAddress);
        if (!addressWritten) {
            ShowFileError(ctx, path, out.ErrorNumber());
            failed = true;
            break;
        }

        const std::uint64_t left = cellCount - first;
        const auto cells = static_cast<std::uint32_t>(left < cellsPerBlock ? left : cellsPerBlock);
        const std::uint32_t read =
            source.ReadCells(static_cast<std::uint32_t>(first), cells, kind, buffer);
        const std::uint32_t size = read * cellBytes;
        cancelled = source.CancelRequested();
        if (cancelled) break;

        std::uint32_t written = 0;
        if (format == kFormatIntel8) {
            written = WriteIntelBlock(ctx, out, buffer, blockAddress, size);
        } else if (format <= kFormatIntelMcs86) {
            written =
                WriteIntelBlock(ctx, out, buffer, 0, size);  // the address record holds the rest
        } else {
            written = WriteMotorolaBlock(ctx, out, buffer, blockAddress, size);
        }
        if (written != size) {
            ShowFileError(ctx, path, out.ErrorNumber());
            failed = true;
        }
    }

    if (!cancelled && !failed) {
        const bool ended =
            format < kFormatS1 ? WriteIntelEndRecord(out) : WriteMotorolaEndRecord(out, format);
        if (!ended) {
            ShowInfo(ctx, "Endemarkierung der HEX-Datei\nkonnte nicht geschrieben werden.");
            ShowFileError(ctx, path, out.ErrorNumber());
            failed = true;
        }
    }
    // Buffered lines reach the disk only now: a failure here is a failed save too.
    // A cancelled or failed save leaves the old file as it was.
    if (cancelled || failed) out.Abandon();
    const int closeError = cancelled || failed ? 0 : out.Close();
    if (closeError != 0) {
        ShowFileError(ctx, path, closeError);
        failed = true;
    }
    return cancelled || failed ? kSaveFailed : kSaveOk;
}

}  // namespace merlinox::inline files
