#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "config/data_file_paths.h"
#include "support/operation_rig.h"

namespace merlinox::testing {
namespace {

TEST(OperationHandlers, PagedDeviceWithPageSizeZeroIsRefusedBeforeAnythingRuns) {
    OperationRig rig("ATmega8 (ISP)");
    // The page size is column 18 of the device's library line.
    std::string library = rig.dir.Read("at90list.csv");
    std::size_t at = library.find("\nATmega8 (ISP);") + 1;
    for (int column = 1; column < 18; ++column) at = library.find(';', at) + 1;
    library.replace(at, library.find(';', at) - at, "0");
    rig.dir.Write("at90list.csv", library);
    rig.dir.Write("fw.bin", Bytes(TestPattern(64, 1)));
    rig.UseDataFile(rig.dir.Path("fw.bin"));
    const auto transfers = rig.board.Acknowledged();
    EXPECT_EQ(rig.handlers.OnProgramButton(), 7);
    ASSERT_EQ(rig.ui.shown.size(), 1u);
    EXPECT_NE(rig.ui.Last().text.find("ATmega8 (ISP)"), std::string::npos);
    EXPECT_NE(rig.ui.Last().text.find("Seitengröße von 0"), std::string::npos);
    EXPECT_EQ(rig.board.Acknowledged(), transfers);
    EXPECT_TRUE(rig.ControlsUnlocked());
}

TEST(OperationHandlers, EmptyFileNameAsksForAFileAndACancelStopsQuietly) {
    OperationRig rig("ATmega8 (ISP)");
    rig.ctx.paths = DataFilePaths{};
    EXPECT_EQ(rig.handlers.OnVerifyButton(), 3);
    EXPECT_EQ(rig.handlers.OnProgramButton(), 3);
    EXPECT_EQ(rig.dialogs.asked.size(), 2u) << "each asked for a file";
    EXPECT_TRUE(rig.ui.shown.empty());
    EXPECT_TRUE(rig.ControlsUnlocked());

    // A chosen file becomes the data file and the programming goes on with it.
    rig.view.journal.clear();
    rig.dir.Write("app.bin", Bytes(TestPattern(256, 5)));
    rig.dialogs.Answer(FileDialogChoice{rig.dir.Path("app.bin"), 2});
    rig.ui.Answer(kIdOk);
    EXPECT_EQ(rig.handlers.OnProgramButton(), 0) << ::testing::PrintToString(rig.Messages());
    EXPECT_EQ(rig.ctx.settings.readFilter, 2);
    std::vector<std::string> statuses;  // what the status line showed, in order
    for (const auto& entry : rig.view.journal) {
        if (entry.rfind("text 1016 ", 0) == 0) statuses.push_back(entry.substr(10));
    }
    EXPECT_EQ(statuses,
              (std::vector<std::string>{"Lese Daten", "Lösche Baustein",
                                        "Programmiere Programmspeicher", "Programmiere Fuse Bits",
                                        "Programmiere Security Bits", "Warte auf Eingaben"}));
    EXPECT_EQ(rig.view.Text(kFileNameField), "app.bin");
}

// "*.*" keeps the typed extension and saves binary.
TEST(OperationHandlers, SaveDialogChoiceSetsTheFormatAndIsProposedNextTime) {
    OperationRig rig("ATtiny13 (SPI Sockel 1)");
    rig.Contents().flash[0] = 0x11;
    rig.Contents().flash[5] = 0x22;
    rig.Contents().eeprom[3] = 0x33;  // a blank EEPROM would end the save
    rig.ui.Answer(kIdOk);
    rig.dialogs.Answer(FileDialogChoice{rig.dir.Path("dump.xyz"), 1});
    EXPECT_EQ(rig.handlers.OnReadOutButton(), 0) << ::testing::PrintToString(rig.Messages());
    EXPECT_EQ(rig.ctx.settings.dataFormat, kFormatBinary);
    EXPECT_EQ(rig.dir.Read("dump.xyz").size(), 6u);

    // The next dialog proposes the last format, name and directory; a cancel keeps them.
    EXPECT_EQ(rig.handlers.OnReadOutButton(), 4);
    const auto& asked = rig.dialogs.asked.back();
    EXPECT_EQ(asked.filterIndex, kFormatBinary + 1);
    EXPECT_EQ(asked.initialName, "dump");
    EXPECT_EQ(asked.initialDirectory, rig.dir.Dir().string() + "/");
    EXPECT_EQ(rig.ctx.paths.fileName, "dump.xyz");
}

TEST(OperationHandlers, SixteenBitFormatsAreRefusedAboveSixtyFourKilobytes) {
    OperationRig rig("ATmega128 (ISP)");
    rig.dialogs.Answer(FileDialogChoice{rig.dir.Path("big.hex"), kFormatS1 + 1});
    const auto transfers = rig.board.Acknowledged();
    EXPECT_EQ(rig.handlers.OnReadOutButton(), 4);
    ASSERT_EQ(rig.ui.shown.size(), 1u);
    EXPECT_EQ(rig.ui.Last().text.substr(0, 50),
              "Programmspeicher oder EEPROM haben mehr als 64kB !");
    EXPECT_EQ(rig.ctx.settings.dataFormat, kFormatS1) << "the choice is kept";
    EXPECT_EQ(rig.board.Acknowledged(), transfers);
}

}  // namespace
}  // namespace merlinox::testing
