#pragma once
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

namespace merlinox::cli {

// The progress of a pass on stderr, with the time the step has taken and an estimate of
// the time left. On a terminal one line is redrawn in place; into a file or a pipe a
// plain line is written at each new step name and at every tenth of the bar, so that a
// log stays short and readable. Quiet: nothing at all. Verbose: also the time each step
// took, when it ends.
class ProgressLine {
public:
    // Seconds from any fixed point.
    using Clock = std::function<double()>;

    ProgressLine(std::FILE* out, bool terminal, bool quiet, Clock clock = SteadySeconds);

    void SetVerbose(bool verbose) { verbose_ = verbose && !quiet_; }
    void SetStatus(std::string_view text);
    void SetRange(int high);
    void SetPosition(int position);
    // Ends a redrawn line before other output (a message) is written.
    void Break();

    static double SteadySeconds();

private:
    void Draw();
    void StartClock();
    int Percent() const;
    // "0:07, 0:21 left" once there is something to estimate from, else "0:07".
    std::string Timing() const;
    bool Shows() const;

    std::FILE* out_;
    bool terminal_;
    bool quiet_;
    bool verbose_ = false;
    Clock clock_;
    std::string status_;
    int high_ = 0;
    int position_ = 0;
    int lastPrintedTenth_ = -1;
    bool lineOpen_ = false;
    double stepStart_ = 0;    // when the step's name or its bar was set: the estimate's base
    double statusStart_ = 0;  // when the step's name was set
};

}  // namespace merlinox::cli
