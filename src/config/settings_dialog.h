#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace merlinox::inline core {
struct Context;
}  // namespace merlinox::inline core

namespace merlinox::inline config {

// The settings dialog ("Einstellungen"): port address, handshake time-out, time-base
// correction, HEX line length and beep. Confirmed values take effect in memory at once
// and reach the configuration file with its next save.

// Its control ids, which the Qt dialog uses as object names.
enum SettingsDialogControl : int {
    kSettingsPortList = 1009,         // drop-down list with edit field, "Portadresse"
    kSettingsTimeOutField = 1005,     // "Timeout-Zähler"
    kSettingsCorrectionField = 1016,  // "Korrektur"
    kSettingsHexLineField = 1017,     // "Länge HEX-Zeile"
    kSettingsBeepBox = 1018,          // "Signalton"
};

inline constexpr std::array<std::string_view, 5> kPortChoices = {"0x3BC", "0x378", "0x278", "0x338",
                                                                 "0x238"};

// The fields as the user sees and edits them.
struct SettingsDialogFields {
    std::string port;
    std::string timeOut;
    std::string correction;
    std::string hexLineLength;
    bool beep = false;
};

// The values the dialog hands over on OK, after the exchange has checked them.
struct SettingsDialogValues {
    std::string port;
    std::uint32_t timeOut = 0;
    std::uint32_t correction = 0;
    std::uint32_t hexLineLength = 0;
    bool beep = false;
};

// A field the exchange refused: the dialog shows the message, stays open and puts the
// focus on the field.
struct FieldRefusal {
    int controlId;
    std::string message;
};

struct NumberRange {
    std::uint32_t low;
    std::uint32_t high;
};
inline constexpr NumberRange kTimeOutRange{10000, 10000000};
inline constexpr NumberRange kCorrectionRange{70, 100};
inline constexpr NumberRange kHexLineRange{16, 255};

SettingsDialogFields FillSettingsDialog(const Context& ctx);

// Converts and range-checks the three number fields, in the dialog's order; the first
// refusal ends the exchange. The port text is taken as it is.
std::variant<SettingsDialogValues, FieldRefusal> ExchangeSettingsDialog(
    const SettingsDialogFields& fields);

// The port text as the C conversion of base 0 reads it (0x hexadecimal, a leading 0
// octal, otherwise decimal, stopping at the first character that does not fit), low
// 16 bits. Not range-checked: the next configuration load corrects a wrong base.
std::uint16_t PortBaseFromText(std::string_view text);

void ApplySettingsDialog(Context& ctx, const SettingsDialogValues& values);

// The modal dialog. Run shows it with the given fields, runs the exchange on each OK
// (keeping the dialog open on a refusal) and returns the checked values, or nothing
// when the user cancelled.
class SettingsDialogView {
public:
    virtual ~SettingsDialogView() = default;
    virtual std::optional<SettingsDialogValues> Run(const SettingsDialogFields& fields) = 0;
};

// Opens the dialog and applies what the user confirmed.
void ShowSettingsDialog(Context& ctx, SettingsDialogView& dialog);

}  // namespace merlinox::inline config
