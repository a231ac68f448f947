#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "sim/chip_catalogue.h"
#include "sim/chip_model.h"
#include "sim/chip_state_file.h"

namespace merlinox::sim {
namespace {

std::vector<std::string> Split(const std::string& line, char separator) {
    std::vector<std::string> cells;
    std::stringstream stream(line);
    std::string cell;
    while (std::getline(stream, cell, separator)) cells.push_back(cell);
    return cells;
}

long Number(const std::string& text, long empty = 0) {
    return text.empty() ? empty : std::stol(text, nullptr, 0);
}

// The generated table against the facts it was made from, column by column.
TEST(ChipCatalogue, MatchesTheFactsTable) {
    std::ifstream in(KESTREL_SOURCE_DIR "/data/avr-device-facts.tsv");
    ASSERT_TRUE(in);
    std::string line;
    std::getline(in, line);
    std::size_t row = 0;
    while (std::getline(in, line)) {
        const std::vector<std::string> c = Split(line, '\t');
        if (c.size() < 20 || c[3].empty()) continue;  // the unknown 0x9607
        ASSERT_LT(row, ChipCatalogue().size());
        const ChipFacts& f = ChipCatalogue()[row++];
        SCOPED_TRACE(c[1]);
        EXPECT_EQ(std::string(f.part), c[1]);
        const std::vector<std::string> sig = Split(c[2], ' ');
        const std::vector<long> got = {
            f.code, f.signature[0], f.signature[1], f.signature[2], f.flashBytes, f.eepromBytes,
            f.flashPageWords, f.eepromPageBytes, f.flashWriteUs, f.eepromWriteUs, f.chipEraseUs,
            f.fuseBytes, f.lowFuseDefault, f.highFuseDefault, f.extFuseDefault, f.lockBitsPresent,
            f.isp, f.hvpp, f.hvsp, f.dipPins, f.extendedAddress};
        std::vector<long> want = {Number(c[0])};
        for (const std::string& byte : sig) want.push_back(std::stol(byte, nullptr, 16));
        for (int i = 3; i <= 10; ++i) want.push_back(Number(c[i]));
        for (int i = 11; i <= 13; ++i) want.push_back(Number(c[i], -1));
        want.push_back(Number(c[14]));
        for (int i = 15; i <= 17; ++i) want.push_back(c[i] == "y");
        want.push_back(Number(c[18]));
        want.push_back(c[19] == "y");
        EXPECT_EQ(got, want);
    }
    EXPECT_EQ(row, ChipCatalogue().size());
}

TEST(ChipCatalogue, HoldsEveryPartButTheUnknownOneAndFindsThemByCodeOrName) {
    EXPECT_EQ(ChipCatalogue().size(), 71u);  // 72 rows of facts, less the empty 0x9607
    EXPECT_EQ(FindChipByCode(0x9607), nullptr);
    EXPECT_STREQ(FindChipByCode(0x9103)->part, "AT90S2343");
    EXPECT_STREQ(FindChipByName("attiny22")->part, "ATtiny22");
}

TEST(ChipStateFile, RoundTripsTheContents) {
    SimulatedChip chip(*FindChipByName("ATmega2560"));
    ChipContents& c = chip.Contents();
    c.flash[0] = 0x0C;
    c.flash[0x3FFFF] = 0x12;
    c.eeprom[0xFFF] = 0x34;
    c.fuses[2] = 0xF5;
    c.lock = 0xFC;
    std::string error;
    const std::string text = FormatChipState(chip.Facts(), c);
    const std::optional<ChipState> state = ParseChipState(text, error);
    ASSERT_TRUE(state) << error;
    EXPECT_EQ(state->facts, &chip.Facts());
    EXPECT_EQ(state->contents.flash, c.flash);
    EXPECT_EQ(state->contents.eeprom, c.eeprom);
    EXPECT_EQ(state->contents.fuses[2], 0xF5);
    EXPECT_EQ(state->contents.lock, 0xFC);
    EXPECT_LT(text.size(), 600u);  // erased lines are left out

    const std::string path = KESTREL_BINARY_DIR "/chip_state_test.txt";
    ASSERT_TRUE(SaveChipState(path, chip, error)) << error;
    const std::optional<ChipState> loaded = LoadChipState(path, error);
    ASSERT_TRUE(loaded) << error;
    EXPECT_EQ(loaded->contents.flash, c.flash);
}

TEST(ChipStateFile, RefusesMalformedFilesWithAReason) {
    const std::string good = "merlinox-chip 1\npart ATtiny13\nflash 0000 0102\nend\n";
    std::string error;
    ASSERT_TRUE(ParseChipState(good, error));
    const char* bad[] = {
        "",
        "merlinox-chip 2\npart ATtiny13\nend\n",
        "merlinox-chip 1\npart ATtiny99\nend\n",
        "merlinox-chip 1\nflash 0000 01\npart ATtiny13\nend\n",
        "merlinox-chip 1\npart ATtiny13\nflash 03FF 0102\nend\n",  // past the 1 KB flash
        "merlinox-chip 1\npart ATtiny13\nflash 0000 0G\nend\n",
        "merlinox-chip 1\npart ATtiny13\nflash 0000 010\nend\n",
        "merlinox-chip 1\npart ATtiny13\nfuses 6A FF\nend\n",
        "merlinox-chip 1\npart ATtiny13\nflash 0000 0102\n",  // cut short
        "merlinox-chip 1\npart ATtiny13\nend\nlock 00\n",
    };
    for (const char* text : bad) {
        error.clear();
        EXPECT_FALSE(ParseChipState(text, error)) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
    EXPECT_FALSE(LoadChipState(KESTREL_BINARY_DIR "/no/such/file", error));
}

}  // namespace
}  // namespace merlinox::sim
