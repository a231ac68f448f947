#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "cli/progress_line.h"
#include "cli_test_support.h"

namespace merlinox::cli {
namespace {

using testing::Capture;

void RunPass(ProgressLine& line) {
    line.SetRange(50);
    line.SetStatus("Prüfe Programmspeicher");
    for (int i = 1; i <= 50; ++i) line.SetPosition(i);
    line.SetPosition(0);
    line.SetStatus("Warte auf Eingaben");
}

TEST(ProgressLine, WritesPlainLinesAtEveryTenthWithoutATerminal) {
    Capture capture;
    ProgressLine line(capture.out, false, false);
    RunPass(line);
    EXPECT_EQ(capture.Text(),
              "Prüfe Programmspeicher\n"
              "Prüfe Programmspeicher: 10%\nPrüfe Programmspeicher: 20%\n"
              "Prüfe Programmspeicher: 30%\nPrüfe Programmspeicher: 40%\n"
              "Prüfe Programmspeicher: 50%\nPrüfe Programmspeicher: 60%\n"
              "Prüfe Programmspeicher: 70%\nPrüfe Programmspeicher: 80%\n"
              "Prüfe Programmspeicher: 90%\nPrüfe Programmspeicher: 100%\n");
}

TEST(ProgressLine, RedrawsOneLineOnATerminalAndEndsItBeforeOtherOutput) {
    Capture capture;
    ProgressLine line(capture.out, true, false);
    RunPass(line);
    const std::string text = capture.Text();
    EXPECT_EQ(text.find('\n'), text.size() - 1);
    EXPECT_NE(text.find("\r\033[KPrüfe Programmspeicher [##############################] 100%"),
              std::string::npos);
    line.Break();  // nothing open any more
    EXPECT_EQ(capture.Text(), text);
}

TEST(ProgressLine, QuietWritesNothing) {
    Capture capture;
    ProgressLine line(capture.out, true, true);
    RunPass(line);
    EXPECT_EQ(capture.Text(), "");
}

}  // namespace
}  // namespace merlinox::cli
