#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "cli_test_support.h"
#include "support/scratch_dir.h"

namespace merlinox {
namespace {

// The erase of an ATmega8 on the simulated board, recorded by kestrel-cli and read by
// sigrok's SPI decoder as PulseView would: programming enable, the signature, the chip
// erase instruction. The read-back of MISO lands after the rising SCK edge, so its bytes
// decode on the falling edge (cpha=1), MOSI's on either.
TEST(VcdTrace, SigrokDecodesTheSpiInstructionsOfAnErase) {
    if (std::system("command -v sigrok-cli >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "sigrok-cli is not installed: skipped";
    }
    testing::ScratchDir dir;
    std::string out;
    ASSERT_EQ(testing::RunCli(dir.Dir().string(),
                              "--library '" KESTREL_SOURCE_DIR "/data/at90list.csv' --board sim "
                              "--yes -q erase -d atmega8 --vcd e.vcd",
                              out),
              0)
        << out;
    const auto decode = [&dir](const std::string& options, const std::string& lane) {
        std::string bytes;
        const std::string command = "sigrok-cli -i '" + dir.Path("e.vcd") +
                                    "' -I vcd:downsample=100 -P spi:clk=SCK:mosi=MOSI:miso=MISO" +
                                    options + " -A spi=" + lane + "-data";
        EXPECT_EQ(testing::RunShell(command, bytes), 0) << bytes;
        std::string spaced;  // "spi-1: AC\n" lines as "AC 53 ..."
        for (std::size_t at = bytes.find(": "); at != std::string::npos;
             at = bytes.find(": ", at + 1)) {
            spaced += bytes.substr(at + 2, 2) + " ";
        }
        return spaced;
    };
    const std::string mosi = decode("", "mosi");
    EXPECT_EQ(mosi.find("AC 53 "), 0u) << mosi;
    // The three signature reads (0x30, address in the third byte), then the chip erase.
    const std::size_t signature = mosi.find("30 3F 02 ");
    ASSERT_NE(signature, std::string::npos) << mosi;
    EXPECT_LT(mosi.find("30 3F 00 "), signature);
    EXPECT_EQ(mosi.find("AC 80 ", signature), signature + 12) << mosi;
    const std::string miso = decode(":cpha=1", "miso");
    EXPECT_EQ(miso.find("00 00 53 "), 0u) << miso;
    EXPECT_NE(miso.find(" 1E "), std::string::npos) << miso;  // the signature's first byte
}

}  // namespace
}  // namespace merlinox
