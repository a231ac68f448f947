#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "core/memory_image.h"

namespace merlinox::inline core {
struct Context;
}  // namespace merlinox::inline core

namespace merlinox::inline files {

class CellSource;

// The writers of a save. Each takes cellCount cells (flash words or EEPROM bytes) from
// source in address order, collects them in ctx.image as its buffer and writes them to
// path, replacing the file. The format of SaveHex is the "DataFormat" setting (3 to 8);
// "FFSave" and "HexLineLen" apply. Each returns kSaveOk, kSaveFailed (failed or
// cancelled; SaveROMHex returns kSaveOk after a cancel) or kNoProgrammingMode. SaveBin
// returns kSaveBlank, without a message and without a file, for a memory of blank
// cells only when "FFSave" is off: whether that fails the save is the caller's choice.
int SaveBin(Context& ctx, const std::string& path, MemoryKind kind, std::uint32_t cellCount,
            CellSource& source);
int SaveROMHex(Context& ctx, const std::string& path, MemoryKind kind, std::uint32_t cellCount,
               CellSource& source);
int SaveHex(Context& ctx, const std::string& path, MemoryKind kind, std::uint32_t cellCount,
            CellSource& source);

constexpr int kSaveBlank = 40;

// The message for a binary save refused because the memory holds blank cells only.
void ShowBlankMemoryRefusal(Context& ctx, MemoryKind kind);

// The formats with 16-bit addresses (Intel8, Motorola S1) hold at most 64 KB.
constexpr std::uint32_t kSixteenBitFormatLimit = 0x10000;
constexpr std::string_view kSixteenBitFormatRefusal =
    "Programmspeicher oder EEPROM haben mehr als 64kB !\nDas ausgewählte Datenformat unterstützt "
    "mur 64kB Daten.\nZum auslesen des Bausteines sind folgende Datei-Formate geeignet:\n\nBinär\n"
    "Atmel ROM\nIntel MCS86\nIntel32\nMotorola S2\nMotorola S3\n\n\n*** Vorgang abgebrochen ! ***";
constexpr std::string_view kUnknownFormat = "Unbekanntes HEX-Fomat in **pendrake.ini**";

}  // namespace merlinox::inline files
