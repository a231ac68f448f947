#include "devices/device_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "devices/time_base.h"
#include "support/scripted_ui.h"
#include "support/test_context.h"

namespace merlinox {
namespace {

using testing::ScriptedUi;

const std::vector<std::string> kSample = {
    "Sample", "DIP28", "12000", "5000", "4500",     "9000", "9000", "8192", "512", "0x1E",
    "0x93",   "0x07",  "0",     "SPI1", "READFUSE", "0",    "0",    "32",   "4",   "0",
    "0",      "2",     "0xFC",  "0xE1", "0x00",     "0xD9", "0x00", "0xFF", "0xFF"};

std::string Line(const std::vector<std::string>& columns, const std::string& flag = "Y\n") {
    std::string line;
    for (const auto& column : columns) line += column + ";";
    return line + flag;
}

// The sample line with column `number` (1-based) replaced.
std::string With(int number, const std::string& text) {
    std::vector<std::string> columns = kSample;
    columns[static_cast<std::size_t>(number - 1)] = text;
    return Line(columns);
}

template <typename... T>
std::vector<std::int64_t> Values(T... values) {
    return {static_cast<std::int64_t>(values)...};
}

// The field that column `number` (1-based, from 3 on) fills.
std::int64_t Field(const DeviceRecord& r, int number) {
    return Values(0, 0, r.pinCount, r.programmingVoltageCode, r.supplyVoltageCode,
                  r.flashWriteDelay, r.eepromWriteDelay, r.eraseDelay, r.flashWords, r.eepromBytes,
                  r.manufacturerId, r.deviceId, r.subId, r.fuseD0, r.programmingMode, r.extra,
                  r.sckLowClocks, r.sckHighClocks, r.flashPageWords, r.eepromPageBytes,
                  r.extendedAddressing, r.spiSyncMode, r.fuseCount, r.lockFixedBits,
                  r.lowFuseDefault, r.lowFuseFixedBits, r.highFuseDefault, r.highFuseFixedBits,
                  r.extFuseDefault, r.extFuseFixedBits)[static_cast<std::size_t>(number)];
}

struct Parser {
    ScriptedUi ui;
    testing::TestContext ctx{ui};
    DeviceRecord record;

