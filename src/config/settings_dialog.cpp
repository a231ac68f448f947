#include "config/settings_dialog.h"

#include <cstdio>
#include <cstdlib>

#include "core/context.h"

namespace merlinox::inline config {

namespace {

// A field holds an unsigned number when it is decimal digits, optionally surrounded by
// blanks, and fits in 32 bits.
std::optional<std::uint32_t> UnsignedOf(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return std::nullopt;
    const auto last = text.find_last_not_of(" \t");
    const std::string_view digits = text.substr(first, last - first + 1);
    std::uint64_t value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        if (value > 0xFFFFFFFFu) return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

std::optional<FieldRefusal> CheckNumber(int controlId, std::string_view text, NumberRange range,
                                        std::uint32_t& out) {
    const auto value = UnsignedOf(text);
    if (!value) return FieldRefusal{controlId, "Bitte eine positive ganze Zahl eingeben."};
    if (*value < range.low || *value > range.high) {
        char message[96];
        std::snprintf(message, sizeof message, "Bitte eine ganze Zahl zwischen %u und %u eingeben.",
                      static_cast<unsigned>(range.low), static_cast<unsigned>(range.high));
        return FieldRefusal{controlId, message};
    }
    out = *value;
    return std::nullopt;
}

}  // namespace

SettingsDialogFields FillSettingsDialog(const Context& ctx) {
    char port[16];
    std::snprintf(port, sizeof port, "0x%X", static_cast<unsigned>(ctx.settings.portAdress));
    SettingsDialogFields fields;
    fields.port = port;
    fields.timeOut = std::to_string(ctx.settings.timeOut);
    fields.correction = std::to_string(ctx.settings.timeBaseKorr);
    fields.hexLineLength = std::to_string(ctx.settings.hexLineLen);
    fields.beep = ctx.settings.messageBeap != 0;
    return fields;
}

std::variant<SettingsDialogValues, FieldRefusal> ExchangeSettingsDialog(
    const SettingsDialogFields& fields) {
    SettingsDialogValues values;
    values.port = fields.port;
    values.beep = fields.beep;
    if (auto refusal =
            CheckNumber(kSettingsTimeOutField, fields.timeOut, kTimeOutRange, values.timeOut)) {
        return *refusal;
    }
    if (auto refusal = CheckNumber(kSettingsCorrectionField, fields.correction, kCorrectionRange,
                                   values.correction)) {
        return *refusal;
    }
    if (auto refusal = CheckNumber(kSettingsHexLineField, fields.hexLineLength, kHexLineRange,
                                   values.hexLineLength)) {
        return *refusal;
    }
    return values;
}

std::uint16_t PortBaseFromText(std::string_view text) {
    const std::string terminated(text);
    const unsigned long value = std::strtoul(terminated.c_str(), nullptr, 0);
    return static_cast<std::uint16_t>(value & 0xFFFFu);
}

void ApplySettingsDialog(Context& ctx, const SettingsDialogValues& values) {
    const std::uint16_t base = PortBaseFromText(values.port);
    ctx.settings.portAdress = base;
    ctx.link.dataPort = base;
    ctx.link.statusPort = static_cast<std::uint16_t>(base + 1);
    ctx.link.controlPort = static_cast<std::uint16_t>(base + 2);
    ctx.settings.timeBaseKorr = values.correction;
    ctx.link.timeBaseCorrection = values.correction;
    ctx.settings.timeOut = values.timeOut;
    ctx.link.timeoutCount = values.timeOut;
    ctx.settings.hexLineLen = values.hexLineLength & ~1u;
    ctx.settings.messageBeap = values.beep ? 1 : 0;
}

void ShowSettingsDialog(Context& ctx, SettingsDialogView& dialog) {
    const auto values = dialog.Run(FillSettingsDialog(ctx));
    if (values) ApplySettingsDialog(ctx, *values);
}

}  // namespace merlinox::inline config
