#include <gtest/gtest.h>

#include <string>

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

constexpr const char* kHexLineMessage =
    "Der Wert für die Länge der HEX-Zeilen ist größer 254 oder kleiner 2.\nEingetragene Länge %d\n\n"
    "Wert geändert auf Standardwert = 32 Datenbytes";
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

std::string Message(const char* format, int value) {
    char text[512];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

TEST(LoadConfiguration, MissingFileGivesEveryDefault) {
    Programmer p("");
    p.Load();
    const Settings& s = p.ctx.settings;
    EXPECT_TRUE(p.ui.shown.empty());
    EXPECT_EQ(s.portAdress, 0x378);
    EXPECT_EQ(p.ctx.link.controlPort, 0x37A);
    EXPECT_EQ(s.searchHardware, 2);
    EXPECT_EQ(s.timeOut, 1000000u);
    EXPECT_EQ(s.messageBeap, 1u);
    EXPECT_EQ(s.timeBaseKorr, 85u);
    EXPECT_EQ(s.xKoord, 10);
    EXPECT_EQ(s.idCheck, 1);
    EXPECT_EQ(s.testChecksum, 1u);
    EXPECT_EQ(s.hexLineLen, 32u);
    EXPECT_EQ(s.dataFormat, 4);
    EXPECT_EQ(s.readFilter, 1);
    EXPECT_EQ(p.ctx.device.name, "Sample");
    // The device's defaults, with the lock byte always unlocked.
    EXPECT_EQ(s.lockBits, 0xFF);
    EXPECT_EQ(s.fuseLow, 0xE1);
    EXPECT_EQ(s.fuseHigh, 0xD9);
    EXPECT_EQ(s.fuseExt, 0xFF);
    EXPECT_EQ(p.ctx.paths.filePath, "C:\\tmp");
    EXPECT_EQ(p.ctx.paths.eepromPath, "C:\\tmp.eep");
    EXPECT_EQ(p.ctx.paths.fileName, "tmp");
}

TEST(LoadConfiguration, PortAddressIsHexadecimalWithinItsRange) {
    const struct {
        const char* text;
        std::uint16_t base;
        bool message;
    } cases[] = {{"278", 0x278, false}, {"0x3BC", 0x3BC, false}, {"3bc", 0x3BC, false}, {"400", 0x400, false},
                 {"1F0", 0x378, true},  {"401", 0x378, true},    {"junk", 0x378, true}, {"-278", 0x378, true}};
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

TEST(LoadConfiguration, CorrectsOutOfRangeValuesSilently) {
    Programmer p(
        "[Hardware]\r\nDebugNT=2\r\nSearchHardware=6\r\nTimeOut=500000\r\nMessageBeap=7\r\nTimeBaseKorr=101\r\n"
        "[Kestrel INI-Section]\r\nX-Koord=1025\r\nY-Koord=-1\r\nDeviceIndex=-3\r\n"
        "ShowDeviceData=2\r\n"
        "[sample]\r\nFFSave=2\r\nIDCheck=256\r\nTestChecksum=5\r\nLockBits=300\r\nFuseLow=255\r\n"
        "FuseHigh=-1\r\nFuseExt=0\r\nHexLineLen=33\r\nDataFormat=9\r\nReadFilter=0\r\n");
    p.Load();
    const Settings& s = p.ctx.settings;
    EXPECT_EQ(s.debugNT, 0);
    EXPECT_EQ(s.searchHardware, 2);
    EXPECT_EQ(s.timeOut, 1000000u);
    EXPECT_EQ(s.messageBeap, 1u);
    EXPECT_EQ(s.timeBaseKorr, 85u);
    EXPECT_EQ(s.xKoord, 10);
    EXPECT_EQ(s.yKoord, 10);
    EXPECT_EQ(s.deviceIndex, 0);
    EXPECT_EQ(s.showDeviceData, 0u);
    EXPECT_EQ(s.ffSave, 0u);
    EXPECT_EQ(s.idCheck, 0);     // only the low 8 bits count
    EXPECT_EQ(s.testChecksum, 1u);
    EXPECT_EQ(s.lockBits, 0xFF);  // 300 is no byte: the default stays
    EXPECT_EQ(s.fuseLow, 0xFF);
    EXPECT_EQ(s.fuseHigh, 0xD9);  // -1 reads as 0xFFFFFFFF, no byte either
    EXPECT_EQ(s.fuseExt, 0x00);
    EXPECT_EQ(s.hexLineLen, 32u);
    EXPECT_EQ(s.dataFormat, 1);   // out of range gives 1, not the default 4
    EXPECT_EQ(s.readFilter, 1);
    EXPECT_TRUE(p.ui.shown.empty());

    // A negative manufacturer index becomes 1, not 0, which the sample library lacks.
    WriteProfileInt(p.ctx.iniPath, "Kestrel INI-Section", "ManufIndex", -3);
    p.Load();
    EXPECT_EQ(s.manufIndex, 1);
    EXPECT_EQ(p.ui.Texts(), std::vector<std::string>{"Hersteller in Bibliothek nicht gefunden !"});
}

TEST(LoadConfiguration, KeepsTheLimitsOfEachRange) {
    Programmer p("[Hardware]\r\nSearchHardware=5\r\nTimeOut=2000000\r\nMessageBeap=0\r\nTimeBaseKorr=100\r\n"
                 "[Kestrel INI-Section]\r\nX-Koord=1024\r\nY-Koord=768\r\nShowDeviceData=1\r\n"
                 "[Sample]\r\nLockBits=252\r\nHexLineLen=254\r\nDataFormat=8\r\nReadFilter=4\r\n");
    p.Load();
    const Settings& s = p.ctx.settings;
    EXPECT_EQ(s.searchHardware, 5);
    EXPECT_EQ(p.ctx.link.timeoutCount, 2000000u);
    EXPECT_EQ(s.messageBeap, 0u);
    EXPECT_EQ(s.xKoord + s.yKoord, 1024 + 768);
    EXPECT_EQ(s.showDeviceData, 1u);
    EXPECT_EQ(s.lockBits, 252);
    EXPECT_EQ(s.hexLineLen, 254u);
    EXPECT_EQ(s.dataFormat + s.readFilter, 8 + 4);
    // The delays were converted with the correction read just before the device.
    EXPECT_EQ(p.ctx.device.flashWriteDelay, 45u);
    EXPECT_TRUE(p.ui.shown.empty());
}

TEST(LoadConfiguration, HexLineLengthOutsideTwoTo254IsReported) {
    for (const int value : {255, 300, 1, 0, -4}) {
        Programmer p("[Sample]\r\nHexLineLen=" + std::to_string(value) + "\r\n");
        p.Load();
        EXPECT_EQ(p.ctx.settings.hexLineLen, 32u);
        EXPECT_EQ(p.ui.Texts(), std::vector<std::string>{Message(kHexLineMessage, value)});
    }
    Programmer odd("[Sample]\r\nHexLineLen=3\r\n");
    odd.Load();
    EXPECT_EQ(odd.ctx.settings.hexLineLen, 2u);
    EXPECT_TRUE(odd.ui.shown.empty());
}

TEST(LoadConfiguration, DataFileIsTakenFromDirectoryAndNameKeys) {
    Programmer p("[Sample]\r\nDataPath=C:\\daten\\\r\nLastFile=test.hex\r\n");
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
    s.fuseExt = 0x01;
    s.idCheck = 0;
    SetDataFileFromDisk(p.ctx.paths, "/home/anna/Übungen/blink.hex");
    SaveConfiguration(p.ctx);

    const std::string bytes = p.dir.Read("pendrake.ini");
    EXPECT_EQ(bytes.rfind("; from the other program\r\n[Hardware]\r\nPortAdress=278\r\nPrinter=lp0\r\n", 0), 0u);
    EXPECT_NE(bytes.find("TimeOut=-1294967296\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("DataPath=\\home\\anna\\\xDC" "bungen\\\r\nLastFile=blink.hex\r\n"), std::string::npos);
    EXPECT_EQ(ReadProfileInt(p.ctx.iniPath, "Sample", "ShowDeviceData", 9), 1u);
    EXPECT_EQ(ReadProfileInt(p.ctx.iniPath, "Kestrel INI-Section", "ShowDeviceData", 9), 9u);

    Programmer q("");
    q.dir.Write("pendrake.ini", bytes);
    q.Load();
    EXPECT_EQ(q.ctx.settings.timeOut, 3000000000u);
    EXPECT_EQ(q.ctx.settings.lockBits, 0xFC);
    EXPECT_EQ(q.ctx.settings.fuseExt, 0x01);
    EXPECT_EQ(q.ctx.settings.idCheck, 0);
    EXPECT_EQ(q.ctx.settings.portAdress, 0x278);
    // Read from the program's section, where the save did not put it.
    EXPECT_EQ(q.ctx.settings.showDeviceData, 0u);
    EXPECT_EQ(q.ctx.paths.filePath, "\\home\\anna\\Übungen\\blink.hex");
    EXPECT_EQ(DataFileOnDisk(q.ctx.paths), "/home/anna/Übungen/blink.hex");
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
