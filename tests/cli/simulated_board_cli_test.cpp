// kestrel-cli on the simulated board: a chip clocked through the socket answers only to
// a library line that pulses XTAL1.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "cli_test_support.h"
#include "support/scratch_dir.h"

namespace merlinox::testing {
namespace {

// The AT90S2323 has no oscillator of its own, and in socket 1 only the board drives its
// XTAL1: with the library line's XTAL1 counts at 0 it never answers.
TEST(SimulatedBoardCli, ASocketClockedPartNeedsTheXtal1PulsesOfItsLine) {
    ScratchDir dir;
    std::ifstream in(KESTREL_SOURCE_DIR "/data/at90list.csv", std::ios::binary);
    std::string library{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::string output;
    const std::string line = "AT90S2323 (SPI Sockel 1);";
    const std::string counts = "SPI2;READFUSE;4;4;";
    const std::size_t at = library.find(counts, library.find(line));
    ASSERT_NE(at, std::string::npos);
    for (const bool pulsed : {true, false}) {
        if (!pulsed) library.replace(at, counts.size(), "SPI2;READFUSE;0;0;");
        dir.Write("at90list.csv", library);
        const int result = RunCli(dir.Dir().string(),
                                  "blank-check --yes --quiet --board sim --device '" +
                                      line.substr(0, line.size() - 1) + "' --sim-state chip",
                                  output);
        EXPECT_EQ(result == 0, pulsed) << output;
    }
}

}  // namespace
}  // namespace merlinox::testing
