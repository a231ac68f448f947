// kestrel-cli with --board=ppdev against a fake kernel whose parallel port has the
// simulated board on it: the same ioctl sequence a real port gets, down to a chip.
#include <gtest/gtest.h>

#include <CLI/CLI.hpp>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "sim/chip_catalogue.h"
#include "sim/chip_model.h"
#include "support/fake_ppdev_kernel.h"
#include "support/operation_rig.h"
#include "support/scratch_dir.h"

namespace merlinox::testing {
namespace {

namespace fs = std::filesystem;

// The tool run in this process, in a scratch directory with our library, on a PC whose
// kernel lists parport0 at 0x378 and whose ppdev calls reach the fake kernel.
struct PpdevCli {
    PpdevCli() {
        fs::copy_file(KESTREL_SOURCE_DIR "/data/at90list.csv", dir.Path("at90list.csv"));
        ListParport(dir.Path("proc"), "888\t1912\n");
        fs::create_directories(dir.Path("dev"));
        fs::create_directory(dir.Path("run"));
        fs::permissions(dir.Path("run"), fs::perms::owner_all);  // a runtime directory's mode
        ::setenv("XDG_RUNTIME_DIR", dir.Path("run").c_str(), 1);
        fs::current_path(dir.Dir());
        board.Insert(&chip);
    }
    ~PpdevCli() {
        board.Insert(nullptr);
        fs::current_path(previousDirectory);
        ::unsetenv("XDG_RUNTIME_DIR");  // each test is a process of its own under ctest
    }

    // Runs "kestrel-cli <arguments>"; its stderr is kept in errors.
    int Run(std::vector<std::string> arguments) {
        CLI::App app;
        app.require_subcommand(1);
        app.fallthrough();
        cli::GlobalOptions options;
        options.board.roots = {dir.Path("proc"), dir.Path("dev"), &kernel};
        for (auto add : {cli::AddGlobalOptions, cli::AddDetectCommand, cli::AddProgramCommand,
                         cli::AddVerifyCommand, cli::AddReadCommand})
            add(app, options);
        arguments.insert(arguments.begin(), "kestrel-cli");
        std::vector<char*> argv;
        for (std::string& a : arguments) argv.push_back(a.data());
        ::testing::internal::CaptureStderr();
        try {
            app.parse(static_cast<int>(argv.size()), argv.data());
        } catch (const CLI::ParseError& e) {
            options.exitStatus = app.exit(e);
        }
        errors = ::testing::internal::GetCapturedStderr();
        EXPECT_FALSE(kernel.IsOpen()) << "the port outlived the command";
        return options.exitStatus;
    }

    ScratchDir dir;
    fs::path previousDirectory = fs::current_path();
    sim::SimBoard board;
    FakePpdevKernel kernel{board};
    sim::SimulatedChip chip{*sim::FindChipByName("AT90S2313")};
    std::string errors;
};

TEST(PpdevEndToEnd, DetectsProgramsVerifiesAndReadsAChipThroughTheKernelCalls) {
    PpdevCli cli;
    ASSERT_EQ(cli.Run({"detect", "--board=ppdev"}), 0) << cli.errors;
    const std::vector<std::uint8_t> image = TestPattern(0x200, 3);
    cli.dir.Write("fw.bin", Bytes(image));
    cli.dir.Write("fw.eep", ":0400000001020304F2\n:00000001FF\n");
    const std::string device = "--device=AT90S2313 (parallel)";
    ASSERT_EQ(cli.Run({"program", "fw.bin", "--yes", device, "--board=ppdev"}), 0) << cli.errors;
    EXPECT_EQ(cli.errors.find("simulated"), std::string::npos) << cli.errors;
    EXPECT_EQ(cli.chip.Core().ReadFlashByte(0x80, true, 0), image[0x101]);
    EXPECT_EQ(cli.Run({"verify", "fw.bin", "--yes", "--board=ppdev"}), 0) << cli.errors;
    ASSERT_EQ(cli.Run({"read", "dump.bin", "--format=bin", "--yes", "--quiet", "--board=ppdev"}), 0)
        << cli.errors;
    EXPECT_EQ(cli.dir.Read("dump.bin").substr(0, image.size()), Bytes(image));
    EXPECT_EQ(cli.dir.Read("dump.eep").substr(0, 4), "\x01\x02\x03\x04");

    // Each command claimed the port exclusively and let it go again; the registers were
    // only written and the status read.
    EXPECT_EQ(cli.kernel.Calls(PPEXCL), 4u);
    EXPECT_EQ(cli.kernel.Calls(PPRELEASE), 4u);
    EXPECT_EQ(cli.kernel.Calls(PPRCONTROL), 0u);
}

}  // namespace
}  // namespace merlinox::testing
