#include "sim/chip_device_line.h"

#include "core/link_context.h"
#include "devices/time_base.h"

namespace merlinox::sim {

DeviceRecord DeviceRecordFor(const LinkContext& ctx, const ChipFacts& f, std::int32_t mode) {
    const ChipTiming timing = TimingFor(f);
    // The library stores 0 and 1 unconverted.
    const std::uint32_t correction = ctx.link.timeBaseCorrection;
    auto delay = [&](std::uint32_t us) { return us > 1 ? TimeBase(correction, us) : us; };
    DeviceRecord d;
    d.name = f.part;
    d.pinCount = f.dipPins != 0 ? f.dipPins : 40;
    d.programmingVoltageCode = 120;
    d.supplyVoltageCode = 100;
    d.flashWriteDelay = delay(timing.flashWriteUs);
    d.eepromWriteDelay = delay(timing.eepromWriteUs);
    d.eraseDelay = delay(timing.chipEraseUs);
    d.flashWords = f.flashBytes / 2;
    d.eepromBytes = f.eepromBytes;
    d.manufacturerId = f.signature[0];
    d.deviceId = f.signature[1];
    d.subId = f.signature[2];
    d.deviceCode = f.code;
    d.fuseD0 = f.code == 0x9103 ? 1 : 0;  // the AT90S2343 variant
    d.programmingMode = mode;
    d.flashPageWords = f.flashPageWords;
    d.eepromPageBytes = f.eepromPageBytes;
    d.extendedAddressing = f.extendedAddress ? 1 : 0;
    d.spiSyncMode = 0;
    // As our library's lines: the parts that may have no clock of their own in socket 1
    // get four XTAL1 pulses after each SCK edge.
    if (f.code == 0x9102 || f.code == 0x9103) d.sckHighClocks = d.sckLowClocks = 4;
    d.fuseCount = f.fuseBytes;
    return d;
}

}  // namespace merlinox::sim
