#include "devices/fuse_panel.h"

#include <gtest/gtest.h>

#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "devices/fuse_layout.h"
#include "support/scripted_ui.h"
#include "support/test_context.h"

namespace merlinox {
namespace {

// The bit names of the datasheets as the panel must show them, written out a second
// time in a form unlike the code's: "-" unused, a trailing "!" shown but read-only.
const std::map<std::string, std::string> kLayouts = {
    {"K1", "Lock1 Lock2 - - - - - -"},
    {"K2", "Lock1 Lock2 BLB01 BLB02 BLB11 BLB12 - -"},
    {"L1", "- - - - - - - -"},
    {"L2", "CKSEL0 CKSEL1 CKSEL2 CKSEL3 RSTDISBL! SPIEN BODEN BODLEVEL"},
    {"L4", "CKSEL0 CKSEL1 SUT0 SUT1 CKDIV8 WDTON EESAVE SPIEN!"},
    {"L6", "RCEN - - - - - - -"},
    {"L8", "CKSEL0 CKSEL1 CKSEL2 CKSEL3 SUT0 SUT1 CKOUT CKDIV8"},
    {"L15", "RCEN - - - - SPIEN - -"},
    {"L10", "CKSEL0 CKSEL1 CKSEL2 CKSEL3 SUT0 SUT1 BODEN BODLEVEL"},
    {"L18", "CKSEL0 CKSEL1 CKSEL2 CKSEL3 RSTDISBL SPIEN BODEN BODLEVEL"},
    {"H1", "- - - - - - - -"},
    {"H18", "RSTDISBL BODLEVEL0 BODLEVEL1 DWEN! SPMEN - - -"},
    {"H3", "BODLEVEL0 BODLEVEL1 BODLEVEL2 EESAVE WDTON SPIEN DWEN RSTDISBL!"},
    {"H8", "BOOTRST BOOTSZ0 BOOTSZ1 EESAVE CKOPT SPIEN! WDTON RSTDISBL!"},
    {"E1", "- - - - - - - -"},
    {"E2", "SELFPRGEN - - - - - - -"},
};

// "group codes : lock low high ext"; a code/n names the 0x9103 variant with fuseD0 n. One
// row per kind of entry: bits the serial modes must leave alone and the high-voltage modes
// free, the 0x9103 variants, the first and last code of a full list, each mode group.
const std::vector<std::string> kRows = {
    "serial 0x9005 : K1 L2 H1 E1",   "serial 0x9001 0x9103/2 : K1 L1 H1 E1",
    "serial 0x9103/1 : K1 L6 H1 E1", "serial 0x9108 0x930D : K1 L8 H3 E2",
    "serial 0x9307 : K2 L10 H8 E1",  "par12 0x9001 : K1 L15 H1 E1",
    "par3 0x9005 : K1 L18 H1 E1",    "par4 0x9007 : K1 L4 H18 E1",
};

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    return {std::istream_iterator<std::string>(in), {}};
}

// The panel laid out for a device, with its message shown as the window shows it.
struct Panel {
    testing::ScriptedUi ui;
    testing::TestContext ctx{ui};
    FusePanel laidOut;

