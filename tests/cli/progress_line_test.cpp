#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "cli/progress_line.h"
#include "cli_test_support.h"

namespace merlinox::cli {
namespace {

// What one pass of 50 steps writes, ended as the passes end it.
std::string Pass(bool terminal) {
    testing::Capture capture;
    ProgressLine line(capture.out, terminal, false);
    line.SetRange(50);
    line.SetStatus("Prüfe Programmspeicher");
    for (int i = 1; i <= 50; ++i) line.SetPosition(i);
    line.SetPosition(0);
    line.SetStatus("Warte auf Eingaben");
    line.Break();  // nothing open any more
    return capture.Text();
}

// Plain lines at every tenth without a terminal; on a terminal one line, redrawn and ended
// before any other output.
TEST(ProgressLine, WritesEveryTenthOrRedrawsOneLineOnATerminal) {
    const std::string plain = Pass(false);
    EXPECT_EQ(std::count(plain.begin(), plain.end(), '\n'), 11) << plain;
    EXPECT_TRUE(plain.ends_with("Prüfe Programmspeicher: 90%\nPrüfe Programmspeicher: 100%\n"));
    const std::string redrawn = Pass(true);
    EXPECT_EQ(redrawn.find('\n'), redrawn.size() - 1);
    EXPECT_NE(redrawn.find("\r\033[KPrüfe Programmspeicher [##############################] 100%"),
              std::string::npos);
}

}  // namespace
}  // namespace merlinox::cli
