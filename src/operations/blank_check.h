#pragma once

namespace merlinox::inline core {
struct Context;
}  // namespace merlinox::inline core

namespace merlinox::inline operations {

// The button "Leertest": reads every flash word and EEPROM byte and reports each cell
// that is not erased. 0 all erased; 4 reports answered only with Retry; 5 no mode, ID
// check failed, a report answered with Cancel or the Cancel button; 6 declined.
int BlanckCheck(Context& ctx);

// Compares the chip's three signature bytes with the device record: 0 or 14. Expects
// the chip powered; in PAR1/PAR2 it leaves the signature-read command loaded.
int CheckID(Context& ctx);

// True when "ID prüfen" is on and CheckID failed (its message was shown).
bool IdCheckFails(Context& ctx);

}  // namespace merlinox::inline operations
