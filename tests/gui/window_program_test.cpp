#include <gtest/gtest.h>

#include <QComboBox>
#include <QImage>
#include <QPushButton>
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "gui/qt_text.h"
#include "gui/window_program.h"
#include "modal_answers.h"
#include "sim/chip_model.h"
#include "support/scratch_dir.h"
#include "version.h"

namespace merlinox::gui {
namespace {

using testing::DialogAnswerer;
using testing::ScratchDir;

namespace fs = std::filesystem;

constexpr const char* kDevice = "ATmega8 (ISP)";

// The window program as a user starts it in a working directory that holds our
// device library, on the simulated board, with every dialog answered.
struct Program {
    ScratchDir dir;
    fs::path previousDirectory = fs::current_path();
    DialogAnswerer answers;
    std::unique_ptr<WindowProgram> program;

    // withProgramFile: the built window program lies in the working directory as
    // "kestrel", as scripts/run puts it there.
    explicit Program(bool withProgramFile = false) {
        fs::copy_file(fs::path(KESTREL_SOURCE_DIR) / "data" / "at90list.csv",
                      dir.Path("at90list.csv"));
        if (withProgramFile) {
            fs::create_symlink(fs::path(KESTREL_BINARY_DIR) / "src" / "gui" / "kestrel",
                               dir.Path("kestrel"));
        }
        fs::current_path(dir.Dir());
        WindowOptions options;
        options.board.board = "sim";
        options.simState = dir.Path("chip.state");
        options.lockDirectory = dir.Path("lock");
        program = std::make_unique<WindowProgram>(options);
        program->Start();
        program->window.show();
    }
    ~Program() {
        program.reset();
        fs::current_path(previousDirectory);
    }

    MainWindow& window() { return program->window; }
    QPushButton* Button(int id) { return qobject_cast<QPushButton*>(window().Control(id)); }

    // What a user does in the device list.
    void SelectDevice(const std::string& name) {
        auto* list = qobject_cast<QComboBox*>(window().Control(kDeviceList));
        const int index = list->findText(QString::fromStdString(name));
        ASSERT_GE(index, 0) << name;
        list->setCurrentIndex(index);
        emit list->activated(index);
    }

    bool Shown(const std::string& text) const {
        return std::find(answers.texts.begin(), answers.texts.end(), text) !=
               answers.texts.end();
    }

    std::string WriteFirmware(const std::string& name, std::size_t size) {
        std::string bytes(size, '\0');
        for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + 3) & 0xFF);
        return dir.Write(name, bytes);
    }

    const sim::ChipContents& Chip() { return program->socket->Chip()->Contents(); }

    void ExpectIdle() {
        for (const int id : kLockedControls) EXPECT_TRUE(window().IsEnabled(id)) << id;
        EXPECT_FALSE(window().IsEnabled(kCancelButton));
        EXPECT_EQ(window().Text(kStatusLine), "Warte auf Eingaben");
        EXPECT_EQ(program->busy.Window(), nullptr);
        EXPECT_FALSE(program->busy.BusyWindowExists());
    }
};

