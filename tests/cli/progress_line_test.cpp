#include "cli/progress_line.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "cli_test_support.h"

namespace merlinox::cli {
namespace {

enum class Output { Quiet, Normal, Verbose };

// What one pass of 50 steps writes, ended as the passes end it; each cell takes a second.
std::string Pass(bool terminal, Output output = Output::Normal) {
    testing::Capture capture;
    double now = 100;
    ProgressLine line(capture.out, terminal, output == Output::Quiet, [&now] { return now; });
    line.SetVerbose(output == Output::Verbose);
    line.SetRange(50);
    line.SetStatus("Prüfe Programmspeicher");
    for (int i = 1; i <= 50; ++i) {
        now += 1;
        line.SetPosition(i);
    }
    line.SetPosition(0);
    line.SetStatus("Warte auf Eingaben");
    line.Break();  // nothing open any more
    return capture.Text();
}

// Plain lines at every tenth without a terminal; on a terminal one line, redrawn and ended
// before any other output. Both show the time taken and, while the pass runs, the time
// left; verbose adds the step's time at its end, quiet shows nothing.
TEST(ProgressLine, WritesEveryTenthOrRedrawsOneLineWithTheTimeTakenAndLeft) {
    const std::string plain = Pass(false);
    EXPECT_EQ(std::count(plain.begin(), plain.end(), '\n'), 11) << plain;
    EXPECT_NE(plain.find("Prüfe Programmspeicher: 20% (0:10, 0:40 left)\n"), std::string::npos)
        << plain;
    EXPECT_TRUE(
        plain.ends_with("Prüfe Programmspeicher: 90% (0:45, 0:05 left)\n"
                        "Prüfe Programmspeicher: 100% (0:50)\n"))
        << plain;

    const std::string redrawn = Pass(true);
    EXPECT_EQ(redrawn.find('\n'), redrawn.size() - 1);
    EXPECT_NE(redrawn.find("\r\033[KPrüfe Programmspeicher [###...........................]  "
                           "10% 0:05, 0:45 left"),
              std::string::npos);
    EXPECT_NE(redrawn.find("\r\033[KPrüfe Programmspeicher [##############################] "
                           "100% 0:50\n"),
              std::string::npos);

    EXPECT_TRUE(
        Pass(false, Output::Verbose).ends_with("Prüfe Programmspeicher: done after 50.0 s\n"));
    EXPECT_EQ(Pass(true, Output::Quiet), "");
}

}  // namespace
}  // namespace merlinox::cli
