#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "app/context.h"
#include "config/configuration.h"
#include "config/data_file_paths.h"
#include "config/ini_file.h"
#include "config/windows_path.h"
#include "support/scratch_dir.h"
#include "support/scripted_ui.h"

namespace merlinox {
namespace {

using testing::ScratchDir;
using testing::ScriptedUi;

constexpr const char* kLibrary =
    ":Atmel;Y\r\n"
    "Sample;DIP28;12000;5000;4500;9000;9000;8192;512;0x1E;0x93;0x07;0;SPI1;READFUSE;0;0;32;4;0;0;2;"
    "0xFC;0xE1;0x00;0xD9;0x00;0xFF;0xFF;Y\r\n";

constexpr const char* kPortMessage =
    "Portadresse in\n'PENDRAKE.INI'\nkann nicht stimmen!!\n\nNehme Standardwert von 0x378.";

// A programmer working in a scratch directory that holds the sample library.
struct Programmer {
    ScratchDir dir;
    ScriptedUi ui;
    Context ctx{ui};

    explicit Programmer(const std::string& ini) {
        dir.Write("at90list.csv", kLibrary);
        ctx.library.libraryPath = dir.Path("at90list.csv");
        ctx.iniPath = dir.Path("pendrake.ini");
        if (!ini.empty()) dir.Write("pendrake.ini", ini);
    }
    Programmer& Load() {
        ui.shown.clear();
        LoadConfiguration(ctx);
        return *this;
    }
};

// The value that a key gave after a load.
std::int64_t Loaded(const Context& ctx, std::string_view key) {
    const Settings& s = ctx.settings;
    const std::pair<std::string_view, std::int64_t> values[] = {
        {"PortAdress", s.portAdress},     {"DebugNT", s.debugNT},         {"SearchHardware", s.searchHardware},
        {"TimeOut", s.timeOut},           {"MessageBeap", s.messageBeap}, {"TimeBaseKorr", s.timeBaseKorr},
        {"X-Koord", s.xKoord},            {"Y-Koord", s.yKoord},          {"ManufIndex", s.manufIndex},
        {"DeviceIndex", s.deviceIndex},   {"ShowDeviceData", s.showDeviceData}, {"FFSave", s.ffSave},
        {"IDCheck", s.idCheck},           {"TestChecksum", s.testChecksum}, {"LockBits", s.lockBits},
        {"FuseLow", s.fuseLow},           {"FuseHigh", s.fuseHigh},       {"FuseExt", s.fuseExt},
        {"HexLineLen", s.hexLineLen},     {"DataFormat", s.dataFormat},   {"ReadFilter", s.readFilter},
    };
    for (const auto& [name, value] : values) {
        if (name == key) return value;
    }
    ADD_FAILURE() << "no key " << key;
    return -1;
}

TEST(LoadConfiguration, GivesEachKeyItsDefaultOrItsCorrectionSilently) {
    struct Case {
        const char* section;  // "Sample" is the device's section, written in another case
        const char* key;
        const char* text;     // nullptr: the key is missing
        std::int64_t value;
    };
    const Case cases[] = {
        {"Hardware", "PortAdress", nullptr, 0x378},  {"Hardware", "DebugNT", nullptr, 0},
        {"Hardware", "DebugNT", "1", 1},             {"Hardware", "DebugNT", "2", 0},
        {"Hardware", "SearchHardware", nullptr, 2},  {"Hardware", "SearchHardware", "5", 5},
        {"Hardware", "SearchHardware", "6", 2},      {"Hardware", "SearchHardware", "1", 2},
        {"Hardware", "TimeOut", nullptr, 1000000},   {"Hardware", "TimeOut", "500000", 1000000},
        {"Hardware", "TimeOut", "2000000", 2000000}, {"Hardware", "TimeOut", "-5", 4294967291},
        {"Hardware", "MessageBeap", nullptr, 1},     {"Hardware", "MessageBeap", "0", 0},
        {"Hardware", "MessageBeap", "7", 1},         {"Hardware", "TimeBaseKorr", nullptr, 85},
        {"Hardware", "TimeBaseKorr", "0", 85},       {"Hardware", "TimeBaseKorr", "101", 85},
        {"Hardware", "TimeBaseKorr", "100", 100},    {"Hardware", "TimeBaseKorr", "1", 1},
        {"Kestrel INI-Section", "X-Koord", nullptr, 10},   {"Kestrel INI-Section", "X-Koord", "1024", 1024},
        {"Kestrel INI-Section", "X-Koord", "1025", 10},    {"Kestrel INI-Section", "X-Koord", "-1", 10},
        {"Kestrel INI-Section", "Y-Koord", "768", 768},    {"Kestrel INI-Section", "Y-Koord", "769", 10},
        {"Kestrel INI-Section", "ManufIndex", nullptr, 0}, {"Kestrel INI-Section", "DeviceIndex", "-3", 0},
        {"Kestrel INI-Section", "ShowDeviceData", nullptr, 0}, {"Kestrel INI-Section", "ShowDeviceData", "1", 1},
        {"Kestrel INI-Section", "ShowDeviceData", "2", 0},
        {"sample", "FFSave", nullptr, 0},     {"Sample", "FFSave", "1", 1},       {"Sample", "FFSave", "2", 0},
        {"Sample", "IDCheck", nullptr, 1},    {"Sample", "IDCheck", "256", 0},    {"Sample", "IDCheck", "257", 1},
        {"Sample", "TestChecksum", nullptr, 1}, {"Sample", "TestChecksum", "0", 0}, {"Sample", "TestChecksum", "5", 1},
        // The lock byte defaults to unlocked, the fuses to the device's defaults; a
        // stored value replaces them only when it is a byte.
        {"Sample", "LockBits", nullptr, 0xFF}, {"Sample", "LockBits", "252", 252}, {"Sample", "LockBits", "300", 0xFF},
        {"Sample", "FuseLow", nullptr, 0xE1},  {"Sample", "FuseLow", "0", 0},      {"Sample", "FuseLow", "256", 0xE1},
        {"Sample", "FuseHigh", nullptr, 0xD9}, {"Sample", "FuseHigh", "-1", 0xD9}, {"Sample", "FuseExt", "255", 255},
        {"Sample", "HexLineLen", nullptr, 32}, {"Sample", "HexLineLen", "254", 254}, {"Sample", "HexLineLen", "33", 32},
        {"Sample", "HexLineLen", "3", 2},
        {"Sample", "DataFormat", nullptr, 4},  {"Sample", "DataFormat", "8", 8},   {"Sample", "DataFormat", "9", 1},
        {"Sample", "DataFormat", "0", 1},      {"Sample", "ReadFilter", "4", 4},   {"Sample", "ReadFilter", "5", 1},
        {"Sample", "ReadFilter", "0", 1},
    };
    for (const Case& c : cases) {
        const std::string ini =
            c.text == nullptr ? "" : std::string("[") + c.section + "]\r\n" + c.key + "=" + c.text + "\r\n";
        Programmer p(ini);
        p.Load();
        EXPECT_EQ(Loaded(p.ctx, c.key), c.value) << c.key << "=" << (c.text ? c.text : "(missing)");
        EXPECT_TRUE(p.ui.shown.empty()) << c.key << ": " << p.ui.shown.front().text;
    }
}

TEST(LoadConfiguration, ReadsTheDeviceWithTheCorrectionReadBeforeIt) {
    Programmer p("[Hardware]\r\nTimeBaseKorr=100\r\nTimeOut=2000000\r\n");
    p.Load();
    EXPECT_EQ(p.ctx.device.name, "Sample");
    EXPECT_EQ(p.ctx.device.flashWriteDelay, 45u);
    EXPECT_EQ(p.ctx.link.timeoutCount, 2000000u);
    // A negative manufacturer index becomes 1, not 0, which the sample library lacks.
    Programmer q("[Kestrel INI-Section]\r\nManufIndex=-3\r\n");
    q.Load();
    EXPECT_EQ(q.ctx.settings.manufIndex, 1);
    EXPECT_EQ(q.ui.Texts(), std::vector<std::string>{"Hersteller in Bibliothek nicht gefunden !"});
}

TEST(LoadConfiguration, PortAddressIsHexadecimalWithinItsRange) {
    const struct {
        const char* text;
        std::uint16_t base;
        bool message;
    } cases[] = {{"278", 0x278, false}, {"0x3BC", 0x3BC, false}, {"3bc", 0x3BC, false}, {"400", 0x400, false},
                 {"200", 0x200, false}, {"1FF", 0x378, true},    {"1F0", 0x378, true},  {"401", 0x378, true},
                 {"junk", 0x378, true}, {"-278", 0x378, true}};
    for (const auto& c : cases) {
        Programmer p(std::string("[Hardware]\r\nPortAdress=") + c.text + "\r\n");
        p.Load();
        EXPECT_EQ(p.ctx.settings.portAdress, c.base) << c.text;
        EXPECT_EQ(p.ctx.link.dataPort, c.base);
        EXPECT_EQ(p.ctx.link.statusPort, c.base + 1);
        EXPECT_EQ(p.ctx.link.controlPort, c.base + 2);
        EXPECT_EQ(p.ui.Texts(), c.message ? std::vector<std::string>{kPortMessage} : std::vector<std::string>{})
            << c.text;
    }
    // Text that is no number keeps the base of the previous load.
    Programmer p("[Hardware]\r\nPortAdress=278\r\n");
    p.Load();
    WriteProfileString(p.ctx.iniPath, "Hardware", "PortAdress", "zz");
    p.Load();
    EXPECT_EQ(p.ctx.settings.portAdress, 0x278);
    EXPECT_TRUE(p.ui.shown.empty());
}

TEST(LoadConfiguration, HexLineLengthOutsideTwoTo254IsReported) {
    for (const int value : {255, 300, 1, 0, -4}) {
        Programmer p("[Sample]\r\nHexLineLen=" + std::to_string(value) + "\r\n");
        p.Load();
        char expected[200];
        std::snprintf(expected, sizeof expected,
                      "Der Wert für die Länge der HEX-Zeilen ist größer 254 oder kleiner 2.\n"
                      "Eingetragene Länge %d\n\nWert geändert auf Standardwert = 32 Datenbytes",
                      value);
        EXPECT_EQ(p.ctx.settings.hexLineLen, 32u);
        EXPECT_EQ(p.ui.Texts(), std::vector<std::string>{expected});
    }
}

TEST(LoadConfiguration, DataFileIsTakenFromDirectoryAndNameKeys) {
    Programmer p("");
    p.Load();
    EXPECT_EQ(p.ctx.paths.filePath, "C:\\tmp");
    EXPECT_EQ(p.ctx.paths.eepromPath, "C:\\tmp.eep");
    WriteProfileString(p.ctx.iniPath, "Sample", "DataPath", "C:\\daten\\");
    WriteProfileString(p.ctx.iniPath, "Sample", "LastFile", "test.hex");
    p.Load();
    EXPECT_EQ(p.ctx.paths.filePath, "C:\\daten\\test.hex");
    EXPECT_EQ(p.ctx.paths.eepromPath, "C:\\daten\\test.eep");
    EXPECT_EQ(p.ctx.paths.fileName, "test.hex");
    EXPECT_EQ(p.ctx.paths.directory, "C:\\daten\\");
    EXPECT_EQ(DataFileOnDisk(p.ctx.paths), "/daten/test.hex");

    // Without the final backslash the last directory counts as a name; a directory in
    // "LastFile" is ignored.
    WriteProfileString(p.ctx.iniPath, "Sample", "DataPath", "C:\\daten");
    WriteProfileString(p.ctx.iniPath, "Sample", "LastFile", "D:\\x\\prog.tar.hex");
    p.Load();
    EXPECT_EQ(p.ctx.paths.filePath, "C:\\prog.tar.hex");
    EXPECT_EQ(p.ctx.paths.eepromPath, "C:\\prog.tar.eep");
}

TEST(SaveConfiguration, WritesEveryKeyIntoItsSectionAndLoadsBackTheSame) {
    Programmer p("; from the other program\r\n[Hardware]\r\nPortAdress=278\r\nPrinter=lp0\r\n");
    p.Load();
    Settings& s = p.ctx.settings;
    s.timeOut = 3000000000u;  // written as a signed 32-bit number, read back modulo 2^32
    s.showDeviceData = 1;
    s.lockBits = 0xFC;
    s.idCheck = 0;
    SetDataFileFromDisk(p.ctx.paths, "/home/anna/Übungen/blink.hex");
    SaveConfiguration(p.ctx);

    const std::string bytes = p.dir.Read("pendrake.ini");
    EXPECT_EQ(bytes,
              "; from the other program\r\n[Hardware]\r\nPortAdress=278\r\nPrinter=lp0\r\n"
              "SearchHardware=2\r\nTimeOut=-1294967296\r\nTimeBaseKorr=85\r\nMessageBeap=1\r\n\r\n"
              "[Kestrel INI-Section]\r\nManufIndex=0\r\nDeviceIndex=0\r\nX-Koord=10\r\nY-Koord=10\r\n\r\n"
              "[Sample]\r\nFFSave=0\r\nDataFormat=4\r\nTestChecksum=1\r\nShowDeviceData=1\r\nIDCheck=0\r\n"
              "HexLineLen=32\r\nLockBits=252\r\nFuseLow=225\r\nFuseHigh=217\r\nFuseExt=255\r\nReadFilter=1\r\n"
              "DataPath=\\home\\anna\\\xDC" "bungen\\\r\nLastFile=blink.hex\r\n");

    Programmer q(bytes);
    q.Load();
    EXPECT_EQ(q.ctx.settings.timeOut, 3000000000u);
    EXPECT_EQ(q.ctx.settings.lockBits, 0xFC);
    EXPECT_EQ(q.ctx.settings.idCheck, 0);
    EXPECT_EQ(q.ctx.settings.portAdress, 0x278);
    // Read from the program's section, where the save did not put it.
    EXPECT_EQ(q.ctx.settings.showDeviceData, 0u);
    EXPECT_EQ(q.ctx.paths.filePath, "\\home\\anna\\Übungen\\blink.hex");
    EXPECT_EQ(EepromFileOnDisk(q.ctx.paths), "/home/anna/Übungen/blink.eep");

    // Saving unchanged values changes no byte.
    q.ctx.settings.showDeviceData = 1;
    SaveConfiguration(q.ctx);
    EXPECT_EQ(q.dir.Read("pendrake.ini"), bytes);
}

TEST(SaveConfiguration, LeavesAnUnreadableFileAloneAndSaysSo) {
    Programmer p("");
    std::filesystem::create_directory(p.ctx.iniPath);  // a directory cannot be read as a file
    p.Load();
    EXPECT_EQ(p.ui.shown.size(), 1u);
    p.ui.shown.clear();
    SaveConfiguration(p.ctx);
    ASSERT_EQ(p.ui.shown.size(), 1u);
    EXPECT_EQ(p.ui.shown[0].kind, BoxKind::Plain);
    EXPECT_NE(p.ui.shown[0].text.find(p.ctx.iniPath), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(p.ctx.iniPath));
}

TEST(WindowsPath, SplitsLikeThePlatformAndMapsToTheDisk) {
    const WindowsPathParts parts = SplitWindowsPath("C:\\daten/sub\\file.tar.hex");
    EXPECT_EQ(parts.drive + "|" + parts.directory + "|" + parts.baseName + "|" + parts.extension,
              "C:|\\daten/sub\\|file.tar|.hex");
    EXPECT_EQ(SplitWindowsPath(".hidden").extension, ".hidden");
    EXPECT_EQ(DiskPathFromStored("c:relative.hex"), "relative.hex");
}

}  // namespace
}  // namespace merlinox
