#pragma once

namespace merlinox::inline core {
struct Context;
}  // namespace merlinox::inline core

namespace merlinox::inline operations {

// The button "Löschen": confirm, power, check the signature, erase, power off. 0, 5 (no
// mode) or 16 (declined, ID check failed, erase failed or cancelled, a transfer timed
// out). Silent on success.
int EraseAVR(Context& ctx);

// The chip erase of the programming mode, with the chip powered: 0, 5, or 16 when a
// high-voltage serial chip did not signal the end of the erase in time, or when Cancel
// came during the erase delay (which the library may make long).
int Erase(Context& ctx);

}  // namespace merlinox::inline operations
