#include "operations/read_out.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <string>

#include "config/data_file_paths.h"
#include "core/context.h"
#include "core/message_port.h"
#include "core/mode_guard.h"
#include "files/cell_source.h"
#include "files/data_writers.h"
#include "link/board_control.h"
#include "operations/blank_check.h"
#include "operations/cell_access.h"
#include "operations/confirmations.h"
#include "operations/progress.h"

namespace merlinox::inline operations {

namespace {

constexpr std::uint32_t kProgressSteps = 50;

// The chip as the writers' cell source: the cell read of the programming mode, with
// the window's progress bar, status line and Cancel button.
class ChipCellSource : public CellSource {
public:
    ChipCellSource(Context& ctx, MemoryKind kind) : ctx_(ctx), kind_(kind) {}

    std::uint32_t ReadCell(std::uint32_t address) override {
        return ReadCellAt(ctx_, kind_, address);
    }
    void SetStatus(std::string_view text) override {
        SetStatusLine(ctx_, text);
        RepaintWindow(ctx_);
    }
    void InitProgress(std::uint32_t total) override { merlinox::InitProgress(ctx_, total); }
    void StepProgress() override { merlinox::StepProgress(ctx_); }
    // Counts like StepProgress, but the bar runs down from its end.
    void StepProgressDown() override {
        OperationState& op = ctx_.operation;
        op.progressCounter += 1;
        if (op.progressCounter < op.progressDivisor) return;
        PumpMessages(ctx_);
        op.progressPosition += 1;
        op.progressCounter = 0;
        SetProgressPosition(
            ctx_, op.progressPosition < kProgressSteps ? kProgressSteps - op.progressPosition : 0);
    }
    bool CancelRequested() override { return merlinox::CancelRequested(ctx_); }
    // The writer could not open its file; SaveAVR switches the chip off right after.
    void BoardOff() override {}

private:
    Context& ctx_;
    MemoryKind kind_;
};

int RunWriter(Context& ctx, const std::string& path, MemoryKind kind, std::uint32_t cells) {
    ChipCellSource source(ctx, kind);
    switch (ctx.settings.dataFormat) {
    case kFormatBinary:
        return SaveBin(ctx, path, kind, cells, source);
    case kFormatRom:
        return SaveROMHex(ctx, path, kind, cells, source);
    default:
        return SaveHex(ctx, path, kind, cells, source);
    }
}

// The EEPROM part wrote no file: an old companion of that name would pass for this
// chip's EEPROM in the next verify or programming run, so it goes.
void RemoveOldCompanion(Context& ctx, const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) return;
    if (::unlink(path.c_str()) != 0) {
        ShowFileError(ctx, path, errno);
        return;
    }
    ShowInfo(ctx, ctx.messageBuffer.Format("Die alte EEPROM-Datei\n\n%s\n\n"
                                           "gehört nicht zu diesem Baustein und wurde gelöscht.",
                                           path.c_str()));
}

void SwitchOff(Context& ctx) {
    PowerOff(ctx);
    BoardOff(ctx);
}

}  // namespace

int SaveAVR(Context& ctx) {
    if (!ModeGuard(ctx, "SaveAVR")) return kNoProgrammingMode;
    BoardInit(ctx);
    const int format = ctx.settings.dataFormat;
    if (format < kFormatBinary || format > kFormatS3) {
        ShowInfo(ctx, kUnknownFormat);
        return kSaveFailed;
    }
    InitProgress(ctx, ctx.device.flashWords);
    if (ConfirmOperation(ctx, "Baustein auslesen") != kIdOk) return kSaveFailed;
    EnableCancelButton(ctx, true);
    SetStatusLine(ctx, "Speichere Bausteindaten");
    RepaintWindow(ctx);
    PowerOn(ctx);
    if (IdCheckFails(ctx)) {
        SwitchOff(ctx);
        return kSignatureMismatch;
    }

    LoadReadCommand(ctx, kFlash);
    int r = RunWriter(ctx, DataFileOnDisk(ctx.paths), kFlash, ctx.device.flashWords);
    SetProgressPosition(ctx, 0);
    if (r == kSaveBlank) {
        ShowBlankMemoryRefusal(ctx, kFlash);
        r = kSaveFailed;
    }
    // A cancel is never a success, also where the ROM writer reports 0 for it.
    if (r == kSaveOk && CancelRequested(ctx)) r = kSaveFailed;
    if (r == kSaveOk && ctx.device.eepromBytes != 0) {
        InitProgress(ctx, ctx.device.eepromBytes);
        LoadReadCommand(ctx, kEeprom);
        const std::string companion = EepromFileOnDisk(ctx.paths);
        r = RunWriter(ctx, companion, kEeprom, ctx.device.eepromBytes);
        if (r == kSaveOk && CancelRequested(ctx)) r = kSaveFailed;
        if (r == kSaveBlank) {
            // A blank EEPROM is a finding, not a failed read-out.
            ShowInfo(ctx,
                     "Der Baustein enthält nur Leerzellen im Datenspeicher.\n"
                     "Es wurde keine EEPROM-Datei geschrieben.");
        }
        if (r != kSaveOk) RemoveOldCompanion(ctx, companion);
        if (r == kSaveBlank) r = kSaveOk;
    }
    SwitchOff(ctx);
    SetProgressPosition(ctx, 0);
    if (r != kSaveOk) {
        ShowInfo(ctx, "Speichern abgebrochen !");
        return r;
    }
    ShowInfo(ctx, "Inhalt vom Baustein gespeichert.");
    return kOk;
}

}  // namespace merlinox::inline operations
