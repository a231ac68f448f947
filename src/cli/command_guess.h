#pragma once
#include <cstdio>

namespace CLI {
class App;
}

namespace merlinox::cli {

// After a failed parse in which no command was recognised: names the word that stood
// where the command belongs and the closest command, on out. False (nothing written)
// when the command line has no such word, or a command was recognised.
bool ReportMistypedCommand(const CLI::App& app, int argc, const char* const* argv, std::FILE* out);

}  // namespace merlinox::cli
