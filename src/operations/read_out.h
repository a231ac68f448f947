#pragma once

namespace merlinox::inline core {
struct Context;
}  // namespace merlinox::inline core

namespace merlinox::inline operations {

// Reads the chip into the current data file (flash) and its "eep" companion (EEPROM) in
// the "DataFormat" setting's format. 0 saved; 4 unknown format, declined, a writer
// failed or the user cancelled; 5 no mode; 14 signature mismatch.
//
// Every way out after the power-on switches the chip off as the other operations do
// (PowerOff, then BoardOff), and a save that did not complete never ends with the
// success message: a cancelled or failed EEPROM part closes with
// "Speichern abgebrochen !" like the flash part, the flash file being complete.
int SaveAVR(Context& ctx);

}  // namespace merlinox::inline operations
