#include "cli/session.h"

#include <unistd.h>

#include "config/configuration.h"
#include "config/windows_path.h"

namespace merlinox::cli {

Session::Session(const GlobalOptions& options)
    : Session(options, stdin, stderr, isatty(fileno(stdin)) != 0) {}

Session::Session(const GlobalOptions& options, std::FILE* in, std::FILE* messages, bool interactive)
    : ui_(in, messages, options.yes, interactive), ctx_(ui_) {
    ctx_.iniPath = WorkingDirectoryFile(kIniFileName);
    ctx_.library.libraryPath = WorkingDirectoryFile(kLibraryFileName);
}

int Session::LoadConfiguration() {
    merlinox::LoadConfiguration(ctx_);
    return ctx_.library.selectedDeviceResult;
}

}  // namespace merlinox::cli