    Parser() { ctx.library.libraryPath = "/lib/at90list.csv"; }
    int Parse(const std::string& line) {
        ui.shown.clear();
        ctx.library.line = line;
        return ReadCSV(ctx, record);
    }
};

TEST(ReadCSV, ParsesTheSampleLineColumnByColumn) {
    Parser p;
    ASSERT_EQ(p.Parse(Line(kSample)), kOk);
    const DeviceRecord& r = p.record;
    EXPECT_EQ(r.name, "Sample");
    const std::int64_t expected[] = {0,    0,    28,   120,  100,  4500 / 85, 9000 / 85, 9000 / 85,
                                     4096, 512,  0x1E, 0x93, 7,    0,         kSpi1,     kReadFuse,
                                     0,    0,    32,   4,    0,    0,         2,         0xFC,
                                     0xE1, 0x00, 0xD9, 0x00, 0xFF, 0xFF};
    for (int column = 2; column <= 29; ++column)
        EXPECT_EQ(Field(r, column), expected[column]) << column;
    EXPECT_EQ(r.deviceCode, 0x9307u);
    EXPECT_EQ(r.lockDefault, 0xFF);
    EXPECT_TRUE(p.ui.shown.empty());
    // Anything between the last separator and the flag is ignored.
    EXPECT_EQ(p.Parse(Line(kSample, " comment Y\n")), kOk);
}

TEST(ReadCSV, ALineWithoutItsLastSeparatorBeforeTheFlagFailsSilently) {
    Parser p;
    std::vector<std::string> columns = kSample;
    columns.pop_back();
    std::string onFlag = Line(kSample);
    onFlag.erase(onFlag.size() - 2, 1);  // "...0xFF;\n": the ';' stands on the flag position
    for (const std::string& line :
         {Line(columns), onFlag, std::string(), std::string("\n"), std::string(";")}) {
        EXPECT_EQ(p.Parse(line), kLibraryFailed) << line;
    }
    EXPECT_TRUE(p.ui.shown.empty());
}

TEST(ReadCSV, RefusedColumnsGiveTheirMessagesAndResults) {
    const std::string in = "\n\n in '/lib/at90list.csv' Datei";
    const struct {
        int column;
        const char* text;
        int result;
        std::string message;
    } refused[] = {
        {2, "dip28", 17, "Unbekannte Gehäuseform" + in},
        {3, "25501", 17, "Die Programmierspannung\nist viel zu groß !" + in},
        {4, "12751", 17, "Die Betriebsspannung im\nProgrammiermodus ist zu groß !" + in},
        {4, "0", 17, "Die Betriebsspannung im\nProgrammiermodus ist 0 !" + in},
        {8, "262146", 17,
         "Sample\n\nBausteingröße überschreitet 262144 (0x40000) Worte !\n\n"
         "Bausteine dieser Größe werden nicht unterstützt !\n"},
        {8, "1", 17, "Sample\n\nBausteingröße ist 0 !\n\n in /lib/at90list.csv"},
        {9, "262145", 17,
         "Sample\n\nDaten EEPROM überschreitet 262144 (0x40000) Bytes !\n\n"
         "Bausteine dieser Größe werden nicht unterstützt !\n"},
        {13, "3", 17,
         "Sample\n\nFalscher Wert für FUSED0 in \n\n/lib/at90list.csv !\n\nEintrag darf nur von "
         "0-2 gehen.\n"
         "Gelesener Wert: 3"},
        {14, "spi1", 13, "Unbekannter Programmiermode !\n\nMode = spi1\n\n/lib/at90list.csv"},
        {15, "", 13, "Unbekannter Eintrag unter Extra !\n\nExtra = \n\n/lib/at90list.csv"},
        {20, "2", 17, "Extended Adress Mode darf nur 0 oder 1 sein !" + in},
        {21, "0x10", 17, "SPI Sync Modus darf nur 0 oder 1 sein !" + in},
        {22, "4", 17, "Fuses darf nur zwischen 0 und 3 sein !" + in},
        // A page the paged passes could never finish: longer than the memory, or not
        // dividing it.
        {18, "2147483647", 17,
         "Sample\n\nSeitengröße Programmspeicher 2147483647 Worte passt nicht\n"
         "zur Bausteingröße von 4096 Worten !" +
             in},
        {18, "48", 17,
         "Sample\n\nSeitengröße Programmspeicher 48 Worte passt nicht\n"
         "zur Bausteingröße von 4096 Worten !" +
             in},
        {19, "6", 17,
         "Sample\n\nSeitengröße EEPROM 6 Bytes passt nicht\nzur EEPROM-Größe von 512 Bytes !" + in},
    };
    for (const auto& c : refused) {
        Parser p;
        EXPECT_EQ(p.Parse(With(c.column, c.text)), c.result) << c.column << " " << c.text;
        ASSERT_EQ(p.ui.shown.size(), 1u) << c.column << " " << c.text;
        EXPECT_EQ(p.ui.shown[0].text, c.message);
        EXPECT_EQ(p.ui.shown[0].kind, BoxKind::Info);
    }
}

TEST(ReadCSV, AcceptsTheEdgesOfEachRangeAndReadsCNumbersOfBaseZero) {
    const struct {
        int column;
        const char* text;
        std::int64_t value;
    } accepted[] = {
        {2, "DIP20a", 20},     {3, "25500", 255},     {4, "12750", 255},     {4, "49", 0},
        {8, "262145", 131072}, {9, "262144", 262144}, {9, "0x1C", 28},       {9, "034", 28},
        {9, " 28xyz", 28},     {13, "258", 2},        {14, "MSPI2", kMspi2}, {16, "abc", 0},
        {18, "4096", 4096},    {18, "0", 0},          {19, "512", 512},      {24, "0x1E1", 0xE1},
    };
    for (const auto& c : accepted) {
        Parser p;
        EXPECT_EQ(p.Parse(With(c.column, c.text)), kOk) << c.column << " " << c.text;
        EXPECT_EQ(Field(p.record, c.column), c.value) << c.column << " " << c.text;
        EXPECT_TRUE(p.ui.shown.empty());
    }
}

TEST(ReadCSV, AFailureKeepsTheLaterFieldsOfThePreviousDevice) {
    Parser p;
    ASSERT_EQ(p.Parse(Line(kSample)), kOk);
    std::vector<std::string> columns = kSample;
    columns[0] = "Other";
    columns[8] = "1024";
    columns[12] = "7";  // FUSED0 refused
    columns[13] = "PAR2";
    EXPECT_EQ(p.Parse(Line(columns)), kColumnOutOfRange);
    EXPECT_EQ(p.record.name, "Other");
    EXPECT_EQ(p.record.eepromBytes, 1024u);
    EXPECT_EQ(p.record.fuseD0, 7);               // stored before it was checked
    EXPECT_EQ(p.record.programmingMode, kSpi1);  // not reached
    // A refused voltage is not stored: it would not fit its field.
    EXPECT_EQ(p.Parse(With(3, "30000")), kColumnOutOfRange);
    EXPECT_EQ(p.record.programmingVoltageCode, 120);
}

TEST(TimeBase, ConvertsMicrosecondsAndNeverGivesZero) {
    ScriptedUi ui;
    testing::TestContext ctx(ui);
    const struct {
        std::uint32_t korr, microseconds, units;
    } cases[] = {{85, 50, 1},
                 {100, 42949672, 429496},
                 {100, 42949673, 1},  // the product with 100 wraps at 32 bits
                 {1, 0, 1},
                 {0, 8500, 100}};  // 0 is never loaded, and never divides
    for (const auto& c : cases) {
        ctx.settings.timeBaseKorr = c.korr;
        EXPECT_EQ(TimeBase(ctx, c.microseconds), c.units) << c.korr << " " << c.microseconds;
    }
}

}  // namespace
}  // namespace merlinox
