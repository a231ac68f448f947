#include "support/operation_rig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/device_configuration.h"
#include "devices/library_catalogue.h"
#include "protocols/spi.h"
#include "sim/chip_catalogue.h"

namespace merlinox::testing {

OperationRig::OperationRig(std::string_view deviceName, sim::BoardFaults faults) : board(faults) {
    std::filesystem::copy_file(std::string(KESTREL_SOURCE_DIR) + "/data/at90list.csv",
                               dir.Path("at90list.csv"));
    ctx.library.libraryPath = dir.Path("at90list.csv");
    ctx.iniPath = dir.Path("pendrake.ini");
    ctx.port = &board;
    ctx.link.spiSync = &SPISync;  // as the program's own context has it
    // Short enough that a dead board fails fast, long enough for the slow acknowledges
    // the simulated board never needs.
    ctx.link.timeoutCount = 1000;
    LoadConfiguration(ctx);
    const auto place = PlaceOf(ctx, deviceName);
    EXPECT_TRUE(place.has_value()) << "no device " << deviceName << " in the library";
    if (place) {
        ctx.settings.manufIndex = place->manufacturer;
        SelectDevice(ctx, place->device);
    }
    ui.shown.clear();
    InsertChip(deviceName);
}

OperationRig::~OperationRig() { board.Insert(nullptr); }

std::optional<DevicePlace> PlaceOf(Context& ctx, std::string_view name) {
    for (const LibraryDevice& device : LibraryDevices(ctx)) {
        if (device.name == name) return device.place;
    }
    return std::nullopt;
}

void OperationRig::InsertChip(std::string_view part) {
    board.Insert(nullptr);
    chip_.reset();
    const sim::ChipFacts* facts = sim::FindChipByName(part);
    if (facts == nullptr)
        facts = sim::FindChipByCode(static_cast<std::uint16_t>(ctx.device.deviceCode));
    ASSERT_NE(facts, nullptr) << "no chip model for " << part;
    chip_ = std::make_unique<sim::SimulatedChip>(*facts);
    board.Insert(chip_.get());
}

void OperationRig::CancelAtPump(int pump) {
    ui.onPump = [this, pump](int n) {
        if (n == pump) handlers.OnCancelButton();
    };
}

int OperationRig::Count(std::string_view text) const {
    return static_cast<int>(std::count_if(ui.shown.begin(), ui.shown.end(),
                                          [text](const auto& box) { return box.text == text; }));
}

bool OperationRig::ControlsUnlocked() const {
    const auto enabled = [this](int id) { return view.IsEnabled(id); };
    return std::all_of(kLockedControls.begin(), kLockedControls.end(), enabled) &&
           !view.IsEnabled(kCancelButton) && view.Text(kStatusLine) == "Warte auf Eingaben" &&
           !busy.own;
}

std::vector<std::uint8_t> TestPattern(std::size_t size, std::uint32_t seed) {
    std::vector<std::uint8_t> data(size);
    std::uint32_t x = seed * 2654435761u + 1;
    for (std::size_t i = 0; i < size; ++i) {
        x = x * 1103515245u + 12345u;
        // Every 0x100 bytes a stretch of 0x20 blank bytes.
        data[i] = (i & 0xE0) == 0x60 ? 0xFF : static_cast<std::uint8_t>(x >> 16);
    }
    return data;
}

}  // namespace merlinox::testing
