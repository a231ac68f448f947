#include "devices/library_reader.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "support/scratch_dir.h"
#include "support/scripted_ui.h"
#include "support/test_context.h"

namespace merlinox {
namespace {

using testing::ScratchDir;
using testing::ScriptedUi;

// The sample device line with its name and flag replaced; `end` follows the flag.
std::string Device(const std::string& name, const std::string& flag = "Y",
                   const std::string& end = "\r\n") {
    return name + ";DIP28;12000;5000;4500;9000;9000;8192;512;0x1E;0x93;0x07;0;SPI1;READFUSE;0;0;" +
           "32;4;0;0;2;0xFC;0xE1;0x00;0xD9;0x00;0xFF;0xFF;" + flag + end;
}

struct Library {
    ScratchDir dir;
    ScriptedUi ui;
    testing::TestContext ctx{ui};

    explicit Library(const std::string& bytes) {
        ctx.library.libraryPath = dir.Write("at90list.csv", bytes);
    }
    std::vector<std::string> Manufacturers() {
        std::vector<std::string> names;
        if (OpenLibrary(ctx) != 0) return names;
        while (NextManufacturer(ctx) == 0) names.push_back(ctx.library.manufacturerName);
        CloseLibrary(ctx);
        return names;
    }
    // The device list of a manufacturer: the names of the lines that parse.
    std::vector<std::string> Devices(int manufacturer) {
        ctx.settings.manufIndex = manufacturer;
        std::vector<std::string> names;
        if (OpenLibrary(ctx) != 0) return names;
        FindManufacturer(ctx);
        DeviceRecord scratch;
        for (int result; (result = NextDevice(ctx, scratch)) != kLibraryEnd;) {
            if (result == 0) names.push_back(scratch.name);
        }
        CloseLibrary(ctx);
        return names;
    }
    int Select(int manufacturer, int device) {
        ui.shown.clear();
        ctx.settings.manufIndex = manufacturer;
        ctx.settings.deviceIndex = device;
        return LoadSelectedDevice(ctx);
    }
};

const std::string kTwoMakers =
    ":Atmel;Y\r\n"
    "Name;Gehäuse;... a header line;N\r\n" +
    Device("A0") + Device("skipped", "N") + Device("A1", "y") + ":Dropped maker;N\r\n" +
    Device("D0") +
    ":Zweiter Hersteller\r\n"  // no flag: not active either
    ":Other;Y\r\n" +
    Device("O0");

TEST(Library, ListsAndSelectsByActiveIndexAndReportsWhatIsMissing) {
    Library lib(kTwoMakers);
    EXPECT_EQ(lib.Manufacturers(), (std::vector<std::string>{"Atmel", "Other"}));
    // An inactive manufacturer line still ends the section before it.
    EXPECT_EQ(lib.Devices(0), (std::vector<std::string>{"A0", "A1"}));
    EXPECT_EQ(lib.Devices(1), (std::vector<std::string>{"O0"}));
    EXPECT_EQ(lib.Select(0, 1), 0);
    EXPECT_EQ(lib.ctx.device.name, "A1");  // the N line does not count
    EXPECT_EQ(lib.Select(1, 0), 0);
    EXPECT_EQ(lib.ctx.device.name, "O0");
    EXPECT_TRUE(lib.ui.shown.empty());

    const struct {
        int manufacturer, device;
        const char* message;
    } missing[] = {{0, 2, "Keine Bausteine für diesen\n\n Hersteller in der Liste !"},
                   {1, 1, "Fehler beim lesen der Bibliothek !"},
                   {2, 0, "Hersteller in Bibliothek nicht gefunden !"}};
    for (const auto& m : missing) {
        EXPECT_EQ(lib.Select(m.manufacturer, m.device), kLibraryFailed);
        EXPECT_EQ(lib.ui.Texts(), std::vector<std::string>{m.message});
        EXPECT_FALSE(lib.ctx.library.file);
    }
    Library empty(":Leer;Y\r\n:Voll;Y\r\n" + Device("V0"));
    EXPECT_EQ(empty.Select(0, 0), kLibraryFailed);
    EXPECT_EQ(empty.ui.Texts(),
              std::vector<std::string>{"Keine Bausteine für diesen\n\n Hersteller in der Liste !"});

    // A faulty line is missing from the list but counts for the index.
    Library faulty(":Atmel;Y\r\nShort;DIP28;Y\r\n" + Device("B0"));
    EXPECT_EQ(faulty.Devices(0), std::vector<std::string>{"B0"});
    EXPECT_EQ(faulty.Select(0, 0), kLibraryFailed);  // the short line: 13 without a message
    EXPECT_TRUE(faulty.ui.shown.empty());
    EXPECT_EQ(faulty.Select(0, 1), 0);
}

TEST(Library, MissingOrUnreadableLibraryIsReportedWithTheFileError) {
    Library lib("");
    lib.ctx.library.libraryPath = lib.dir.Path("none.csv");
    EXPECT_EQ(lib.Select(0, 0), kLibraryFailed);
    ASSERT_EQ(lib.ui.shown.size(), 2u);
    EXPECT_EQ(lib.ui.shown[0].text, "Kann Bauteilbibliothek nicht öffnen !");
    EXPECT_EQ(lib.ui.shown[0].kind, BoxKind::Info);
    EXPECT_EQ(lib.ui.shown[1].text, "Fehler beim Öffnen der Datei\n\n" + lib.dir.Path("none.csv") +
                                        "\n\nerrno " + std::to_string(ENOENT));
    EXPECT_EQ(lib.ui.shown[1].kind, BoxKind::Plain);

    lib.ctx.library.libraryPath = lib.dir.Dir().string();  // a directory opens but cannot be read
    EXPECT_EQ(lib.Select(0, 0), kLibraryFailed);
    EXPECT_EQ(lib.ui.shown.size(), 2u);
    EXPECT_EQ(lib.Manufacturers(), std::vector<std::string>{});
}

TEST(Library, LinesAreReadLikeTextModeLinesOfAtMost2047Characters) {
    // A manufacturer name of 2100 characters: the first read ends after 2047 of them,
    // so the line has no flag, and the rest is a line of its own.
    Library lib(":" + std::string(2100, 'M') + ";Y\r\n:Kurz;Y\r\n");
    EXPECT_EQ(lib.Manufacturers(), std::vector<std::string>{"Kurz"});

    // LF alone ends a line too, and a lone CR is a character.
    Library mixed(":Atmel;Y\n" + Device("CR\rin name", "Y", "\n") + Device("Last", "Y", "\r\n"));
    EXPECT_EQ(mixed.Devices(0), (std::vector<std::string>{"CR\rin name", "Last"}));

    // A last line without a line end has its flag one character earlier, counted in
    // the file's own single-byte characters.
    Library unterminated(":Atmel;Y\r\n" + Device("Semicolon", "Y", ""));
    EXPECT_EQ(unterminated.Devices(0), std::vector<std::string>{});
    Library umlaut(":Atmel;Y\r\n" + Device("Umlaut", "Y", "\xE4"));
    EXPECT_EQ(umlaut.Devices(0), std::vector<std::string>{"Umlaut"});

    // A NUL ends what the line reader sees of a line, so that line has no flag.
    Library nul(":Atmel;Y\r\n" + Device(std::string("After\0NUL", 9)) + Device("Good"));
    EXPECT_EQ(nul.Devices(0), std::vector<std::string>{"Good"});
}

TEST(Library, NamesAreDecodedFromWindows1252) {
    Library lib(":M\xFCller & S\xF6hne \x80;Y\r\n" + Device("ATtiny\xB5 \xC4"));
    EXPECT_EQ(lib.Manufacturers(), std::vector<std::string>{"Müller & Söhne €"});
    EXPECT_EQ(lib.Select(0, 0), 0);
    EXPECT_EQ(lib.ctx.device.name, "ATtinyµ Ä");
}

}  // namespace
}  // namespace merlinox
