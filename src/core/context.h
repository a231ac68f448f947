#pragma once
#include <string>

#include "core/config_baseline.h"
#include "core/data_file_paths.h"
#include "core/file_state.h"
#include "core/library_state.h"
#include "core/link_context.h"
#include "core/memory_image.h"
#include "core/operation_state.h"
#include "core/settings.h"
#include "core/user_interface.h"

namespace merlinox::inline core {

// Everything one programmer holds: the records the operations share and the ports they
// reach the outside through. There are no process globals; a test builds as many
// contexts as it likes, and the window and the command line each own one.
struct Context : LinkContext {
    Context(UserInterface& userInterface, MessagePort& messagePort)
        : LinkContext(messagePort), ui(&userInterface) {}

    UserInterface* ui;  // never null

    Settings settings;
    MemoryImage image;
    DataFilePaths paths;

    std::string iniPath;            // the configuration file on disk (POSIX path)
    ConfigBaseline configBaseline;  // the file as the last load or save left it
    LibraryState library;
    FileState files;
    OperationState operation;
};

}  // namespace merlinox::inline core
