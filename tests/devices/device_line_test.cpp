#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/context.h"
#include "devices/device_line.h"
#include "devices/time_base.h"
#include "support/scripted_ui.h"

namespace merlinox {
namespace {

using testing::ScriptedUi;

const std::vector<std::string> kSample = {"Sample", "DIP28", "12000", "5000", "4500", "9000", "9000", "8192",
                                          "512",    "0x1E",  "0x93",  "0x07", "0",    "SPI1", "READFUSE", "0",
                                          "0",      "32",    "4",     "0",    "0",    "2",    "0xFC", "0xE1",
                                          "0x00",   "0xD9",  "0x00",  "0xFF", "0xFF"};

std::string Line(std::vector<std::string> columns, const std::string& flag = "Y\n") {
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

struct Parser {
    ScriptedUi ui;
    Context ctx{ui};
    DeviceRecord record;

    Parser() { ctx.library.libraryPath = "/lib/at90list.csv"; }
    int Parse(const std::string& line) {
        ui.shown.clear();
        ctx.library.line = line;
        return ReadCSV(ctx, record);
    }
    std::string Shown() const { return ui.shown.size() == 1 ? ui.shown[0].text : "<" + std::to_string(ui.shown.size()) + " boxes>"; }
};

TEST(ReadCSV, ParsesTheSampleLine) {
    Parser p;
    ASSERT_EQ(p.Parse(Line(kSample)), kLibraryOk);
    const DeviceRecord& r = p.record;
    EXPECT_EQ(r.name, "Sample");
    EXPECT_EQ(r.pinCount, 28);
    EXPECT_EQ(r.programmingVoltageCode, 120);
    EXPECT_EQ(r.supplyVoltageCode, 100);
    EXPECT_EQ(r.flashWriteDelay, 4500u * 100 / 100 / 85);
    EXPECT_EQ(r.eraseDelay, 9000u / 85);
    EXPECT_EQ(r.flashWords, 4096u);
    EXPECT_EQ(r.eepromBytes, 512u);
    EXPECT_EQ(r.manufacturerId, 0x1E);
    EXPECT_EQ(r.deviceCode, 0x9307u);
    EXPECT_EQ(r.programmingMode, kSpi1);
    EXPECT_EQ(r.extra, kReadFuse);
    EXPECT_EQ(r.flashPageWords, 32u);
    EXPECT_EQ(r.eepromPageBytes, 4u);
    EXPECT_EQ(r.fuseCount, 2u);
    EXPECT_EQ(r.lockDefault, 0xFF);
    EXPECT_EQ(r.lockFixedBits, 0xFC);
    EXPECT_EQ(r.lowFuseDefault, 0xE1);
    EXPECT_EQ(r.highFuseDefault, 0xD9);
    EXPECT_EQ(r.extFuseFixedBits, 0xFF);
    EXPECT_TRUE(p.ui.shown.empty());
    // Anything between the last separator and the flag is ignored.
    EXPECT_EQ(p.Parse(Line(kSample, " comment Y\n")), kLibraryOk);
}

TEST(ReadCSV, AShortLineFailsWithoutAMessage) {
    Parser p;
    std::vector<std::string> columns = kSample;
    columns.pop_back();
    EXPECT_EQ(p.Parse(Line(columns)), kLibraryFailed);
    // The last separator standing on the flag position counts as missing too.
    std::string line = Line(kSample);
    line.erase(line.size() - 2, 1);  // "...0xFF;\n": the ';' is now the flag
    EXPECT_EQ(p.Parse(line), kLibraryFailed);
    EXPECT_EQ(p.Parse(""), kLibraryFailed);
    EXPECT_EQ(p.Parse("\n"), kLibraryFailed);
    EXPECT_EQ(p.Parse(";"), kLibraryFailed);
    EXPECT_TRUE(p.ui.shown.empty());
}

TEST(ReadCSV, RangeChecksGiveTheirMessagesAnd17) {
    const std::string in = "\n\n in '/lib/at90list.csv' Datei";
    const struct {
        int column;
        const char* text;
        int result;
        std::string message;
    } refused[] = {
        {2, "dip28", 17, "Unbekannte Gehäuseform" + in},
        {2, " DIP28", 17, "Unbekannte Gehäuseform" + in},
        {3, "25501", 17, "Die Programmierspannung\nist viel zu groß !" + in},
        {4, "12751", 17, "Die Betriebsspannung im\nProgrammiermodus ist zu groß !" + in},
        {4, "0", 17, "Die Betriebsspannung im\nProgrammiermodus ist 0 !" + in},
        {4, "text", 17, "Die Betriebsspannung im\nProgrammiermodus ist 0 !" + in},
        {8, "262146", 17,
         "Sample\n\nBausteingröße überschreitet 262144 (0x40000) Worte !\n\n"
         "Bausteine dieser Größe werden nicht unterstützt !\n"},
        {8, "1", 17, "Sample\n\nBausteingröße ist 0 !\n\n in /lib/at90list.csv"},
        {9, "262145", 17,
         "Sample\n\nDaten EEPROM überschreitet 262144 (0x40000) Bytes !\n\n"
         "Bausteine dieser Größe werden nicht unterstützt !\n"},
        {12, "0x02", 13, "Devicecode 0x9302 fehlt in ReadCSV"},
        {13, "3", 17,
         "Sample\n\nFalscher Wert für FUSED0 in \n\n/lib/at90list.csv !\n\nEintrag darf nur von 0-2 gehen.\n"
         "Gelesener Wert: 3"},
        {14, "spi1", 13, "Unbekannter Programmiermode !\n\nMode = spi1\n\n/lib/at90list.csv"},
        {15, "", 13, "Unbekannter Eintrag unter Extra !\n\nExtra = \n\n/lib/at90list.csv"},
        {20, "2", 17, "Extended Adress Mode darf nur 0 oder 1 sein !" + in},
        {21, "0x10", 17, "SPI Sync Modus darf nur 0 oder 1 sein !" + in},
        {22, "4", 17, "Fuses darf nur zwischen 0 und 3 sein !" + in},
    };
    for (const auto& c : refused) {
        Parser p;
        EXPECT_EQ(p.Parse(With(c.column, c.text)), c.result) << c.column << " " << c.text;
        EXPECT_EQ(p.Shown(), c.message) << c.column << " " << c.text;
        ASSERT_EQ(p.ui.shown.size(), 1u);
        EXPECT_EQ(p.ui.shown[0].kind, BoxKind::Info);
    }
}

TEST(ReadCSV, AcceptsTheLimitsOfEachColumn) {
    const struct {
        int column;
        const char* text;
    } accepted[] = {{2, "DIP20a"}, {3, "25500"}, {4, "12750"}, {8, "262145"}, {9, "0"},     {9, "262144"},
                    {13, "2"},     {13, "258"}, {14, "MSPI2"}, {15, "NOFUSE"}, {20, "1"}, {22, "0x103"}};
    for (const auto& c : accepted) {
        Parser p;
        EXPECT_EQ(p.Parse(With(c.column, c.text)), kLibraryOk) << c.column << " " << c.text << ": " << p.Shown();
    }
    Parser p;
    p.Parse(With(3, "25500"));
    EXPECT_EQ(p.record.programmingVoltageCode, 255);
    p.Parse(With(4, "12750"));
    EXPECT_EQ(p.record.supplyVoltageCode, 255);
    p.Parse(With(8, "262145"));
    EXPECT_EQ(p.record.flashWords, 131072u);
    p.Parse(With(13, "258"));
    EXPECT_EQ(p.record.fuseD0, 2);  // only the low 8 bits count
    p.Parse(With(2, "DIP20a"));
    EXPECT_EQ(p.record.pinCount, 20);
}

TEST(ReadCSV, NumbersAreCNumbersOfBaseZero) {
    Parser p;
    for (const char* text : {"0x1E", "30", "036", " 30xyz"}) {
        ASSERT_EQ(p.Parse(With(9, text)), kLibraryOk);
        EXPECT_EQ(p.record.eepromBytes, 30u) << text;
    }
    ASSERT_EQ(p.Parse(With(16, "abc")), kLibraryOk);
    EXPECT_EQ(p.record.sckLowClocks, 0u);
    ASSERT_EQ(p.Parse(With(24, "0x1E1")), kLibraryOk);
    EXPECT_EQ(p.record.lowFuseDefault, 0xE1);
}

TEST(ReadCSV, DelaysAboveOneAreConvertedWithTheCurrentCorrection) {
    Parser p;
    std::vector<std::string> columns = kSample;
    columns[4] = "0";
    columns[5] = "1";
    columns[6] = "8500";
    ASSERT_EQ(p.Parse(Line(columns)), kLibraryOk);
    EXPECT_EQ(p.record.flashWriteDelay, 0u);
    EXPECT_EQ(p.record.eepromWriteDelay, 1u);
    EXPECT_EQ(p.record.eraseDelay, 100u);
    p.ctx.settings.timeBaseKorr = 100;
    ASSERT_EQ(p.Parse(Line(columns)), kLibraryOk);
    EXPECT_EQ(p.record.eraseDelay, 85u);
}

TEST(ReadCSV, AFailureKeepsTheLaterFieldsOfThePreviousDevice) {
    Parser p;
    ASSERT_EQ(p.Parse(Line(kSample)), kLibraryOk);
    std::vector<std::string> columns = kSample;
    columns[0] = "Other";
    columns[8] = "1024";
    columns[12] = "7";  // FUSED0 refused
    columns[13] = "PAR2";
    EXPECT_EQ(p.Parse(Line(columns)), kColumnOutOfRange);
    EXPECT_EQ(p.record.name, "Other");
    EXPECT_EQ(p.record.eepromBytes, 1024u);
    EXPECT_EQ(p.record.fuseD0, 7);          // stored before it was checked
    EXPECT_EQ(p.record.programmingMode, kSpi1);  // not reached
}

TEST(TimeBase, ConvertsMicrosecondsAndNeverGivesZero) {
    ScriptedUi ui;
    Context ctx(ui);
    ctx.settings.timeBaseKorr = 85;
    EXPECT_EQ(TimeBase(ctx, 50), 1u);
    EXPECT_EQ(TimeBase(ctx, 8500), 100u);
    ctx.settings.timeBaseKorr = 100;
    EXPECT_EQ(TimeBase(ctx, 1000), 10u);
    EXPECT_EQ(TimeBase(ctx, 42949672), 429496u);
    EXPECT_EQ(TimeBase(ctx, 42949673), 1u);  // the product with 100 wraps at 32 bits
    ctx.settings.timeBaseKorr = 0;           // never loaded like this, and never a division by 0
    EXPECT_EQ(TimeBase(ctx, 8500), 100u);
}

}  // namespace
}  // namespace merlinox
