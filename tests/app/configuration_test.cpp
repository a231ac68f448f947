#include "config/configuration.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <string_view>

#include "app/device_configuration.h"
#include "config/data_file_paths.h"
#include "config/ini_file.h"
#include "support/scratch_dir.h"
#include "support/scripted_ui.h"
#include "support/test_context.h"

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
    testing::TestContext ctx{ui};

    explicit Programmer(const std::string& ini) {
        dir.Write("at90list.csv", kLibrary);
        ctx.library.libraryPath = dir.Path("at90list.csv");
        ctx.iniPath = dir.Path("pendrake.ini");
        if (!ini.empty()) dir.Write("pendrake.ini", ini);
    }
    // Another run working on the same library and configuration file, loaded.
    explicit Programmer(const Programmer* sharing) : Programmer("") {
        ctx.library.libraryPath = sharing->ctx.library.libraryPath;
        ctx.iniPath = sharing->ctx.iniPath;
        Load();
    }
    void Load() {
        ui.shown.clear();
        LoadConfiguration(ctx);
    }
};

// The value that a key of the table below gave after a load.
std::int64_t Loaded(const Context& ctx, std::string_view key) {
    const Settings& s = ctx.settings;
    const std::pair<std::string_view, std::int64_t> values[] = {
        {"PortAdress", s.portAdress},
        {"DebugNT", s.debugNT},
        {"SearchHardware", s.searchHardware},
        {"TimeOut", s.timeOut},
        {"MessageBeap", s.messageBeap},
        {"TimeBaseKorr", s.timeBaseKorr},
        {"X-Koord", s.xKoord},
        {"DeviceIndex", s.deviceIndex},
        {"ShowDeviceData", s.showDeviceData},
        {"FFSave", s.ffSave},
        {"IDCheck", s.idCheck},
        {"TestChecksum", s.testChecksum},
        {"LockBits", s.lockBits},
        {"FuseLow", s.fuseLow},
        {"FuseHigh", s.fuseHigh},
        {"HexLineLen", s.hexLineLen},
        {"DataFormat", s.dataFormat},
        {"ReadFilter", s.readFilter},
    };
    for (const auto& [name, value] : values) {
        if (name == key) return value;
    }
    ADD_FAILURE() << "no key " << key;
    return -1;
}

std::string HexLineMessage(int value) {
    return "Der Wert für die Länge der HEX-Zeilen ist größer 254 oder kleiner 2.\n"
           "Eingetragene Länge " +
           std::to_string(value) + "\n\nWert geändert auf Standardwert = 32 Datenbytes";
}

TEST(LoadConfiguration, GivesEachKeyItsDefaultOrItsCorrection) {
    const char* const H = "Hardware";
    const char* const K = "Kestrel INI-Section";
    const char* const D = "sample";  // the device's section, written in another case
    const std::string port = kPortMessage;
    const struct {
        const char* section;
        const char* key;
        const char* text;  // nullptr: the key is missing
        std::int64_t value;
        std::string message = {};  // the one message the load shows, if any
    } cases[] = {
        {H, "PortAdress", nullptr, 0x378},
        {H, "PortAdress", "3bc", 0x3BC},
        {H, "PortAdress", "400", 0x400},
        {H, "PortAdress", "200", 0x200},
        {H, "PortAdress", "1FF", 0x378, port},
        {H, "PortAdress", "401", 0x378, port},
        {H, "DebugNT", "2", 0},
        {H, "SearchHardware", "5", 5},
        {H, "SearchHardware", "6", 2},
        {H, "SearchHardware", "1", 2},
        {H, "TimeOut", "999999", 1000000},
        {H, "TimeOut", "-5", 4294967291},
        {H, "MessageBeap", "7", 1},
        {H, "TimeBaseKorr", "0", 85},
        {H, "TimeBaseKorr", "101", 85},
        {H, "TimeBaseKorr", "100", 100},
        {K, "X-Koord", "1024", 1024},
        {K, "X-Koord", "1025", 10},
        {K, "X-Koord", "-1", 10},
        {K, "DeviceIndex", "-3", 0},
        {K, "ShowDeviceData", "2", 0},
        {D, "FFSave", "2", 0},
        {D, "IDCheck", "256", 0},
        {D, "IDCheck", "257", 1},
        {D, "TestChecksum", "5", 1},
        // The lock byte defaults to unlocked, the fuses to the device's defaults; a
        // stored value replaces them only when it is a byte.
        {D, "LockBits", nullptr, 0xFF},
        {D, "LockBits", "252", 252},
        {D, "LockBits", "256", 0xFF},
        {D, "FuseLow", nullptr, 0xE1},
        {D, "FuseHigh", "-1", 0xD9},
        {D, "HexLineLen", "254", 254},
        {D, "HexLineLen", "33", 32},
        {D, "HexLineLen", "2", 2},
        {D, "HexLineLen", "255", 32, HexLineMessage(255)},
        {D, "HexLineLen", "1", 32, HexLineMessage(1)},
        {D, "DataFormat", nullptr, 4},
        {D, "DataFormat", "0", 1},
        {D, "ReadFilter", "5", 1},
    };
    for (const auto& c : cases) {
        Programmer p(c.text ? std::string("[") + c.section + "]\r\n" + c.key + "=" + c.text + "\r\n"
                            : "");
        p.Load();
        EXPECT_EQ(Loaded(p.ctx, c.key), c.value) << c.key << "=" << (c.text ? c.text : "(missing)");
        EXPECT_EQ(p.ui.Texts(),
                  c.message.empty() ? std::vector<std::string>{} : std::vector{c.message})
            << c.key;
        EXPECT_EQ(p.ctx.link.controlPort, p.ctx.settings.portAdress + 2);
    }
}

