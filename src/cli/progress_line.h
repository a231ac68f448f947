#pragma once
#include <cstdio>
#include <string>
#include <string_view>

namespace merlinox::cli {

// The progress of a pass on stderr. On a terminal one line is redrawn in place; into a
// file or a pipe a plain line is written at each new step name and at every tenth of
// the bar, so that a log stays short and readable. Quiet: nothing at all.
class ProgressLine {
public:
    ProgressLine(std::FILE* out, bool terminal, bool quiet);

    void SetStatus(std::string_view text);
    void SetRange(int high);
    void SetPosition(int position);
    // Ends a redrawn line before other output (a message) is written.
    void Break();

private:
    void Draw();
    int Percent() const;

    std::FILE* out_;
    bool terminal_;
    bool quiet_;
    std::string status_;
    int high_ = 0;
    int position_ = 0;
    int lastPrintedTenth_ = -1;
    bool lineOpen_ = false;
};

}  // namespace merlinox::cli
