#include "gui/window_program.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <string>

#include "app/busy_lock_file.h"
#include "cli/cli_test_support.h"
#include "gui/qt_text.h"
#include "modal_answers.h"
#include "sim/chip_model.h"
#include "support/fake_ppdev_kernel.h"
#include "support/scratch_dir.h"
#include "version.h"

namespace merlinox::gui {
namespace {

namespace fs = std::filesystem;

// The window program as a user starts it in a working directory that holds our
// device library (and no program file: the title's version is the running program's),
// on the simulated board, with the ATmega8 chosen in the list and every dialog answered.
struct Program {
    testing::ScratchDir dir;
    fs::path previousDirectory = fs::current_path();
    testing::ModalAnswers answers;
    std::unique_ptr<WindowProgram> program;

    // setUp may change the options before the program starts.
    explicit Program(const std::function<void(WindowOptions&, testing::ScratchDir&)>& setUp = {}) {
        fs::copy_file(KESTREL_SOURCE_DIR "/data/at90list.csv", dir.Path("at90list.csv"));
        fs::current_path(dir.Dir());
        WindowOptions options;
        options.board.board = "sim";
        options.simState = dir.Path("chip.state");
        options.lockDirectory = dir.Path("lock");
        if (setUp) setUp(options, dir);
        program = std::make_unique<WindowProgram>(options);
        program->Start();
        program->window.show();
        auto* list = qobject_cast<QComboBox*>(window().Control(kDeviceList));
        list->setCurrentIndex(list->findText("ATmega8 (ISP)"));
        emit list->activated(list->currentIndex());
    }
    ~Program() {
        program.reset();
        fs::current_path(previousDirectory);
    }

    MainWindow& window() { return program->window; }
    void Click(int id) { qobject_cast<QPushButton*>(window().Control(id))->click(); }
    const sim::ChipContents& Chip() { return program->socket->Chip()->Contents(); }
    bool Marked() { return window().findChild<QWidget*>("simulatedBoardMarker")->isVisible(); }
};

// The built program tells its version without a display, and says why it does not open
// beside an operation that only a lock file marks.
TEST(WindowProgram, TellsItsVersionAndWhyItQuitsBesideARunningOperation) {
    testing::ScratchDir dir;
    const std::string program = KESTREL_BINARY_DIR "/src/gui/kestrel";
    std::string out;
    ASSERT_EQ(testing::RunShell("env -u DISPLAY '" + program + "' --version", out), 0) << out;
    EXPECT_EQ(out, "kestrel (Merlinox) " KESTREL_VERSION_STRING "\n");

    fs::create_directory(dir.Path("run"));
    BusyLockFile commandLineRun(dir.Path("run/merlinox"));
    commandLineRun.Create(0, 0);
    ASSERT_TRUE(commandLineRun.Holding());
    ASSERT_EQ(testing::RunIn(dir.Dir().string(),
                             "env -u DISPLAY QT_QPA_PLATFORM=offscreen '" + program + "'", out),
              0)
        << out;
    EXPECT_NE(out.find("kestrel: another programmer operation is running (lock file " +
                       dir.Path("run/merlinox") + "/PendrakeDevil.lock"),
              std::string::npos)
        << out;
}

// The chosen device reaches the simulated socket, a move of the window and its close
// reach the presenter.
TEST(WindowProgram, FollowsTheChosenDeviceAndSavesAndRemindsOnClose) {
    Program p;
    EXPECT_TRUE(p.answers.texts.empty());
    // The version block of the running program, in its short form.
    EXPECT_EQ(FromQt(p.window().windowTitle()),
              "Merlinox V" + std::to_string(KESTREL_VERSION_MAJOR) + "." +
                  std::to_string(KESTREL_VERSION_MINOR) + std::to_string(KESTREL_VERSION_PATCH));
    EXPECT_EQ(p.program->socket->Chip()->Facts().code, 0x9307);
    EXPECT_TRUE(p.Marked());

    // The picture of the window for the documentation: always into the build tree, into
    // docs/ only when it shows something else, so that an unchanged window leaves the
    // work tree clean.
    const QImage shot = p.window().grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(shot.save(KESTREL_BINARY_DIR "/main-window.png"));
    const QString kept = KESTREL_SOURCE_DIR "/docs/main-window.png";
    if (QImage(kept).convertToFormat(QImage::Format_RGB32) != shot) {
        EXPECT_TRUE(shot.save(kept));
    }

    p.window().move(120, 80);
    EXPECT_TRUE(p.window().close());
    EXPECT_EQ(p.answers.texts.back(), "Baustein jetzt unbedingt\naus dem Sockel nehmen !!!");
    EXPECT_NE(p.dir.Read("pendrake.ini").find("X-Koord=120"), std::string::npos);
}

// The window starts with the command line's board choice: under "auto" a listed port
// that cannot be claimed means demo mode and the kernel's reason in a box, never the
// simulator (which board "auto" takes where is BoardSetup's).
TEST(WindowProgram, AutoStartsOnTheSimulatorOnlyWithoutAListedPortAndMarksIt) {
    sim::SimBoard board;
    testing::FakePpdevKernel kernel(board);
    kernel.refuse["PPCLAIM"] = EBUSY;
    Program p([&](WindowOptions& options, testing::ScratchDir& dir) {
        options.board.board = "auto";
        options.board.roots = {dir.Path("proc"), dir.Path("dev"), &kernel};
        testing::ListParport(dir.Path("proc"), "888");
    });
    EXPECT_FALSE(p.Marked());
    EXPECT_EQ(p.program->socket, nullptr);
    EXPECT_TRUE(p.program->ctx.link.demoMode);
    ASSERT_FALSE(p.answers.texts.empty());
    EXPECT_NE(p.answers.texts.front().find("PPCLAIM failed"), std::string::npos);
}

// The file and operation buttons reach their handlers, and the window answers during a
// pass, so that its cancel button ends it and frees the window.
TEST(WindowProgram, ButtonsRunTheOperationsAndCancelEndsAPass) {
    Program p;
    const std::string path = p.dir.Write("blink.bin", std::string(8192, '\x5A'));
    p.answers.Then([path](QWidget* dialog) {
        // As a user types the full path into the name field and presses Enter.
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText(QString::fromStdString(path));
        QMetaObject::invokeMethod(dialog, "accept");  // protected
    });
    p.Click(kNewFileButton);
    EXPECT_EQ(p.window().Text(kFileNameField), "blink.bin");

    p.answers.onIdle = [&] {
        if (p.window().IsEnabled(kCancelButton)) p.Click(kCancelButton);
    };
    p.Click(kProgramButton);
    p.answers.onIdle = nullptr;
    EXPECT_EQ(p.Chip().flash[8191], 0xFF);             // the pass ended before the last word
    EXPECT_FALSE(p.program->busy.BusyWindowExists());  // and the next click runs again

    p.Click(kProgramButton);
    EXPECT_EQ(p.answers.texts.back(), "Keine Fehler beim Brennen");
    EXPECT_EQ(p.Chip().flash[8191], 0x5A);
    p.Click(kVerifyButton);
    EXPECT_EQ(p.answers.texts.back(), "Keine Fehler beim Prüfen !");
}

}  // namespace
}  // namespace merlinox::gui
