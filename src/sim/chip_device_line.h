#pragma once
#include <cstdint>

#include "core/device_record.h"
#include "sim/chip_catalogue.h"

namespace merlinox::inline core {
struct LinkContext;
}  // namespace merlinox::inline core

namespace merlinox::sim {

// The device record a library line would give for a catalogue part in a programming
// mode: 5 V supply, 12 V programming voltage, the part's sizes, pages and write times
// (converted into delay units with the link's "TimeBaseKorr"), SPI Sync Modus 0, no
// XTAL1 clocking, no forced bits. For tests, benchmarks and a simulated chip that has
// no line in the library.
DeviceRecord DeviceRecordFor(const LinkContext& ctx, const ChipFacts& facts, std::int32_t mode);

}  // namespace merlinox::sim
