#include "devices/fuse_layout.h"

#include "core/device_record.h"
#include "core/programming_interface.h"

namespace merlinox::inline devices {

namespace {

constexpr BitLayout On(std::string_view label) { return {label, true}; }
// Shown so that the user sees the bit, but it may not be changed in this mode: a wrong
// value would lock the chip out of the programming interface in use.
constexpr BitLayout Shown(std::string_view label) { return {label, false}; }
constexpr BitLayout NA = {};

// Lock byte. Bits 0 and 1 are the panel's permanent Lock1 and Lock2.
constexpr ByteLayout K1{"K1", {On("Lock1"), On("Lock2"), NA, NA, NA, NA, NA, NA}};
constexpr ByteLayout K2{
    "K2", {On("Lock1"), On("Lock2"), On("BLB01"), On("BLB02"), On("BLB11"), On("BLB12"), NA, NA}};

// Fuse low byte.
constexpr ByteLayout L1{"L1", {NA, NA, NA, NA, NA, NA, NA, NA}};
constexpr ByteLayout L2{"L2",
                        {On("CKSEL0"), On("CKSEL1"), On("CKSEL2"), On("CKSEL3"), Shown("RSTDISBL"),
                         On("SPIEN"), On("BODEN"), On("BODLEVEL")}};
constexpr ByteLayout L3{"L3",
                        {On("CKSEL0"), On("CKSEL1"), NA, NA, Shown("RSTDISBL"), On("SPIEN"),
                         On("BODEN"), On("BODLEVEL")}};
constexpr ByteLayout L4{"L4",
                        {On("CKSEL0"), On("CKSEL1"), On("SUT0"), On("SUT1"), On("CKDIV8"),
                         On("WDTON"), On("EESAVE"), Shown("SPIEN")}};
constexpr ByteLayout L5{"L5", {On("FSTRT"), NA, NA, NA, NA, NA, NA, NA}};
constexpr ByteLayout L6{"L6", {On("RCEN"), NA, NA, NA, NA, NA, NA, NA}};
constexpr ByteLayout L7{
    "L7", {On("CKSEL0"), On("CKSEL1"), On("CKSEL2"), On("BODEN"), On("BODLEVEL"), NA, NA, NA}};
constexpr ByteLayout L8{"L8",
                        {On("CKSEL0"), On("CKSEL1"), On("CKSEL2"), On("CKSEL3"), On("SUT0"),
                         On("SUT1"), On("CKOUT"), On("CKDIV8")}};
constexpr ByteLayout L9{"L9",
                        {On("CKSEL0"), On("CKSEL1"), On("CKSEL2"), On("CKSEL3"), On("SUT0"),
                         On("SUT1"), On("CKOPT"), On("PLLCK")}};
constexpr ByteLayout L10{"L10",
                         {On("CKSEL0"), On("CKSEL1"), On("CKSEL2"), On("CKSEL3"), On("SUT0"),
                          On("SUT1"), On("BODEN"), On("BODLEVEL")}};
constexpr ByteLayout L11{
    "L11",
    {On("CKSEL0"), On("CKSEL1"), On("CKSEL2"), On("BODEN"), On("BODLEVEL"), NA, On("BOOTRST"), NA}};
constexpr ByteLayout L12{
    "L12",
    {On("CKSEL0"), On("CKSEL1"), On("CKSEL2"), On("CKSEL3"), NA, NA, On("BODEN"), On("BODLEVEL")}};
constexpr ByteLayout L13{"L13",
                         {On("CKSEL0"), On("CKSEL1"), On("CKSEL2"), On("CKSEL3"), On("SUT0"),
                          On("SUT1"), On("CKOUT"), On("CKDIV16")}};
constexpr ByteLayout L14{"L14", {On("SUT0"), On("SUT1"), NA, On("EESAVE"), NA, NA, NA, NA}};
constexpr ByteLayout L15{"L15", {On("RCEN"), NA, NA, NA, NA, On("SPIEN"), NA, NA}};
constexpr ByteLayout L16{"L16", {On("FSTRT"), NA, NA, NA, NA, On("SPIEN"), NA, NA}};
constexpr ByteLayout L17{
    "L17", {On("CKSEL0"), On("CKSEL1"), On("CKSEL2"), On("RSTDISBL"), On("FSTRT"), NA, NA, NA}};
constexpr ByteLayout L18{"L18",
                         {On("CKSEL0"), On("CKSEL1"), On("CKSEL2"), On("CKSEL3"), On("RSTDISBL"),
                          On("SPIEN"), On("BODEN"), On("BODLEVEL")}};
constexpr ByteLayout L19{
    "L19",
    {On("CKSEL0"), On("CKSEL1"), NA, NA, On("RSTDISBL"), On("SPIEN"), On("BODEN"), On("BODLEVEL")}};
constexpr ByteLayout L20{"L20", {NA, NA, NA, NA, NA, On("SPIEN"), NA, NA}};

// Fuse high byte.
constexpr ByteLayout H1{"H1", {NA, NA, NA, NA, NA, NA, NA, NA}};
constexpr ByteLayout H2{
    "H2",
    {Shown("RSTDISBL"), On("BODLEVEL0"), On("BODLEVEL1"), Shown("DWEN"), On("SPMEN"), NA, NA, NA}};
constexpr ByteLayout H3{"H3",
                        {On("BODLEVEL0"), On("BODLEVEL1"), On("BODLEVEL2"), On("EESAVE"),
                         On("WDTON"), On("SPIEN"), On("DWEN"), Shown("RSTDISBL")}};
constexpr ByteLayout H4{
    "H4",
    {On("BODEN"), On("BODLEVEL"), On("EESAVE"), Shown("SPIEN"), Shown("RSTDISBL"), NA, NA, NA}};
constexpr ByteLayout H5{"H5",
                        {Shown("RSTDISBL"), On("BODLEVEL0"), On("BODLEVEL1"), On("BODLEVEL2"),
                         On("WDTON"), On("SPIEN"), On("EESAVE"), On("DWEN")}};
constexpr ByteLayout H6{"H6",
                        {On("BODLEVEL0"), On("BODLEVEL1"), On("BODLEVEL2"), On("EESAVE"),
                         On("WDTON"), Shown("SPIEN"), On("DWEN"), Shown("RSTDISBL")}};
constexpr ByteLayout H7{"H7",
                        {On("BOOTRST"), On("BOOTSZ0"), On("BOOTSZ1"), On("EESAVE"), On("CKOPT"),
                         Shown("SPIEN"), On("WDTON"), On("S8515C")}};
constexpr ByteLayout H8{"H8",
                        {On("BOOTRST"), On("BOOTSZ0"), On("BOOTSZ1"), On("EESAVE"), On("CKOPT"),
                         Shown("SPIEN"), On("WDTON"), Shown("RSTDISBL")}};
constexpr ByteLayout H9{"H9",
                        {On("BOOTRST"), On("BOOTSZ0"), On("BOOTSZ1"), On("EESAVE"), On("CKOPT"),
                         Shown("SPIEN"), On("WDTON"), On("S8535C")}};
constexpr ByteLayout H10{"H10",
                         {On("BODLEVL0"), On("BODLEVL1"), On("BODLEVL2"), On("EESAVE"), On("WDTON"),
                          Shown("SPIEN"), On("DWEN"), Shown("RSTDISBL")}};
constexpr ByteLayout H11{"H11", {On("BOOTRST"), On("BOOTSZ0"), On("BOOTSZ1"), NA, NA, NA, NA, NA}};
constexpr ByteLayout H12{"H12",
                         {On("BOOTRST"), On("BOOTSZ0"), On("BOOTSZ1"), On("EESAVE"), On("CKOPT"),
                          Shown("SPIEN"), On("JTAGEN"), On("OCDEN")}};
constexpr ByteLayout H13{"H13",
                         {On("BOOTRST"), On("BOOTSZ0"), On("BOOTSZ1"), On("EESAVE"), On("WDTON"),
                          Shown("SPIEN"), On("JTAGEN"), On("OCDEN")}};
constexpr ByteLayout H14{"H14",
                         {On("BOOTRST"), On("BOOTSZ0"), On("BOOTSZ1"), On("EESAVE"), On("WDTON"),
                          Shown("SPIEN"), Shown("RSTDSBL"), On("DWEN")}};
constexpr ByteLayout H15{
    "H15",
    {On("BOOTRST"), On("BOOTSZ0"), On("BOOTSZ1"), On("EESAVE"), NA, NA, On("JTAGEN"), On("OCDEN")}};
constexpr ByteLayout H16{"H16",
                         {On("BOOTRST"), On("BOOTSZ0"), On("BOOTSZ1"), On("EESAVE"), On("WDTON"),
                          Shown("SPIEN"), On("DWEN"), Shown("RSTDISBL")}};
constexpr ByteLayout H17{"H17",
                         {On("BOOTRST"), On("BOOTSZ0"), On("BOOTSZ1"), On("EESAVE"), On("CKOPT"),
                          NA, On("JTAGEN"), On("OCDEN")}};
constexpr ByteLayout H18{
    "H18",
    {On("RSTDISBL"), On("BODLEVEL0"), On("BODLEVEL1"), Shown("DWEN"), On("SPMEN"), NA, NA, NA}};
constexpr ByteLayout H19{"H19",
                         {On("BODLEVEL0"), On("BODLEVEL1"), On("BODLEVEL2"), On("EESAVE"),
                          On("WDTON"), On("SPIEN"), On("DWEN"), On("RSTDISBL")}};

// Extended fuse byte.
constexpr ByteLayout E1{"E1", {NA, NA, NA, NA, NA, NA, NA, NA}};
constexpr ByteLayout E2{"E2", {On("SELFPRGEN"), NA, NA, NA, NA, NA, NA, NA}};
constexpr ByteLayout E3{"E3", {On("BOOTRST"), On("BOOTSZ0"), On("BOOTSZ1"), NA, NA, NA, NA, NA}};
constexpr ByteLayout E4{"E4",
                        {Shown("BOOTRST"), On("BOOTSZ0"), On("BOOTSZ1"), NA, Shown("PSCRV"),
                         On("PSCR0B"), On("PSCR1B"), On("PSCR2B")}};
constexpr ByteLayout E5{
    "E5", {NA, On("BODLEVL0"), On("BODLEVL1"), On("BODLEVL2"), On("M161C"), NA, NA, NA}};
constexpr ByteLayout E6{
    "E6", {Shown("RSTDISBL"), On("BODLEVL0"), On("BODLEVL1"), On("BODLEVL2"), NA, NA, NA, NA}};
constexpr ByteLayout E7{
    "E7", {Shown("RESERVED"), On("BODLEVL0"), On("BODLEVL1"), On("BODLEVL2"), NA, NA, NA, NA}};
constexpr ByteLayout E8{"E8", {On("BODLEVL0"), On("BODLEVL1"), On("BODLEVL2"), NA, NA, NA, NA, NA}};
constexpr ByteLayout E9{
    "E9", {Shown("BODLEVL0"), On("BODLEVL1"), On("BODLEVL2"), On("HWBE"), NA, NA, NA, NA}};
constexpr ByteLayout E10{"E10",
                         {Shown("RSTDISBL"), On("BODLEVL0"), On("BODLEVL1"), NA, NA, NA, NA, NA}};
constexpr ByteLayout E11{"E11",
                         {On("BODLEVEL0"), On("BODLEVEL1"), On("BODLEVEL2"), NA, NA, NA, NA, NA}};
constexpr ByteLayout E12{
    "E12", {Shown("TA0SEL"), On("BODLEVL0"), On("BODLEVL1"), On("BODLEVL2"), NA, NA, NA, NA}};
constexpr ByteLayout E13{"E13", {On("WDTON"), On("M103C"), NA, NA, NA, NA, NA, NA}};

constexpr int kAnyFuseD0 = -1;

struct CodeKey {
    std::uint16_t code = 0;  // 0 ends a list
    int fuseD0 = kAnyFuseD0;
};

// Several device codes that share one row.
struct RowEntry {
    ModeGroup group;
    std::array<CodeKey, 9> codes;
    FuseRow row;
};

constexpr ModeGroup S = ModeGroup::Serial;
constexpr ModeGroup P12 = ModeGroup::Par12;
constexpr ModeGroup P3 = ModeGroup::Par3;
constexpr ModeGroup P4 = ModeGroup::Par4;

constexpr RowEntry kRows[] = {
    {S,
     {{{0x9001}, {0x9101}, {0x9103, 0}, {0x9103, 2}, {0x9201}, {0x9301}}},
     {{&K1, &L1, &H1, &E1}}},
    {S, {{{0x9005}}}, {{&K1, &L2, &H1, &E1}}},
    {S, {{{0x9006}}}, {{&K1, &L3, &H1, &E1}}},
    {S, {{{0x9007}}}, {{&K1, &L4, &H2, &E1}}},
    {S, {{{0x9102}, {0x9202}, {0x9303}}}, {{&K1, &L5, &H1, &E1}}},
    {S, {{{0x9103, 1}}}, {{&K1, &L6, &H1, &E1}}},
    {S, {{{0x9105}, {0x9203}}}, {{&K1, &L7, &H1, &E1}}},
    {S,
     {{{0x9108}, {0x910B}, {0x910C}, {0x9206}, {0x9207}, {0x9208}, {0x930B}, {0x930C}, {0x930D}}},
     {{&K1, &L8, &H3, &E2}}},
    {S, {{{0x9109}}}, {{&K1, &L9, &H4, &E1}}},
    {S, {{{0x910A}}}, {{&K1, &L8, &H5, &E2}}},
    {S, {{{0x9205}, {0x920A}}}, {{&K1, &L8, &H6, &E2}}},
    {S, {{{0x9306}}}, {{&K2, &L10, &H7, &E1}}},
    {S, {{{0x9307}}}, {{&K2, &L10, &H8, &E1}}},
    {S, {{{0x9308}}}, {{&K2, &L10, &H9, &E1}}},
    {S, {{{0x930A}, {0x930F}, {0x9406}, {0x940B}}}, {{&K2, &L8, &H6, &E3}}},
    {S, {{{0x9381}, {0x9383}}}, {{&K2, &L8, &H10, &E4}}},
    {S, {{{0x9401}}}, {{&K2, &L11, &H1, &E1}}},
    {S, {{{0x9402}}}, {{&K2, &L12, &H11, &E1}}},
    {S, {{{0x9403}, {0x9502}}}, {{&K2, &L10, &H12, &E1}}},
    {S, {{{0x9404}}}, {{&K2, &L13, &H13, &E5}}},
    {S, {{{0x9405}}}, {{&K2, &L8, &H13, &E6}}},
    {S, {{{0x9407}}}, {{&K2, &L8, &H13, &E7}}},
    {S,
     {{{0x940A}, {0x9508}, {0x9607}, {0x9609}, {0x960A}, {0x9703}, {0x9704}, {0x9801}, {0x9802}}},
     {{&K2, &L8, &H13, &E8}}},
    {S, {{{0x9482}}}, {{&K2, &L8, &H14, &E9}}},
    {S, {{{0x9501}}}, {{&K2, &L12, &H15, &E1}}},
    {S,
     {{{0x9503}, {0x9504}, {0x950B}, {0x950C}, {0x950D}, {0x950E}, {0x9603}, {0x9604}}},
     {{&K2, &L8, &H13, &E10}}},
    {S, {{{0x950F}}}, {{&K2, &L8, &H16, &E11}}},
    {S, {{{0x9581}, {0x9681}, {0x9781}}}, {{&K2, &L8, &H13, &E12}}},
    {S, {{{0x9601}, {0x9701}}}, {{&K1, &L14, &H1, &E1}}},
    {S, {{{0x9602}, {0x9702}}}, {{&K2, &L10, &H17, &E13}}},
    {S, {{{0x9782}}}, {{&K2, &L8, &H13, &E9}}},
    {P12, {{{0x9001}}}, {{&K1, &L15, &H1, &E1}}},
    {P12, {{{0x9101}, {0x9201}, {0x9202}, {0x9301}, {0x9303}}}, {{&K1, &L16, &H1, &E1}}},
    {P3, {{{0x9004}}}, {{&K1, &L17, &H1, &E1}}},
    {P3, {{{0x9005}}}, {{&K1, &L18, &H1, &E1}}},
    {P3, {{{0x9006}}}, {{&K1, &L19, &H1, &E1}}},
    {P3, {{{0x9102}}}, {{&K1, &L16, &H1, &E1}}},
    {P3, {{{0x9103, 0}}}, {{&K1, &L20, &H1, &E1}}},
    {P3, {{{0x9103, 1}}}, {{&K1, &L15, &H1, &E1}}},
    {P3, {{{0x9103, 2}}}, {{&K1, &L1, &H1, &E1}}},
    {P4, {{{0x9007}}}, {{&K1, &L4, &H18, &E1}}},
    {P4, {{{0x9108}, {0x9206}, {0x930B}}}, {{&K1, &L8, &H19, &E2}}},
};

// Only 0x9103 tells its variants apart by fuseD0; every other code ignores it.
bool Matches(const CodeKey& key, std::uint32_t deviceCode, std::uint8_t fuseD0) {
    if (key.code == 0 || key.code != deviceCode) return false;
    return key.fuseD0 == kAnyFuseD0 || key.fuseD0 == fuseD0;
}

}  // namespace

ModeGroup ModeGroupOf(std::int32_t programmingMode) {
    switch (InterfaceFamilyOf(programmingMode)) {
    case InterfaceFamily::kParallel:
        return ModeGroup::Par12;
    case InterfaceFamily::kHighVoltageSerial:
        return ModeGroup::Par3;
    case InterfaceFamily::kHighVoltagePaged:
        return ModeGroup::Par4;
    case InterfaceFamily::kSpi:
    case InterfaceFamily::kPagedSpi:
        return ModeGroup::Serial;
    case InterfaceFamily::kNone:
        break;
    }
    return ModeGroup::None;
}

std::string_view ModeGroupName(ModeGroup group) {
    switch (group) {
    case ModeGroup::Serial:
        return "SPI";
    case ModeGroup::Par12:
        return "PAR1,2";
    case ModeGroup::Par3:
        return "PAR3";
    case ModeGroup::Par4:
        return "PAR4";
    case ModeGroup::None:
        break;
    }
    return "";
}

const FuseRow* FindFuseRow(ModeGroup group, std::uint32_t deviceCode, std::uint8_t fuseD0) {
    if (group == ModeGroup::None) return nullptr;
    for (const RowEntry& entry : kRows) {
        if (entry.group != group) continue;
        for (const CodeKey& key : entry.codes) {
            if (Matches(key, deviceCode, fuseD0)) return &entry.row;
        }
    }
    return nullptr;
}

FuseBits DescribeFuseBits(const DeviceRecord& device) {
    FuseBits result;
    result.group = ModeGroupOf(device.programmingMode);
    result.row = FindFuseRow(result.group, device.deviceCode, device.fuseD0);
    for (int byte = 0; byte < kFuseByteCount; ++byte) {
        const ByteLayout* layout =
            result.row != nullptr ? result.row->bytes[static_cast<std::size_t>(byte)] : nullptr;
        for (int bit = 0; bit < 8; ++bit) {
            FuseBit& out = result.bits[static_cast<std::size_t>(byte * 8 + bit)];
            out.byte = static_cast<FuseByte>(byte);
            out.bit = bit;
            out.controlId =
                kFuseBoxIds[static_cast<std::size_t>(byte)][static_cast<std::size_t>(bit)];
            out.label = kUnusedBitLabel;
            out.enabled = false;
            if (layout != nullptr) {
                const BitLayout& cell = layout->bits[static_cast<std::size_t>(bit)];
                if (!cell.label.empty()) {
                    out.label = cell.label;
                    out.enabled = cell.enabled;
                }
            }
        }
    }
    // The two lock bits are offered for every device, with or without a row.
    result.bits[0].label = "Lock1";
    result.bits[0].enabled = true;
    result.bits[1].label = "Lock2";
    result.bits[1].enabled = true;
    return result;
}

std::string_view FuseByteKey(FuseByte byte) {
    switch (byte) {
    case FuseByte::Lock:
        return "LockBits";
    case FuseByte::Low:
        return "FuseLow";
    case FuseByte::High:
        return "FuseHigh";
    case FuseByte::Ext:
        return "FuseExt";
    }
    return "";
}

std::optional<FuseBoxPosition> FuseBoxOf(int controlId) {
    for (int byte = 0; byte < kFuseByteCount; ++byte) {
        for (int bit = 0; bit < 8; ++bit) {
            if (kFuseBoxIds[static_cast<std::size_t>(byte)][static_cast<std::size_t>(bit)] ==
                controlId) {
                return FuseBoxPosition{static_cast<FuseByte>(byte), bit};
            }
        }
    }
    return std::nullopt;
}

}  // namespace merlinox::inline devices
