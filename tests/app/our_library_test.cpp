#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "devices/known_devices.h"
#include "devices/library_reader.h"
#include "sim/chip_model.h"
#include "support/operation_rig.h"
#include "support/test_context.h"

namespace merlinox {
namespace {

using testing::ScriptedUi;

const std::string kLibraryPath = std::string(KESTREL_SOURCE_DIR) + "/data/at90list.csv";

// Every active device line of data/at90list.csv with its parse result, in file order.
struct Entry {
    DeviceRecord record;
    int result;
};

std::vector<Entry> ReadOurLibrary(ScriptedUi& ui) {
    testing::TestContext ctx(ui);
    ctx.library.libraryPath = kLibraryPath;
    int manufacturers = 0;
    if (OpenLibrary(ctx) == 0) {
        while (NextManufacturer(ctx) == 0) ++manufacturers;
        CloseLibrary(ctx);
    }
    std::vector<Entry> entries;
    for (int m = 0; m < manufacturers; ++m) {
        ctx.settings.manufIndex = m;
        OpenLibrary(ctx);
        FindManufacturer(ctx);
        DeviceRecord scratch;
        for (int result; (result = NextDevice(ctx, scratch)) != kLibraryEnd;)
            entries.push_back({scratch, result});
        CloseLibrary(ctx);
    }
    return entries;
}

// "ATmega8 (ISP)" names the part ATmega8.
std::string PartOf(const std::string& name) { return name.substr(0, name.find(" (")); }

bool IsPaged(std::int32_t mode) { return mode == kPar4 || mode == kMspi1 || mode == kMspi2; }

TEST(OurLibrary, EveryActiveLineParsesWithThePartsFactsAndTheBoardsRules) {
    std::ifstream file(kLibraryPath, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n") << "the last line would lose its flag";
    for (std::size_t at = bytes.find('\n'); at != std::string::npos;
         at = bytes.find('\n', at + 1)) {
        EXPECT_EQ(bytes[at - 1], '\r') << "line end without CR at byte " << at;
    }

    ScriptedUi ui;
    const std::vector<Entry> entries = ReadOurLibrary(ui);
    EXPECT_TRUE(ui.shown.empty()) << ui.shown.front().text;
    std::set<std::uint32_t> codes;
    std::set<int> variants9103;
    std::set<std::string> sections;
    std::set<std::string> parts;
    for (const auto& [r, result] : entries) {
        EXPECT_EQ(result, 0) << r.name;
        // Sizes and fuse count are the part's facts; a wrong signature fails the programming
        // of every line below.
        const sim::ChipFacts* facts = sim::FindChipByName(PartOf(r.name));
        ASSERT_NE(facts, nullptr) << r.name;
        parts.insert(facts->part);
        EXPECT_EQ(r.flashWords * 2, facts->flashBytes) << r.name;
        EXPECT_EQ(r.eepromBytes, facts->eepromBytes) << r.name;
        EXPECT_EQ(r.flashPageWords, facts->flashPageWords) << r.name;
        EXPECT_EQ(r.fuseCount, facts->fuseBytes) << r.name;
        codes.insert(r.deviceCode);
        if (r.deviceCode == 0x9103) variants9103.insert(r.fuseD0);
        std::string folded = r.name;
        std::transform(folded.begin(), folded.end(), folded.begin(),
                       [](unsigned char c) { return std::tolower(c); });
        EXPECT_TRUE(sections.insert(folded).second) << "two lines share the INI section " << r.name;
        // 8-pin parts go into socket 1 (high-voltage serial or SPI2/MSPI2), the others
        // over the SPI adapter or in parallel; byte-wise modes for byte-wise flash.
        const std::int32_t mode = r.programmingMode;
        if (r.pinCount == 8) {
            EXPECT_TRUE(mode == kPar3 || mode == kPar4 || mode == kSpi2 || mode == kMspi2)
                << r.name;
        } else {
            EXPECT_TRUE(mode == kSpi1 || mode == kMspi1 ||
                        mode == (r.pinCount == 20 ? kPar1 : kPar2))
                << r.name;
        }
        if (mode != kPar1 && mode != kPar2) {
            EXPECT_EQ(IsPaged(mode), r.flashPageWords > 0) << r.name;
        }
        if (mode == kPar4) {
            EXPECT_GT(r.eepromPageBytes, 0u) << r.name;
        }
        // "Standard" programs what it shows: no default bit is forced to 1.
        EXPECT_EQ(r.lowFuseDefault | r.lowFuseFixedBits, r.lowFuseDefault) << r.name;
        EXPECT_EQ(r.highFuseDefault | r.highFuseFixedBits, r.highFuseDefault) << r.name;
        EXPECT_EQ(r.extFuseDefault | r.extFuseFixedBits, r.extFuseDefault) << r.name;
    }
    for (const std::uint16_t code : KnownDeviceCodes()) {
        EXPECT_EQ(codes.count(code), code == 0x9607 ? 0u : 1u)
            << std::hex << code;  // 0x9607: no part known
    }
    EXPECT_EQ(variants9103, (std::set<int>{0, 1}));
    EXPECT_EQ(parts.size(), sim::ChipCatalogue().size()) << "a part of the facts has no line";
}

// Every line programs flash, EEPROM, its fuse defaults and Lock1 into its own part on
// the simulated board: power-on, signature check, erase, the passes and power-off of
// its mode, as the "Brennen" button runs them; then verifies, erases and blank-checks.
TEST(OurLibrary, EveryLineProgramsItsOwnPartOnTheSimulatedBoard) {
    ScriptedUi parseUi;
    const std::vector<std::uint8_t> flash = testing::TestPattern(64, 1);
    const std::vector<std::uint8_t> eeprom = testing::TestPattern(16, 2);
    int lines = 0;
    std::set<std::int32_t> modes;
    for (const Entry& e : ReadOurLibrary(parseUi)) {
        const std::string& name = e.record.name;
        SCOPED_TRACE(name);
        testing::OperationRig rig(name);
        rig.InsertChip(PartOf(name));
        rig.dir.Write("fw.bin", testing::Bytes(flash));
        if (e.record.eepromBytes > 0) rig.dir.Write("fw.eep", testing::Bytes(eeprom));
        rig.UseDataFile(rig.dir.Path("fw.bin"));
        rig.ctx.settings.lockBits = 0xFE;
        if (PartOf(name) == "ATtiny22") {
            // The line carries the code it shares with the AT90S2343; the chip answers
            // 1E 91 06, a code the protocols do not know. "ID prüfen" must be off for it.
            rig.ui.Answer(kIdOk);
            EXPECT_NE(rig.handlers.OnProgramButton(), 0);
            EXPECT_TRUE(
                rig.Showed("Prozessor-ID's stimmen nicht !!!\n\n"
                           "Richtig:\tHersteller-ID 0x1E\tBaustein-ID 0x91\tSub-ID 0x03\n"
                           "Gelesen:\tHersteller-ID 0x1E\tBaustein-ID 0x91\tSub-ID 0x06\n"));
            rig.ctx.settings.idCheck = 0;
        }
        rig.ui.shown.clear();
        rig.ui.Answer(kIdOk);
        EXPECT_EQ(rig.handlers.OnProgramButton(), 0);
        std::vector<std::string> notices;
        for (const auto& box : rig.ui.shown) {
            if (box.kind != BoxKind::OkCancel) notices.push_back(box.text);
        }
        EXPECT_EQ(notices, std::vector<std::string>{"Keine Fehler beim Brennen"});
        const auto& contents = rig.Contents();
        EXPECT_TRUE(std::equal(flash.begin(), flash.end(), contents.flash.begin()));
        if (e.record.eepromBytes > 0) {
            EXPECT_TRUE(std::equal(eeprom.begin(), eeprom.end(), contents.eeprom.begin()));
        }
        EXPECT_EQ(contents.lock & 0x01, 0) << "Lock1 not programmed";
        EXPECT_EQ(rig.Chip().Mode(), sim::ChipMode::kOff) << "still powered";
        ++lines;
        // Lock1 leaves reads allowed; the erase clears it and leaves the chip blank. Once
        // per mode: a blank check of the largest parts takes seconds.
        if (!modes.insert(e.record.programmingMode).second) continue;
        for (auto button : {&OperationHandlers::OnVerifyButton, &OperationHandlers::OnEraseButton,
                            &OperationHandlers::OnBlankCheckButton}) {
            rig.ui.Answer(kIdOk);
            EXPECT_EQ((rig.handlers.*button)(), 0) << ::testing::PrintToString(rig.Messages());
        }
        EXPECT_EQ(rig.Contents().lock & 0x03, 0x03);
        EXPECT_TRUE(rig.Showed("Baustein ist leer"));
    }
    EXPECT_GT(lines, 71);
    EXPECT_EQ(modes.size(), 8u);
}

}  // namespace
}  // namespace merlinox
