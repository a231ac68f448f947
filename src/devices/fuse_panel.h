#pragma once
#include <cstdint>

#include "core/control_ids.h"

namespace merlinox {

struct Context;
struct DeviceRecord;
struct Settings;
class MainView;

// The fuse and lock-bit panel of the main window: 32 check boxes, one per bit of the
// lock byte and the three fuse bytes in Settings. A checked box means the bit is 0,
// that is programmed. The panel keeps no state of its own; it is rebuilt from the
// current device and the four bytes.

std::uint8_t& FuseByteOf(Settings& settings, FuseByte byte);
std::uint8_t FuseByteOf(const Settings& settings, FuseByte byte);

// The bits of byte that device does not have; they are always 1.
std::uint8_t FixedBitsOf(const DeviceRecord& device, FuseByte byte);

// Sets the bits the current device does not have to 1 in the four bytes; they stay so
// and are saved so.
void ForceFixedFuseBits(Context& ctx);

// Relabels, enables and checks the 32 boxes for the current device and the four bytes.
// A device code without a row for its mode group is reported with its code; Lock1 and
// Lock2 then remain the only usable boxes.
void EnableFuses(Context& ctx, MainView& view);

// The user's click on a box, after the box has changed its own state. Lock2 can only
// be programmed together with Lock1, so the two boxes pull each other along.
void OnFuseBoxClicked(Context& ctx, MainView& view, int controlId);

}  // namespace merlinox
