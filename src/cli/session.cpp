#include "cli/session.h"

#include <unistd.h>

#include "app/device_configuration.h"
#include "app/library_location.h"
#include "config/configuration.h"
#include "config/windows_path.h"

namespace merlinox::cli {

Session::Session(const GlobalOptions& options)
    : Session(options, stdin, stderr, isatty(fileno(stdin)) != 0) {}

Session::Session(const GlobalOptions& options, std::FILE* in, std::FILE* messages, bool interactive)
    : ui_(in, messages, options.yes, interactive), ctx_(ui_) {
    ui_.SetQuiet(options.quiet);
    ctx_.iniPath = WorkingDirectoryFile(kIniFileName);
    ctx_.library.libraryPath = LibraryFileFor(options.library);
}

int Session::LoadConfiguration() {
    merlinox::LoadConfiguration(ctx_);
    return ctx_.library.selectedDeviceResult;
}

}  // namespace merlinox::cli