TEST(LoadConfiguration, KeepsTheOldPortOnTextThatIsNoNumberAndReadsTheDeviceAfterTheCorrection) {
    Programmer p("[Hardware]\r\nPortAdress=278\r\nTimeBaseKorr=100\r\nTimeOut=2000000\r\n");
    p.Load();
    WriteProfileString(p.ctx.iniPath, "Hardware", "PortAdress", "zz");
    p.Load();
    EXPECT_EQ(p.ctx.settings.portAdress, 0x278);
    EXPECT_TRUE(p.ui.shown.empty());
    EXPECT_EQ(p.ctx.device.flashWriteDelay, 45u);  // 4500 us with the correction 100
    EXPECT_EQ(p.ctx.link.timeoutCount, 2000000u);
    EXPECT_EQ(p.ctx.link.timeBaseCorrection, 100u);  // the link's delays use it too
    // A negative manufacturer index becomes 1, not 0, which the sample library lacks.
    WriteProfileInt(p.ctx.iniPath, "Kestrel INI-Section", "ManufIndex", -3);
    p.Load();
    EXPECT_EQ(p.ctx.settings.manufIndex, 1);
    EXPECT_EQ(p.ui.Texts(), std::vector<std::string>{"Hersteller in Bibliothek nicht gefunden !"});
}

// The device sits between the two halves of a load: its messages come after those of
// the global keys and before those of its own section, which is the one named like
// whatever the library line gave, even a line that did not parse.
TEST(LoadConfiguration, ShowsItsMessagesInTheOrderOfTheStepsAroundTheDevice) {
    Programmer p(
        "[Hardware]\r\nPortAdress=1FF\r\n[Kestrel INI-Section]\r\nDeviceIndex=1\r\n"
        "[Sample]\r\nHexLineLen=300\r\n[Broken]\r\nHexLineLen=1\r\n");
    p.dir.Write("at90list.csv", std::string(kLibrary) + "Broken;DIP99;12000;Y\r\n");
    p.Load();
    const auto texts = p.ui.Texts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0], kPortMessage);
    EXPECT_NE(texts[1].find("Unbekannte Gehäuseform"), std::string::npos) << texts[1];
    EXPECT_EQ(texts[2], HexLineMessage(1));
    EXPECT_EQ(p.ctx.device.name, "Broken");

    // The halves alone: the global one leaves the device's keys untouched, the device one
    // reads the section of the record as it stands.
    p.ui.shown.clear();
    const IniFile ini = ReadConfigurationFile(p.ctx);
    p.ctx.settings.hexLineLen = 16;
    LoadGlobalSettings(p.ctx, ini);
    EXPECT_EQ(p.ui.Texts(), std::vector<std::string>{kPortMessage});
    EXPECT_EQ(p.ctx.settings.hexLineLen, 16u);
    p.ctx.device.name = "Sample";
    LoadDeviceSettings(p.ctx, ini);
    EXPECT_EQ(p.ui.Texts(), (std::vector<std::string>{kPortMessage, HexLineMessage(300)}));
    EXPECT_EQ(p.ctx.settings.hexLineLen, 32u);
}

