#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "config/data_file_paths.h"
#include "operations/operation_rig.h"

namespace merlinox::testing {
namespace {

// Replaces one ';'-terminated column (1-based) of the library line that starts with name.
void EditLibraryColumn(const std::string& path, const std::string& name, int column,
                       const std::string& value) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    std::string all = text.str();
    const std::size_t line = all.find("\n" + name + ";");
    ASSERT_NE(line, std::string::npos);
    std::size_t start = line + 1;
    for (int c = 1; c < column; ++c) start = all.find(';', start) + 1;
    const std::size_t end = all.find(';', start);
    all.replace(start, end - start, value);
    std::ofstream(path, std::ios::binary) << all;
}

TEST(OperationHandlers, PagedDeviceWithPageSizeZeroIsRefusedBeforeAnythingRuns) {
    OperationRig rig("ATmega8 (ISP)");
    EditLibraryColumn(rig.ctx.library.libraryPath, "ATmega8 (ISP)", 18, "0");
    rig.dir.Write("fw.bin", Bytes(TestPattern(64, 1)));
    rig.UseDataFile(rig.dir.Path("fw.bin"));
    const auto transfers = rig.board.Acknowledged();
    EXPECT_EQ(rig.handlers.OnProgramButton(), 7);
    ASSERT_EQ(rig.ui.shown.size(), 1u);
    EXPECT_NE(rig.ui.Last().text.find("Seitengröße von 0"), std::string::npos);
    EXPECT_NE(rig.ui.Last().text.find("ATmega8 (ISP)"), std::string::npos);
    EXPECT_EQ(rig.board.Acknowledged(), transfers);
    EXPECT_EQ(rig.busy.created, rig.busy.destroyed);
    EXPECT_TRUE(rig.ControlsUnlocked());
}

TEST(OperationHandlers, LocksEveryControlWhileRunningAndUnlocksAfter) {
    OperationRig rig("ATtiny85 (HV seriell)");
    bool lockedDuringPass = false;
    rig.ui.onPump = [&](int) {
        lockedDuringPass = !rig.view.IsEnabled(kProgramButton) && !rig.view.IsEnabled(kDeviceList) &&
                           !rig.view.IsEnabled(1027) && rig.view.IsEnabled(kCancelButton) &&
                           rig.busy.own;
    };
    rig.ui.Answer(kIdOk);
    EXPECT_EQ(rig.handlers.OnBlankCheckButton(), 0);
    EXPECT_TRUE(lockedDuringPass);
    EXPECT_TRUE(rig.ControlsUnlocked());
    EXPECT_EQ(rig.busy.createdX, rig.ctx.settings.xKoord + 311);
    EXPECT_EQ(rig.busy.createdY, rig.ctx.settings.yKoord + 103);
    EXPECT_EQ(rig.view.Get(kProgressBar).position, 0);

    rig.view.journal.clear();
    EXPECT_EQ(rig.handlers.OnResetButton(), 0);
    EXPECT_NE(std::find(rig.view.journal.begin(), rig.view.journal.end(), "text 1016 Schaltung Reset"),
              rig.view.journal.end());
    EXPECT_TRUE(rig.ControlsUnlocked());
    EXPECT_EQ(rig.ui.shown.size(), 2u) << "the reset adds nothing to the blank check's two boxes";
}

TEST(OperationHandlers, EmptyFileNameAsksForAFileAndACancelStopsQuietly) {
    OperationRig rig("ATmega8 (ISP)");
    rig.ctx.paths = DataFilePaths{};
    EXPECT_EQ(rig.handlers.OnVerifyButton(), 3);
    EXPECT_EQ(rig.handlers.OnProgramButton(), 3);
    ASSERT_EQ(rig.dialogs.asked.size(), 2u);
    EXPECT_FALSE(rig.dialogs.asked[0].save);
    EXPECT_TRUE(rig.dialogs.asked[0].mustExist);
    EXPECT_TRUE(rig.ui.shown.empty());
    EXPECT_TRUE(rig.ControlsUnlocked());

    // A chosen file becomes the data file and the programming goes on with it.
    rig.view.journal.clear();
    rig.dir.Write("app.bin", Bytes(TestPattern(256, 5)));
    rig.dialogs.Answer(FileDialogChoice{rig.dir.Path("app.bin"), 2});
    rig.ui.Answer(kIdOk);
    EXPECT_EQ(rig.handlers.OnProgramButton(), 0) << ::testing::PrintToString(rig.Messages());
    EXPECT_EQ(rig.ctx.settings.readFilter, 2);
    // What the status line showed, in order.
    std::vector<std::string> statuses;
    for (const auto& entry : rig.view.journal) {
        if (entry.rfind("text 1016 ", 0) == 0) statuses.push_back(entry.substr(10));
    }
    const std::vector<std::string> expected = {
        "Lese Daten", "Lösche Baustein", "Programmiere Programmspeicher",
        "Programmiere Fuse Bits", "Programmiere Security Bits", "Warte auf Eingaben"};
    EXPECT_EQ(statuses, expected);
    EXPECT_EQ(rig.view.Text(kFileNameField), "app.bin");
    EXPECT_EQ(EepromFileOnDisk(rig.ctx.paths), rig.dir.Path("app.eep"));
}

TEST(OperationHandlers, SaveDialogChoiceSetsExtensionAndFormat) {
    OperationRig rig("ATtiny13 (SPI Sockel 1)");
    rig.Contents().flash[0] = 0x11;
    rig.Contents().flash[5] = 0x22;
    rig.Contents().eeprom[3] = 0x33;
    // "*.*" keeps the typed extension and saves binary.
    rig.ui.Answer(kIdOk);
    rig.dialogs.Answer(FileDialogChoice{rig.dir.Path("dump.xyz"), 1});
    EXPECT_EQ(rig.handlers.OnReadOutButton(), 0) << ::testing::PrintToString(rig.Messages());
    EXPECT_EQ(rig.ctx.settings.dataFormat, kFormatBinary);
    EXPECT_EQ(rig.dir.Read("dump.xyz").size(), 6u);
    // Intel8 with ".bin": the file is written as ".hex".
    rig.ui.Answer(kIdOk);
    rig.dialogs.Answer(FileDialogChoice{rig.dir.Path("dump.bin"), kFormatIntel8 + 1});
    EXPECT_EQ(rig.handlers.OnReadOutButton(), 0);
    EXPECT_TRUE(std::filesystem::exists(rig.dir.Path("dump.hex")));
    EXPECT_FALSE(std::filesystem::exists(rig.dir.Path("dump.bin")));
    EXPECT_EQ(rig.view.Text(kFileNameField), "dump.hex");
    // The next dialog proposes the last format, name and directory; a cancel keeps them.
    EXPECT_EQ(rig.handlers.OnReadOutButton(), 4);
    const auto& asked = rig.dialogs.asked.back();
    EXPECT_TRUE(asked.save);
    EXPECT_TRUE(asked.confirmOverwrite);
    EXPECT_EQ(asked.defaultExtension, "hex");
    EXPECT_EQ(asked.filterIndex, kFormatIntel8 + 1);
    EXPECT_EQ(asked.initialName, "dump");
    EXPECT_EQ(asked.initialDirectory, rig.dir.Dir().string() + "/");
    EXPECT_EQ(rig.ctx.paths.fileName, "dump.hex");
}

TEST(OperationHandlers, SixteenBitFormatsAreRefusedAboveSixtyFourKilobytes) {
    OperationRig rig("ATmega128 (ISP)");
    rig.dialogs.Answer(FileDialogChoice{rig.dir.Path("big.hex"), kFormatS1 + 1});
    const auto transfers = rig.board.Acknowledged();
    EXPECT_EQ(rig.handlers.OnReadOutButton(), 4);
    ASSERT_EQ(rig.ui.shown.size(), 1u);
    EXPECT_EQ(rig.ui.Last().text.substr(0, 50), "Programmspeicher oder EEPROM haben mehr als 64kB !");
    EXPECT_EQ(rig.ctx.settings.dataFormat, kFormatS1) << "the choice is kept";
    EXPECT_EQ(rig.board.Acknowledged(), transfers);
    EXPECT_EQ(rig.busy.created, 0);

    // 64 KB of flash still fits.
    OperationRig fits("ATmega644 (ISP)");
    fits.dialogs.Answer(FileDialogChoice{fits.dir.Path("big.hex"), kFormatIntel8 + 1});
    EXPECT_EQ(fits.handlers.OnReadOutButton(), 4);  // the confirmation is declined
    ASSERT_EQ(fits.ui.shown.size(), 1u);
    EXPECT_EQ(fits.ui.Last().kind, BoxKind::OkCancel);
}

}  // namespace
}  // namespace merlinox::testing
