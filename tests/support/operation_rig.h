#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/operation_handlers.h"
#include "config/data_file_paths.h"
#include "devices/library_catalogue.h"
#include "sim/board_sim.h"
#include "sim/chip_model.h"
#include "support/scratch_dir.h"
#include "support/scripted_ui.h"
#include "support/scripted_view.h"
#include "support/test_context.h"

namespace merlinox::testing {

// Message boxes as the scripted UI answers them, and a message pump that can press the
// Cancel button: the only way a click reaches a running pass.
class PumpingUi : public ScriptedUi {
public:
    void PumpMessages() override {
        ScriptedUi::PumpMessages();
        if (onPump) onPump(pumps);
    }
    std::function<void(int pump)> onPump;
};

// A whole programmer on the simulated board: the library of data/, a configuration in
// a scratch directory, the device chosen by name, the matching chip in the socket and
// the operation handlers over a scripted main window.
class OperationRig {
public:
    explicit OperationRig(std::string_view deviceName, sim::BoardFaults faults = {});
    ~OperationRig();

    // Puts another part in the socket (or none for an empty one).
    void InsertChip(std::string_view part);
    sim::SimulatedChip& Chip() { return *chip_; }
    sim::ChipContents& Contents() { return chip_->Contents(); }

    // Presses Cancel at the given pump of the next run.
    void CancelAtPump(int pump);

    // The data file the handlers use: set as a stored path from a path on disk.
    void UseDataFile(const std::string& diskPath) { SetDataFileFromDisk(ctx.paths, diskPath); }

    std::vector<std::string> Messages() const { return ui.Texts(); }
    int Count(std::string_view text) const;  // boxes shown with exactly this text
    bool Showed(std::string_view text) const { return Count(text) > 0; }
    // True when every control an operation locks is enabled again and Cancel is off.
    bool ControlsUnlocked() const;

    ScratchDir dir;
    PumpingUi ui;
    ScriptedView view;
    ScriptedFileDialogs dialogs;
    ScriptedBusyMarker busy;
    sim::SimBoard board;
    testing::TestContext ctx{ui};
    OperationHandlers handlers{ctx, view, dialogs, busy};

private:
    std::unique_ptr<sim::SimulatedChip> chip_;
};

// Where the library holds the device of exactly that name.
std::optional<DevicePlace> PlaceOf(Context& ctx, std::string_view name);

// Reproducible contents for a memory: bytes from a simple generator with some blank
// stretches in between, so that the skipping of blank cells is exercised.
std::vector<std::uint8_t> TestPattern(std::size_t size, std::uint32_t seed);

// The pattern as the bytes of a file.
inline std::string Bytes(const std::vector<std::uint8_t>& data) {
    return {data.begin(), data.end()};
}

}  // namespace merlinox::testing
