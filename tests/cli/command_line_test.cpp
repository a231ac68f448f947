#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/library_location.h"
#include "cli/device_choice.h"
#include "cli_test_support.h"
#include "support/scratch_dir.h"
#include "version.h"

namespace merlinox::cli {
namespace {

using testing::ScratchDir;

// The full name or a part name that one device carries selects it, in any letter case; a
// part with two devices and a slip of the keyboard list what the user may have meant.
TEST(DeviceChoice, MatchesFullAndUniquePartNamesAndOffersCandidatesOtherwise) {
    const std::vector<LibraryDevice> devices = {{"ATtiny12 (HV seriell)", {0, 3}},
                                                {"ATtiny12 (SPI Sockel 1)", {0, 4}},
                                                {"ATmega8 (ISP)", {0, 40}},
                                                {"ATmega328P (ISP)", {0, 70}},
                                                {"ATmega329 (ISP)", {0, 64}},
                                                {"ATmega3290 (ISP)", {0, 65}},
                                                {"Odd name", {1, 0}}};
    for (const auto& [typed, place] :
         {std::pair{"atmega328p", 70}, {"Odd name", 1000}, {"ATmega", -1}}) {
        const auto match = MatchDevice(devices, typed).place;
        EXPECT_EQ(match ? match->manufacturer * 1000 + match->device : -1, place) << typed;
    }
    const DeviceMatch twice = MatchDevice(devices, "attiny12");
    EXPECT_TRUE(twice.ambiguous);
    EXPECT_EQ(twice.candidates,
              (std::vector<std::string>{"ATtiny12 (HV seriell)", "ATtiny12 (SPI Sockel 1)"}));
    const DeviceMatch slip = MatchDevice(devices, "atmega329x");
    EXPECT_FALSE(slip.ambiguous);
    ASSERT_GE(slip.candidates.size(), 2u);
    EXPECT_EQ(slip.candidates[0], "ATmega329 (ISP)");
    EXPECT_EQ(slip.candidates[1], "ATmega3290 (ISP)");
    EXPECT_TRUE(MatchDevice(devices, "xyzzy-board").candidates.empty());
}

// Working directory first, then the named file (even when missing, so the error names
// it), then the installed copy; with none the working directory's.
TEST(LibraryLocation, PrefersTheWorkingDirectoryThenTheNamedFileThenTheInstalledCopy) {
    ScratchDir dir;
    const std::string here = dir.Path("here.csv");
    const std::string given = dir.Path("given.csv");
    const std::string installed = dir.Write("installed.csv", ":Atmel;Y\r\n");
    EXPECT_EQ(PickLibraryFile({here, given, installed}), given);
    EXPECT_EQ(PickLibraryFile({here, "", installed}), installed);
    EXPECT_EQ(PickLibraryFile({here, "", dir.Path("gone.csv")}), here);
    dir.Write("here.csv", ":Atmel;Y\r\n");
    EXPECT_EQ(PickLibraryFile({here, given, installed}), here);
}

// What a user sees from the tool itself: the version, a guess for a mistyped command, the
// library named with --library, the device by its part name, the JSON listings, and how
// much -q and -v say.
TEST(CommandLine, VersionGuessesLibraryOptionJsonAndHowMuchARunSays) {
    ScratchDir dir;
    std::string out;
    const auto run = [&](const std::string& arguments) {
        return testing::RunCli(dir.Dir().string(), arguments, out);
    };
    ASSERT_EQ(run("--version"), 0);
    EXPECT_EQ(out, "kestrel-cli (Merlinox) " KESTREL_VERSION_STRING "\n");

    EXPECT_NE(run("progam fw.bin --yes"), 0);
    EXPECT_EQ(out, "kestrel-cli: \"progam\" is no command; did you mean \"program\"?\n");

    const std::string library = "--library '" KESTREL_SOURCE_DIR "/data/at90list.csv' ";
    ASSERT_EQ(run(library + "devices --json"), 0) << out;
    EXPECT_NE(out.find("\"library\": \"" KESTREL_SOURCE_DIR "/data/at90list.csv\""),
              std::string::npos);
    EXPECT_NE(out.find("{\"index\": 40, \"device\": {\"name\": \"ATmega8 (ISP)\""),
              std::string::npos)
        << out;

    ASSERT_EQ(run(library + "fuses --json -d atmega8 -s CKSEL3=1"), 0) << out;
    EXPECT_NE(out.find("\"FuseLow\": {\"value\": 233,"), std::string::npos) << out;

    dir.Write("fw.bin", std::string("\x0c\x94\x34\x00", 4));
    const std::string sim = library + "--board sim --yes ";
    ASSERT_EQ(run(sim + "-q program fw.bin -d ATMEGA8"), 0);
    // Quiet keeps the errors, the result and the one line that says the board is simulated.
    EXPECT_EQ(out,
              "using the simulated board, no real chip is touched (--board=sim)\n"
              "Keine Fehler beim Brennen\n");
    ASSERT_EQ(run(sim + "-v verify fw.bin -d atmega8"), 0);
    EXPECT_NE(out.find("kestrel-cli: device ATmega8 (ISP)\n"), std::string::npos) << out;

    EXPECT_EQ(run(sim + "erase -d attiny12"), 13);
    EXPECT_NE(out.find("    -d \"ATtiny12 (SPI Sockel 1)\"\n"), std::string::npos) << out;
}

}  // namespace
}  // namespace merlinox::cli
