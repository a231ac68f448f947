#include "core/context.h"
#include "core/message_port.h"
#include "core/mode_guard.h"
#include "files/cell_source.h"
#include "files/data_writers.h"
#include "files/output_file.h"

namespace merlinox::inline files {

namespace {

constexpr std::string_view kBlankFlash =
    "Der Baustein enthält nur Leerzellen im Programmspeicher!!\n\nSpeichervorgang abgebrochen.\n\n"
    "Wenn eine Leerzellen-Datei geschrieben werden\nsoll, ** Leerzellen speichern ** aktivieren !";
constexpr std::string_view kBlankEeprom =
    "Der Baustein enthält nur Leerzellen im Datenspeicher!!\n\nSpeichervorgang abgebrochen.\n\n"
    "Wenn eine Leerzellen-Datei geschrieben werden\nsoll, ** Leerzellen speichern ** aktivieren !";

// Searches from the top for the last cell that is not blank and returns the cell count
// up to it, 0 for a memory of blank cells only. Cell 0 is tested like every other: an
// EEPROM whose one variable lives at address 0 is not blank.
std::uint32_t FindEndOfData(CellSource& source, std::uint32_t cellCount, std::uint32_t blank) {
    if (cellCount == 0) return 0;
    std::uint32_t address = cellCount - 1;
    for (;;) {
        const std::uint32_t value = source.ReadCell(address) & blank;
        source.StepProgressDown();
        if (source.CancelRequested() || value != blank) return address + 1;
        if (address == 0) return 0;
        --address;
    }
}

}  // namespace

void ShowBlankMemoryRefusal(Context& ctx, MemoryKind kind) {
    ShowInfo(ctx, kind == kFlash ? kBlankFlash : kBlankEeprom);
}

// The memory from address 0, flash words low byte first, without any header; with
// "FFSave" off it ends at the last cell that is not blank.
int SaveBin(Context& ctx, const std::string& path, MemoryKind kind, std::uint32_t cellCount,
            CellSource& source) {
    if (!ModeGuard(ctx, "SaveBin")) return kNoProgrammingMode;
    const std::uint32_t blank = kind == kEeprom ? 0xFF : 0xFFFF;
    std::uint32_t n = cellCount;
    if (ctx.settings.ffSave == 0) {
        source.SetStatus("Suche Ende des Datenbereiches");
        n = FindEndOfData(source, cellCount, blank);
        if (source.CancelRequested()) return kSaveFailed;
        if (n == 0) return kSaveBlank;
    }

    OutputFile out;
    if (const int error = out.Open(path, true); error != 0) {
        ShowFileError(ctx, path, error);
        source.BoardOff();
        return kSaveFailed;
    }
    source.InitProgress(n);
    source.SetStatus("Speichere Bausteindaten");

    std::uint8_t* buffer = ctx.image.bytes.data();
    const std::uint32_t cellBytes = kind == kFlash ? 2 : 1;
    const std::uint32_t cellsPerBlock = MemoryImage::kSize / cellBytes;
    bool cancelled = false;
    bool failed = false;
    std::uint64_t cell = 0;
    while (cell < n && !cancelled && !failed) {
        const std::uint64_t left = n - cell;
        const auto cells = static_cast<std::uint32_t>(left < cellsPerBlock ? left : cellsPerBlock);
        const std::uint32_t read =
            source.ReadCells(static_cast<std::uint32_t>(cell), cells, kind, buffer);
        const std::size_t filled = std::size_t{read} * cellBytes;
        cell += read;
        cancelled = source.CancelRequested();
        if (cancelled) break;
        if (out.WriteBytes(buffer, filled) < filled) {
            ShowInfo(ctx, "Datenblock konnte nicht geschrieben werden !");
            ShowFileError(ctx, path, out.ErrorNumber());
            failed = true;
        }
    }
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