    void Device(std::int32_t mode, std::uint32_t code, std::uint8_t fuseD0 = 0) {
        ctx.device.programmingMode = mode;
        ctx.device.deviceCode = code;
        ctx.device.fuseD0 = fuseD0;
        laidOut = LayOutFusePanel(ctx);
        ReportMissingFuseRow(ctx, laidOut);
    }
    const FuseBox& Box(std::size_t byte, std::size_t bit) const {
        return laidOut.boxes[byte * 8 + bit];
    }
};

// Every mode a group stands for, so that each of them is checked.
std::vector<std::int32_t> ModesOf(const std::string& group) {
    if (group == "serial") return {kSpi1, kSpi2, kMspi1, kMspi2};
    if (group == "par12") return {kPar1, kPar2};
    if (group == "par3") return {kPar3};
    return {kPar4};
}

// Checks the 32 boxes against four layout keys; "" when all match, else the first fault.
std::string Mismatch(const Panel& panel, const std::vector<std::string>& keys) {
    for (std::size_t byte = 0; byte < 4; ++byte) {
        const auto expected = Words(kLayouts.at(keys[byte]));
        for (std::size_t bit = 0; bit < 8; ++bit) {
            std::string name = expected[bit];
            const bool readOnly = name.back() == '!';
            if (readOnly) name.pop_back();
            const bool unused = name == "-";
            const FuseBox& box = panel.Box(byte, bit);
            if (box.controlId != kFuseBoxIds[byte][bit] || box.label != (unused ? "----" : name) ||
                box.enabled != (!unused && !readOnly)) {
                return "box " + std::to_string(box.controlId) + " " + std::string(box.label);
            }
        }
    }
    return "";
}

TEST(FusePanel, EachKindOfRowLabelsAndEnablesEachBoxInEveryModeOfItsGroup) {
    for (const std::string& line : kRows) {
        const auto words = Words(line);
        const std::vector<std::string> keys(words.end() - 4, words.end());
        for (std::size_t c = 1; words[c] != ":"; ++c) {
            const int fuseD0 = words[c].size() > 7 ? std::stoi(words[c].substr(7)) : 0;
            for (const std::int32_t mode : ModesOf(words[0])) {
                Panel panel;
                panel.Device(mode, std::stoul(words[c].substr(0, 6), nullptr, 16),
                             static_cast<std::uint8_t>(fuseD0));
                EXPECT_TRUE(panel.ui.shown.empty()) << line;
                EXPECT_EQ(Mismatch(panel, keys), "") << line << " mode " << mode;
            }
        }
    }
}

// A code without a row in its group gets the group's message, and nothing but the lock
// bits to tick; so does an unknown variant of the twin code 0x9103. Without a mode there
// is no group and nothing to report.
TEST(FusePanel, ACodeWithoutRowIsReportedAndOnlyTheLockBitsStayUsable) {
    using Case = std::tuple<std::int32_t, std::uint32_t, std::vector<std::string>>;
    for (const auto& [mode, code, messages] :
         {Case{kSpi1, 0x9004, {"Devicecode 0x9004 fehlt in EnableFuses SPI"}},
          Case{kMspi2, 0x9103, {"Devicecode 0x9103 fehlt in EnableFuses SPI"}},
          Case{kPar2, 0x9307, {"Devicecode 0x9307 fehlt in EnableFuses PAR1,2"}},
          Case{kPar3, 0x9007, {"Devicecode 0x9007 fehlt in EnableFuses PAR3"}},
          Case{kPar4, 0x9001, {"Devicecode 0x9001 fehlt in EnableFuses PAR4"}},
          Case{kNoMode, 0x9307, {}}}) {
        Panel panel;
        panel.Device(mode, code, 7);
        EXPECT_EQ(panel.ui.Texts(), messages);
        EXPECT_EQ(Mismatch(panel, {"K1", "L1", "H1", "E1"}), "") << code;
    }
}

TEST(FusePanel, FixedBitsAreForcedAndEveryBoxFollowsItsBit) {
    Panel panel;
    panel.ctx.device.lowFuseFixedBits = 0xF0;
    panel.ctx.device.extFuseFixedBits = 0xFF;
    panel.ctx.settings.lockBits = 0xFC;
    panel.ctx.settings.fuseLow = 0x00;
    panel.ctx.settings.fuseHigh = 0x5A;
    panel.ctx.settings.fuseExt = 0x00;
    panel.Device(kSpi1, 0x9307);
    const std::uint8_t bytes[4] = {0xFC, 0xF0, 0x5A, 0xFF};  // low and ext forced
    for (std::size_t byte = 0; byte < 4; ++byte) {
        for (std::size_t bit = 0; bit < 8; ++bit) {
            // Disabled boxes follow their bits as well.
            EXPECT_EQ(panel.Box(byte, bit).checked, ((bytes[byte] >> bit) & 1) == 0)
                << kFuseBoxIds[byte][bit];
        }
    }
}

TEST(FusePanel, ClicksProgramOrClearTheirBitAndLock2GoesOnlyWithLock1) {
    Panel panel;                  // every bit starts unprogrammed
    std::map<int, bool> checked;  // what the window's boxes show
    const auto click = [&](int id, bool now) {
        checked[id] = now;
        const auto following = ApplyFuseClick(panel.ctx.settings, id, now);
        if (following) checked[following->controlId] = following->checked;
    };
    click(1040, true);  // SPIEN, bit 5
    EXPECT_EQ(panel.ctx.settings.fuseHigh, 0xDF);
    click(1040, false);
    EXPECT_EQ(panel.ctx.settings.fuseHigh, 0xFF);
    click(1046, true);  // extended bit 2; 1045 is not a box
    EXPECT_EQ(panel.ctx.settings.fuseExt, 0xFB);
    EXPECT_FALSE(FuseBoxOf(1045).has_value());
    click(1045, true);
    EXPECT_EQ(panel.ctx.settings.fuseExt, 0xFB);

    click(kLock2Box, true);
    EXPECT_EQ(panel.ctx.settings.lockBits, 0xFC);
    EXPECT_TRUE(checked[kLock1Box]);
    click(kLock1Box, false);
    EXPECT_EQ(panel.ctx.settings.lockBits, 0xFF);
    EXPECT_FALSE(checked[kLock2Box]);
    // Lock1 alone may be programmed; releasing Lock2 alone keeps Lock1.
    click(kLock1Box, true);
    EXPECT_EQ(panel.ctx.settings.lockBits, 0xFE);
    click(kLock2Box, true);
    click(kLock2Box, false);
    EXPECT_EQ(panel.ctx.settings.lockBits, 0xFE);
    EXPECT_TRUE(checked[kLock1Box]);
}

}  // namespace
}  // namespace merlinox
