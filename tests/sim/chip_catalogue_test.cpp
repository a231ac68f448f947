#include "sim/chip_catalogue.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

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

// A cell as the generator reads it: y or n, a number, or empty (-1 for a fuse default).
long Cell(const std::vector<std::string>& cells, int i) {
    if (cells[i] == "y" || cells[i] == "n") return cells[i] == "y";
    return cells[i].empty() ? (i >= 11 && i <= 13 ? -1 : 0) : std::stol(cells[i], nullptr, 0);
}

template <typename... T>
std::vector<long> Values(T... values) {
    return {static_cast<long>(values)...};
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
        const std::vector<long> got = Values(
            f.code, f.signature[0], f.signature[1], f.signature[2], f.flashBytes, f.eepromBytes,
            f.flashPageWords, f.eepromPageBytes, f.flashWriteUs, f.eepromWriteUs, f.chipEraseUs,
            f.fuseBytes, f.lowFuseDefault, f.highFuseDefault, f.extFuseDefault, f.lockBitsPresent,
            f.isp, f.hvpp, f.hvsp, f.dipPins, f.extendedAddress);
        std::vector<long> want = {Cell(c, 0)};
        for (const std::string& byte : sig) want.push_back(std::stol(byte, nullptr, 16));
        for (int i = 3; i <= 19; ++i) want.push_back(Cell(c, i));
        EXPECT_EQ(got, want);
    }
    EXPECT_EQ(row, ChipCatalogue().size());
}

TEST(ChipStateFile, RefusesMalformedFilesWithAReason) {
    const std::string good = "merlinox-chip 1\npart ATtiny13\nflash 0000 0102\nend\n";
    std::string error;
    ASSERT_TRUE(ParseChipState(good, error));
    const char* bad[] = {
        "",
        "merlinox-chip 2\npart ATtiny13\nend\n",
        "merlinox-chip 1\npart ATtiny99\nend\n",
        "merlinox-chip 1\npart ATtiny13\nflash 03FF 0102\nend\n",  // past the 1 KB flash
        "merlinox-chip 1\npart ATtiny13\nfuses 6A FF\nend\n",
        "merlinox-chip 1\npart ATtiny13\nflash 0000 0102\n",  // cut short
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