TEST(LoadConfiguration, DataFileIsTakenFromDirectoryAndNameKeys) {
    const struct {
        const char* dataPath;  // nullptr: neither key is stored
        const char* lastFile;
        const char* filePath;
        const char* eepromPath;
        const char* fileName;
    } cases[] = {
        {nullptr, nullptr, "C:\\tmp", "C:\\tmp.eep", "tmp"},
        {"C:\\daten\\", "test.hex", "C:\\daten\\test.hex", "C:\\daten\\test.eep", "test.hex"},
        // Without the final backslash the last directory counts as a name; a directory
        // in "LastFile" is ignored.
        {"C:\\daten", "D:\\x\\prog.tar.hex", "C:\\prog.tar.hex", "C:\\prog.tar.eep",
         "prog.tar.hex"},
        // A Linux name may have a ':' where a drive letter would end.
        {"\\home\\x\\", "a:b.hex", "\\home\\x\\a:b.hex", "\\home\\x\\a:b.eep", "a:b.hex"},
    };
    for (const auto& c : cases) {
        Programmer p(c.dataPath ? std::string("[Sample]\r\nDataPath=") + c.dataPath +
                                      "\r\nLastFile=" + c.lastFile
                                : "");
        p.Load();
        EXPECT_EQ(p.ctx.paths.filePath, c.filePath);
        EXPECT_EQ(p.ctx.paths.eepromPath, c.eepromPath);
        EXPECT_EQ(p.ctx.paths.fileName, c.fileName);
        EXPECT_EQ(p.ctx.paths.directory, c.dataPath ? c.dataPath : "C:\\");
    }
    // The drive is dropped on disk, and both separators count.
    DataFilePaths chosen;
    SetDataFile(chosen, "C:\\daten/sub\\x.tar.hex");
    EXPECT_EQ(DataFileOnDisk(chosen), "/daten/sub/x.tar.hex");
    EXPECT_EQ(EepromFileOnDisk(chosen), "/daten/sub/x.tar.eep");
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
              "SearchHardware=2\r\nTimeOut=-1294967296\r\nTimeBaseKorr=85\r\nMessageBeap=1\r\n"
              "\r\n[Kestrel INI-Section]\r\nManufIndex=0\r\nDeviceIndex=0\r\nX-Koord=10\r\n"
              "Y-Koord=10\r\n\r\n[Sample]\r\nFFSave=0\r\nDataFormat=4\r\nTestChecksum=1\r\n"
              "ShowDeviceData=1\r\nIDCheck=0\r\nHexLineLen=32\r\nLockBits=252\r\nFuseLow=225\r\n"
              "FuseHigh=217\r\nFuseExt=255\r\nReadFilter=1\r\nDataPath=\\home\\anna\\\xDC"
              "bungen\\\r\nLastFile=blink.hex\r\n");

    Programmer q(bytes);
    q.Load();
    EXPECT_EQ(q.ctx.settings.timeOut, 3000000000u);
    // Read from the program's section, where the save did not put it.
    EXPECT_EQ(q.ctx.settings.showDeviceData, 0u);
    EXPECT_EQ(q.ctx.paths.filePath, "\\home\\anna\\Übungen\\blink.hex");
}

// Each save writes what its run changed into the file as it is then; of a key both runs
// changed, the later save's value stays. A value the load corrected is written too.
TEST(SaveConfiguration, TwoRunsKeepEachOthersChanges) {
    Programmer first("[Hardware]\r\nTimeOut=500000\r\n");
    first.Load();
    Programmer second(&first);
    first.ctx.settings.lockBits = 0xFC;
    first.ctx.settings.xKoord = 100;
    second.ctx.settings.fuseLow = 0xA1;
    second.ctx.settings.xKoord = 200;
    EXPECT_EQ(SaveConfiguration(first.ctx), 0);
    EXPECT_EQ(SaveConfiguration(second.ctx), 0);

    const Programmer reader(&first);
    EXPECT_EQ(reader.ctx.settings.lockBits, 0xFC);
    EXPECT_EQ(reader.ctx.settings.fuseLow, 0xA1);
    EXPECT_EQ(reader.ctx.settings.xKoord, 200);
    const std::string bytes = first.dir.Read("pendrake.ini");
    EXPECT_NE(bytes.find("TimeOut=1000000\r\n"), std::string::npos) << bytes;
}

// Something that is no regular file is kept as it is, and the save says it failed,
// naming it; a FIFO does not make the load wait for a writer.
TEST(SaveConfiguration, KeepsAFifoAndSaysSo) {
    Programmer p("");
    ASSERT_EQ(::mkfifo(p.ctx.iniPath.c_str(), 0600), 0);
    p.Load();
    EXPECT_EQ(p.ui.shown.size(), 1u) << "the load reports the FIFO";
    p.ui.shown.clear();
    EXPECT_NE(SaveConfiguration(p.ctx), 0);
    ASSERT_EQ(p.ui.shown.size(), 1u);
    EXPECT_NE(p.ui.shown[0].text.find(p.ctx.iniPath), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_fifo(p.ctx.iniPath));
}

// A Windows-1252 file cannot hold every name a Linux directory can: such a path is
// reported and the stored one stays, rather than coming back with '?' in it.
TEST(SaveConfiguration, ReportsADataPathTheFileCannotHold) {
    Programmer p("[Sample]\r\nDataPath=\\daten\\\r\nLastFile=alt.hex\r\n");
    p.Load();
    SetDataFileFromDisk(p.ctx.paths, "/home/anna/\u65E5\u672C/blink.hex");
    p.ctx.settings.lockBits = 0xFC;
    EXPECT_EQ(SaveConfiguration(p.ctx), 0);
    ASSERT_EQ(p.ui.shown.size(), 1u);
    EXPECT_NE(p.ui.shown[0].text.find("\u65E5\u672C"), std::string::npos) << p.ui.shown[0].text;
    const std::string bytes = p.dir.Read("pendrake.ini");
    EXPECT_NE(bytes.find("DataPath=\\daten\\\r\nLastFile=alt.hex\r\n"), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("LockBits=252"), std::string::npos) << bytes;
}

}  // namespace
}  // namespace merlinox
