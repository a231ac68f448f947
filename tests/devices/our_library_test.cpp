#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "app/context.h"
#include "config/text_encoding.h"
#include "devices/known_devices.h"
#include "devices/library_reader.h"
#include "support/scripted_ui.h"

namespace merlinox {
namespace {

using testing::ScriptedUi;

struct Entry {
    DeviceRecord record;
    std::string manufacturer;
};

// Every active device line of data/at90list.csv, parsed the way the device list does it.
std::vector<Entry> ReadOurLibrary(ScriptedUi& ui, std::vector<int>& results) {
    Context ctx(ui);
    ctx.library.libraryPath = std::string(KESTREL_SOURCE_DIR) + "/data/at90list.csv";
    std::vector<std::string> manufacturers;
    if (OpenLibrary(ctx) == 0) {
        while (NextManufacturer(ctx) == 0) manufacturers.push_back(ctx.library.manufacturerName);
        CloseLibrary(ctx);
    }
    std::vector<Entry> entries;
    for (std::size_t m = 0; m < manufacturers.size(); ++m) {
        ctx.settings.manufIndex = static_cast<int>(m);
        OpenLibrary(ctx);
        FindManufacturer(ctx);
        DeviceRecord scratch;
        for (int result; (result = NextDevice(ctx, scratch)) != kLibraryEnd;) {
            results.push_back(result);
            entries.push_back({scratch, manufacturers[m]});
        }
        CloseLibrary(ctx);
    }
    return entries;
}

TEST(OurLibrary, EveryActiveLineParsesAndEveryKnownCodeHasAPart) {
    ScriptedUi ui;
    std::vector<int> results;
    const std::vector<Entry> entries = ReadOurLibrary(ui, results);
    EXPECT_TRUE(ui.shown.empty()) << ui.shown.front().text;
    EXPECT_TRUE(std::all_of(results.begin(), results.end(), [](int r) { return r == 0; }));
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries.front().manufacturer, "Atmel");

    std::set<std::uint32_t> codes;
    std::set<int> variants9103;
    std::set<std::string> sections;
    for (const Entry& e : entries) {
        const DeviceRecord& r = e.record;
        codes.insert(r.deviceCode);
        if (r.deviceCode == 0x9103) variants9103.insert(r.fuseD0);
        std::string folded = r.name;
        std::transform(folded.begin(), folded.end(), folded.begin(), [](unsigned char c) { return std::tolower(c); });
        EXPECT_TRUE(sections.insert(folded).second) << "two lines share the INI section " << r.name;
        // The page passes would not advance with a page of 0.
        if (r.programmingMode == kPar4 || r.programmingMode == kMspi1 || r.programmingMode == kMspi2) {
            EXPECT_GT(r.flashPageWords, 0u) << r.name;
        }
        if (r.programmingMode == kPar4) {
            EXPECT_GT(r.eepromPageBytes, 0u) << r.name;
        }
        // A default is never changed by the bits forced to 1, so "Standard" programs what it shows.
        EXPECT_EQ(r.lowFuseDefault | r.lowFuseFixedBits, r.lowFuseDefault) << r.name;
        EXPECT_EQ(r.highFuseDefault | r.highFuseFixedBits, r.highFuseDefault) << r.name;
        EXPECT_EQ(r.extFuseDefault | r.extFuseFixedBits, r.extFuseDefault) << r.name;
    }
    for (const std::uint16_t code : KnownDeviceCodes()) {
        if (code == 0x9607) continue;  // no part is known for it
        EXPECT_TRUE(codes.count(code)) << std::hex << code;
    }
    EXPECT_FALSE(codes.count(0x9607));
    EXPECT_EQ(variants9103, (std::set<int>{0, 1}));
}

// The facts the library was written from, where the checkout has them beside it.
TEST(OurLibrary, SignaturesAndSizesAgreeWithTheReferenceFacts) {
    std::filesystem::path facts;
    for (const char* up : {"..", "../.."}) {
        const auto candidate = std::filesystem::path(KESTREL_SOURCE_DIR) / up / "shared/reference/avr-device-facts.tsv";
        if (std::filesystem::exists(candidate)) facts = candidate;
    }
    if (facts.empty()) GTEST_SKIP() << "no shared/reference/avr-device-facts.tsv beside the checkout";
    ScriptedUi ui;
    std::vector<int> results;
    std::map<std::string, std::vector<DeviceRecord>> byPart;
    for (const Entry& e : ReadOurLibrary(ui, results)) {
        byPart[e.record.name.substr(0, e.record.name.find(" ("))].push_back(e.record);
    }
    std::ifstream in(facts);
    std::string line;
    std::getline(in, line);  // column names
    int checked = 0;
    while (std::getline(in, line)) {
        std::vector<std::string> cells;
        std::stringstream split(line);
        for (std::string cell; std::getline(split, cell, '\t');) cells.push_back(cell);
        if (cells.size() < 11 || cells[1] == "(unknown)") continue;
        const auto found = byPart.find(cells[1]);
        ASSERT_NE(found, byPart.end()) << cells[1];
        for (const DeviceRecord& r : found->second) {
            EXPECT_EQ(r.manufacturerId, 0x1E) << r.name;
            EXPECT_EQ(r.deviceCode, std::stoul(cells[0], nullptr, 16)) << r.name;
            EXPECT_EQ(r.flashWords * 2, std::stoul(cells[3])) << r.name;
            EXPECT_EQ(r.eepromBytes, std::stoul(cells[4])) << r.name;
            EXPECT_EQ(r.flashPageWords, std::stoul(cells[5])) << r.name;
            EXPECT_EQ(r.fuseCount, std::stoul(cells[10])) << r.name;
            ++checked;
        }
    }
    EXPECT_GE(checked, 71);
}

}  // namespace
}  // namespace merlinox
