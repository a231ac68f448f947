#include "devices/device_line.h"

#include <string_view>

#include "config/number_text.h"
#include "config/text_encoding.h"
#include "core/context.h"
#include "core/message_port.h"
#include "devices/known_devices.h"
#include "devices/time_base.h"

namespace merlinox::inline devices {

namespace {

constexpr std::uint32_t kImageBytes = 262144;  // the memory image: the largest flash or EEPROM

int Refuse(Context& ctx, int result) {
    ShowInfo(ctx, ctx.messageBuffer.View());
    return result;
}

// "<text>\n\n in '<library>' Datei", the ending of most of the parser's messages.
int RefuseInFile(Context& ctx, const char* text) {
    ctx.messageBuffer.Format("%s\n\n in '%s' Datei", text, ctx.library.libraryPath.c_str());
    return Refuse(ctx, kColumnOutOfRange);
}

std::uint32_t Number(const Context& ctx) { return CNumberFromText(ctx.library.column); }

std::uint8_t LowByte(const Context& ctx) { return static_cast<std::uint8_t>(Number(ctx) & 0xFF); }

std::uint32_t Delay(const Context& ctx) {
    const std::uint32_t microseconds = Number(ctx);
    return microseconds > 1 ? TimeBase(ctx, microseconds) : microseconds;
}

std::uint8_t PinCount(std::string_view package) {
    if (package == "DIP8") return 8;
    if (package == "DIP20" || package == "DIP20a") return 20;
    if (package == "DIP28") return 28;
    if (package == "DIP40") return 40;
    return 0;
}

std::int32_t ModeOf(std::string_view keyword) {
    constexpr std::string_view kModes[] = {"PAR1", "PAR2", "PAR3",  "PAR4",
                                           "SPI1", "SPI2", "MSPI1", "MSPI2"};
    for (std::int32_t i = 0; i < 8; ++i) {
        if (keyword == kModes[i]) return i + 1;
    }
    return kNoMode;
}

std::int32_t ExtraOf(std::string_view keyword) {
    if (keyword == "READFUSE") return kReadFuse;
    if (keyword == "NOFUSE") return kNoFuse;
    return kNoFuseAccess;
}

// A page (0 where the mode has none) must divide the memory it is written into: the
// paged passes write whole pages, and a page longer than the memory would run past it.
bool PageFits(std::uint32_t page, std::uint32_t memory) {
    return page == 0 || (page <= memory && memory % page == 0);
}

// How the refusal of a page that does not fit names its memory and units.
struct PageWording {
    const char* memory;   // "Programmspeicher"
    const char* unit;     // "Worte"
    const char* whole;    // "Bausteingröße"
    const char* ofUnits;  // "Worten"
};

// Fills the message and returns false when the page does not fit the memory.
bool CheckPage(MessageBuffer& message, const DeviceRecord& target, std::uint32_t page,
               std::uint32_t memory, const PageWording& words, const char* path) {
    if (PageFits(page, memory)) return true;
    message.Format(
        "%s\n\nSeitengröße %s %lu %s passt nicht\n"
        "zur %s von %lu %s !\n\n in '%s' Datei",
        target.name.c_str(), words.memory, static_cast<unsigned long>(page), words.unit,
        words.whole, static_cast<unsigned long>(memory), words.ofUnits, path);
    return false;
}

}  // namespace

bool NextField(Context& ctx) {
    LibraryState& lib = ctx.library;
    lib.column.clear();
    const auto size = static_cast<std::ptrdiff_t>(lib.line.size());
    for (;;) {
        const auto position = static_cast<std::ptrdiff_t>(lib.readPosition);
        if (position >= size) return false;
        const char c = lib.line[lib.readPosition++];
        if (c == ';') return position + 1 <= lib.endPosition;
        lib.column += c;
        if (position + 1 > lib.endPosition) return false;
    }
}

int ReadCSV(Context& ctx, DeviceRecord& target) {
    LibraryState& lib = ctx.library;
    lib.readPosition = 0;
    lib.endPosition = static_cast<std::ptrdiff_t>(lib.line.size()) - 2;
    MessageBuffer& message = ctx.messageBuffer;
    const char* path = lib.libraryPath.c_str();

    if (!NextField(ctx)) return kLibraryFailed;
    target.name = DecodeWindows1252(lib.column);

    if (!NextField(ctx)) return kLibraryFailed;
    target.pinCount = PinCount(lib.column);
    if (target.pinCount == 0) return RefuseInFile(ctx, "Unbekannte Gehäuseform");

    if (!NextField(ctx)) return kLibraryFailed;
    std::uint32_t value = Number(ctx);
    if (value > 25500) return RefuseInFile(ctx, "Die Programmierspannung\nist viel zu groß !");
    target.programmingVoltageCode = static_cast<std::uint8_t>(value / 100);

    if (!NextField(ctx)) return kLibraryFailed;
    value = Number(ctx);
    if (value > 12750)
        return RefuseInFile(ctx, "Die Betriebsspannung im\nProgrammiermodus ist zu groß !");
    if (value == 0) return RefuseInFile(ctx, "Die Betriebsspannung im\nProgrammiermodus ist 0 !");
    target.supplyVoltageCode = static_cast<std::uint8_t>(value / 50);

    if (!NextField(ctx)) return kLibraryFailed;
    target.flashWriteDelay = Delay(ctx);
    if (!NextField(ctx)) return kLibraryFailed;
    target.eepromWriteDelay = Delay(ctx);
    if (!NextField(ctx)) return kLibraryFailed;
    target.eraseDelay = Delay(ctx);

    if (!NextField(ctx)) return kLibraryFailed;
    target.flashWords = Number(ctx) / 2;
    if (target.flashWords * 2 > kImageBytes) {
        message.Format(
            "%s\n\nBausteingröße überschreitet %ld (0x%lX) Worte !\n\n"
            "Bausteine dieser Größe werden nicht unterstützt !\n",
            target.name.c_str(), static_cast<long>(kImageBytes),
            static_cast<unsigned long>(kImageBytes));
        return Refuse(ctx, kColumnOutOfRange);
    }
    if (target.flashWords == 0) {
        message.Format("%s\n\nBausteingröße ist 0 !\n\n in %s", target.name.c_str(), path);
        return Refuse(ctx, kColumnOutOfRange);
    }

    if (!NextField(ctx)) return kLibraryFailed;
    target.eepromBytes = Number(ctx);
    if (target.eepromBytes > kImageBytes) {
        message.Format(
            "%s\n\nDaten EEPROM überschreitet %ld (0x%lX) Bytes !\n\n"
            "Bausteine dieser Größe werden nicht unterstützt !\n",
            target.name.c_str(), static_cast<long>(kImageBytes),
            static_cast<unsigned long>(kImageBytes));
        return Refuse(ctx, kColumnOutOfRange);
    }

    if (!NextField(ctx)) return kLibraryFailed;
    target.manufacturerId = LowByte(ctx);
    if (!NextField(ctx)) return kLibraryFailed;
    target.deviceId = LowByte(ctx);
    if (!NextField(ctx)) return kLibraryFailed;
    target.subId = LowByte(ctx);
    target.deviceCode = target.deviceId * 256u + target.subId;
    if (!IsKnownDeviceCode(target.deviceCode)) {
        message.Format("Devicecode 0x%04X fehlt in ReadCSV",
                       static_cast<unsigned>(target.deviceCode));
        return Refuse(ctx, kLibraryFailed);
    }

    if (!NextField(ctx)) return kLibraryFailed;
    target.fuseD0 = LowByte(ctx);
    if (target.fuseD0 > 2) {
        message.Format(
            "%s\n\nFalscher Wert für FUSED0 in \n\n%s !\n\nEintrag darf nur von 0-%d gehen.\n"
            "Gelesener Wert: %d",
            target.name.c_str(), path, 2, target.fuseD0);
        return Refuse(ctx, kColumnOutOfRange);
    }

    if (!NextField(ctx)) return kLibraryFailed;
    target.programmingMode = ModeOf(lib.column);
    if (target.programmingMode == kNoMode) {
        const std::string mode = DecodeWindows1252(lib.column);
        message.Format("Unbekannter Programmiermode !\n\nMode = %s\n\n%s", mode.c_str(), path);
        return Refuse(ctx, kLibraryFailed);
    }

    if (!NextField(ctx)) return kLibraryFailed;
    target.extra = ExtraOf(lib.column);
    if (target.extra == kNoFuseAccess) {
        const std::string extra = DecodeWindows1252(lib.column);
        message.Format("Unbekannter Eintrag unter Extra !\n\nExtra = %s\n\n%s", extra.c_str(),
                       path);
        return Refuse(ctx, kLibraryFailed);
    }

    if (!NextField(ctx)) return kLibraryFailed;
    target.sckLowClocks = Number(ctx);
    if (!NextField(ctx)) return kLibraryFailed;
    target.sckHighClocks = Number(ctx);
    if (!NextField(ctx)) return kLibraryFailed;
    target.flashPageWords = Number(ctx);
    if (!NextField(ctx)) return kLibraryFailed;
    target.eepromPageBytes = Number(ctx);
    if (!CheckPage(message, target, target.flashPageWords, target.flashWords,
                   {"Programmspeicher", "Worte", "Bausteingröße", "Worten"}, path) ||
        !CheckPage(message, target, target.eepromPageBytes, target.eepromBytes,
                   {"EEPROM", "Bytes", "EEPROM-Größe", "Bytes"}, path)) {
        return Refuse(ctx, kColumnOutOfRange);
    }

    if (!NextField(ctx)) return kLibraryFailed;
    target.extendedAddressing = Number(ctx);
    if (target.extendedAddressing > 1) {
        return RefuseInFile(ctx, "Extended Adress Mode darf nur 0 oder 1 sein !");
    }
    if (!NextField(ctx)) return kLibraryFailed;
    target.spiSyncMode = Number(ctx);
    if (target.spiSyncMode > 1) return RefuseInFile(ctx, "SPI Sync Modus darf nur 0 oder 1 sein !");
    if (!NextField(ctx)) return kLibraryFailed;
    target.fuseCount = LowByte(ctx);
    if (target.fuseCount > 3) return RefuseInFile(ctx, "Fuses darf nur zwischen 0 und 3 sein !");

    target.lockDefault = 0xFF;
    std::uint8_t* const fuseColumns[] = {&target.lockFixedBits,     &target.lowFuseDefault,
                                         &target.lowFuseFixedBits,  &target.highFuseDefault,
                                         &target.highFuseFixedBits, &target.extFuseDefault,
                                         &target.extFuseFixedBits};
    for (std::uint8_t* field : fuseColumns) {
        if (!NextField(ctx)) return kLibraryFailed;
        *field = LowByte(ctx);
    }
    return kOk;
}

}  // namespace merlinox::inline devices
