#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "config/data_file_paths.h"
#include "files/data_loader.h"
#include "operations/operation_rig.h"

namespace merlinox::testing {
namespace {

// One library line per programming mode, each with a chip of its own kind of memory
// access: cell by cell, paged, with and without read-back.
struct ModeCase {
    const char* device;
    int mode;
};

const ModeCase kModeCases[] = {
    {"AT90S2313 (parallel)", kPar1},   {"AT90S8515 (parallel)", kPar2},
    {"ATtiny12 (HV seriell)", kPar3},  {"ATtiny85 (HV seriell)", kPar4},
    {"AT90S8515 (ISP)", kSpi1},        {"ATtiny12 (SPI Sockel 1)", kSpi2},
    {"ATmega8 (ISP)", kMspi1},         {"ATtiny85 (SPI Sockel 1)", kMspi2},
};

void PrintTo(const ModeCase& c, std::ostream* os) { *os << c.device; }

std::string CaseName(const ::testing::TestParamInfo<ModeCase>& info) {
    static const char* const kNames[] = {"", "PAR1", "PAR2", "PAR3", "PAR4",
                                         "SPI1", "SPI2", "MSPI1", "MSPI2"};
    return kNames[info.param.mode];
}

// The rig with a flash file and its EEPROM companion written from test patterns
// (flash at most 8 KB, so that every mode's test stays quick).
struct ModeTest : ::testing::TestWithParam<ModeCase> {
    ModeTest() : rig(GetParam().device) {
        const DeviceRecord& dev = rig.ctx.device;
        EXPECT_EQ(dev.programmingMode, GetParam().mode);
        const std::size_t flashBytes = std::min<std::size_t>(2ull * dev.flashWords, 0x2000);
        flash = TestPattern(flashBytes, 1);
        eeprom = TestPattern(dev.eepromBytes, 2);
        rig.dir.Write("fw.bin", Bytes(flash));
        if (!eeprom.empty()) rig.dir.Write("fw.eep", Bytes(eeprom));
        rig.UseDataFile(rig.dir.Path("fw.bin"));
    }

    // Programs the files with the fuse defaults and Lock1 set (mode 2: no more
    // writes, reads still allowed).
    int Program() {
        rig.ctx.settings.lockBits = 0xFE;
        rig.ui.Answer(kIdOk);
        return rig.handlers.OnProgramButton();
    }

    void ExpectChipHolds() {
        const auto& contents = rig.Contents();
        ASSERT_GE(contents.flash.size(), flash.size());
        EXPECT_TRUE(std::equal(flash.begin(), flash.end(), contents.flash.begin()));
        ASSERT_GE(contents.eeprom.size(), eeprom.size());
        EXPECT_TRUE(std::equal(eeprom.begin(), eeprom.end(), contents.eeprom.begin()));
    }

    OperationRig rig;
    std::vector<std::uint8_t> flash;
    std::vector<std::uint8_t> eeprom;
};

TEST_P(ModeTest, ProgramsVerifiesErasesAndBlankChecks) {
    ASSERT_EQ(Program(), 0) << ::testing::PrintToString(rig.Messages());
    EXPECT_TRUE(rig.Showed("Keine Fehler beim Brennen"));
    ExpectChipHolds();
    EXPECT_EQ(rig.Contents().lock & 0x01, 0) << "Lock1 not programmed";
    EXPECT_TRUE(rig.ControlsUnlocked());

    rig.ui.shown.clear();
    rig.ui.Answer(kIdOk);
    EXPECT_EQ(rig.handlers.OnVerifyButton(), 0) << ::testing::PrintToString(rig.Messages());
    EXPECT_TRUE(rig.Showed("Keine Fehler beim Prüfen !"));

    rig.ui.shown.clear();
    rig.ui.Answer(kIdOk);
    EXPECT_EQ(rig.handlers.OnEraseButton(), 0) << ::testing::PrintToString(rig.Messages());
    EXPECT_EQ(rig.ui.shown.size(), 1u) << "erase shows only its confirmation";
    EXPECT_EQ(rig.Contents().lock & 0x03, 0x03);
    rig.ui.shown.clear();
    rig.ui.Answer(kIdOk);
    EXPECT_EQ(rig.handlers.OnBlankCheckButton(), 0) << ::testing::PrintToString(rig.Messages());
    EXPECT_TRUE(rig.Showed("Baustein ist leer"));
    EXPECT_TRUE(rig.ControlsUnlocked());
}

// Each of the eight formats read back by our own loaders, verified against the chip
// from the read-out files, and compared with the original by srecord where installed.
TEST_P(ModeTest, ReadsOutInEveryFormatWhatWasProgrammed) {
    ASSERT_EQ(Program(), 0) << ::testing::PrintToString(rig.Messages());
    static const char* const kSrecFormat[] = {"", "-binary", "", "-intel", "-intel", "-intel",
                                              "-motorola", "-motorola", "-motorola"};
    for (int format = kFormatBinary; format <= kFormatS3; ++format) {
        SCOPED_TRACE("format " + std::to_string(format));
        const std::string name = "out" + std::to_string(format) + ".x";
        rig.ui.shown.clear();
        rig.ui.Answer(kIdOk);
        rig.dialogs.Answer(FileDialogChoice{rig.dir.Path(name), format + 1});
        ASSERT_EQ(rig.handlers.OnReadOutButton(), 0) << ::testing::PrintToString(rig.Messages());
        EXPECT_TRUE(rig.Showed("Inhalt vom Baustein gespeichert."));
        const std::string saved = DataFileOnDisk(rig.ctx.paths);

        const PassLoad load = LoadFileForPass(rig.ctx, saved, kFlash);
        ASSERT_EQ(load.result, 0);
        CloseInputFile(rig.ctx);
        EXPECT_EQ(load.format, format);
        EXPECT_TRUE(std::equal(flash.begin(), flash.end(), rig.ctx.image.bytes.begin()));
        if (!eeprom.empty()) {
            const PassLoad eep = LoadFileForPass(rig.ctx, EepromFileOnDisk(rig.ctx.paths), kEeprom);
            ASSERT_EQ(eep.result, 0);
            CloseInputFile(rig.ctx);
            EXPECT_TRUE(std::equal(eeprom.begin(), eeprom.end(), rig.ctx.image.bytes.begin()));
        }

        rig.ui.shown.clear();
        rig.ui.Answer(kIdOk);
        EXPECT_EQ(rig.handlers.OnVerifyButton(), 0) << ::testing::PrintToString(rig.Messages());

        if (HaveSrecord() && format >= kFormatIntel8) {
            // Blank cells may be left out of a saved file: both sides are filled with them.
            const std::string fill = " -fill 0xFF 0 " + std::to_string(flash.size());
            const std::string command = "srec_cmp " + rig.dir.Path("fw.bin") + " -binary" +
                                        fill + " " + saved + " " + kSrecFormat[format] + fill +
                                        " >/dev/null 2>&1";
            EXPECT_EQ(std::system(command.c_str()), 0) << command;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryMode, ModeTest, ::testing::ValuesIn(kModeCases), CaseName);

}  // namespace
}  // namespace merlinox::testing