TEST(WindowProgram, StartsOnTheSimulatedBoardAndShowsTheSelectedDevice) {
    if (!fs::exists(fs::path(KESTREL_BINARY_DIR) / "src" / "gui" / "kestrel")) {
        GTEST_SKIP() << "the window program is not built";
    }
    Program p(true);
    EXPECT_TRUE(p.answers.texts.empty());
    EXPECT_FALSE(p.program->ctx.link.demoMode);
    // The version block of the built program file, in its short form.
    EXPECT_EQ(FromQt(p.window().windowTitle()),
              "Merlinox V" + std::to_string(KESTREL_VERSION_MAJOR) + "." +
                  std::to_string(KESTREL_VERSION_MINOR) + std::to_string(KESTREL_VERSION_PATCH));
    EXPECT_EQ(p.window().Text(kManufacturerList), "Atmel");
    p.SelectDevice(kDevice);
    EXPECT_EQ(p.program->ctx.device.name, kDevice);
    EXPECT_EQ(p.program->socket->Chip()->Facts().code, 0x9307);
    EXPECT_EQ(p.window().Text(1042), "RSTDISBL");
    EXPECT_FALSE(p.window().IsEnabled(1042));
    EXPECT_TRUE(p.answers.texts.empty());

    // The picture of the window that the documentation shows: always written into the
    // build tree, and into docs/ only when it shows something else, so that an unchanged
    // window leaves the work tree clean.
    const QImage shot = p.window().grab().toImage().convertToFormat(QImage::Format_RGB32);
    const fs::path built = fs::path(KESTREL_BINARY_DIR) / "main-window.png";
    EXPECT_TRUE(shot.save(QString::fromStdString(built.string())));
    const QString kept =
        QString::fromStdString((fs::path(KESTREL_SOURCE_DIR) / "docs" / "main-window.png").string());
    if (QImage(kept).convertToFormat(QImage::Format_RGB32) != shot) {
        EXPECT_TRUE(shot.save(kept));
    }
}

TEST(WindowProgram, ProgramAndVerifyClickedThroughOnTheSimulator) {
    Program p;
    p.SelectDevice(kDevice);
    const std::string firmware = p.WriteFirmware("blink.bin", 600);
    p.WriteFirmware("blink.eep", 32);
    p.answers.files.push_back(QString::fromStdString(firmware));
    p.Button(kNewFileButton)->click();
    EXPECT_EQ(p.window().Text(kFileNameField), "blink.bin");

    p.Button(kProgramButton)->click();
    EXPECT_TRUE(p.Shown("Keine Fehler beim Brennen")) << p.answers.texts.back();
    EXPECT_EQ(p.Chip().flash[0], 0x03);
    EXPECT_EQ(p.Chip().flash[599], static_cast<std::uint8_t>((599 * 7 + 3) & 0xFF));
    EXPECT_EQ(p.Chip().eeprom[31], static_cast<std::uint8_t>((31 * 7 + 3) & 0xFF));
    p.ExpectIdle();

    p.Button(kVerifyButton)->click();
    EXPECT_TRUE(p.Shown("Keine Fehler beim Prüfen !")) << p.answers.texts.back();
    p.ExpectIdle();
}

TEST(WindowProgram, CancelDuringAPassEndsTheOperationAndFreesTheWindow) {
    Program p;
    p.SelectDevice(kDevice);
    const std::string firmware = p.WriteFirmware("full.bin", 8192);
    p.answers.files.push_back(QString::fromStdString(firmware));
    p.Button(kNewFileButton)->click();
    int cancels = 0;
    p.answers.onIdle = [&] {
        if (p.window().IsEnabled(kCancelButton) && cancels == 0) {
            ++cancels;
            p.Button(kCancelButton)->click();
        }
    };
    p.Button(kProgramButton)->click();
    p.answers.onIdle = nullptr;
    EXPECT_EQ(cancels, 1);
    EXPECT_FALSE(p.Shown("Keine Fehler beim Brennen"));
    EXPECT_EQ(p.Chip().flash[8191], 0xFF);  // the pass ended before the last word
    EXPECT_EQ(p.program->ctx.operation.cancelRequested, 0);
    p.ExpectIdle();
}

TEST(WindowProgram, ClosingSavesTheConfigurationAndRemindsOfTheChip) {
    Program p;
    p.SelectDevice(kDevice);
    p.window().move(120, 80);
    EXPECT_TRUE(p.window().close());
    EXPECT_EQ(p.answers.texts.back(), "Baustein jetzt unbedingt\naus dem Sockel nehmen !!!");
    const std::string ini = p.dir.Read("pendrake.ini");
    EXPECT_NE(ini.find("[ATmega8 (ISP)]"), std::string::npos);
    EXPECT_NE(ini.find("X-Koord=120"), std::string::npos);
}

}  // namespace
}  // namespace merlinox::gui
