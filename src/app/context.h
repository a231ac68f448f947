#pragma once
#include <string>

#include "app/message_buffer.h"
#include "app/user_interface.h"
#include "config/config_baseline.h"
#include "config/data_file_paths.h"
#include "config/settings.h"
#include "devices/device_record.h"
#include "devices/library_state.h"
#include "files/file_state.h"
#include "files/memory_image.h"
#include "link/board_link.h"
#include "link/port_access.h"
#include "protocols/spi.h"
#include "operations/operation_state.h"

namespace merlinox {

// Everything one programmer holds: the records the operations share and the ports they
// reach the outside through. There are no process globals; a test builds as many
// contexts as it likes, and the window and the command line each own one.
struct Context {
    // PowerOn ends the serial modes with the real synchronisation.
    explicit Context(UserInterface& userInterface) : ui(&userInterface) { link.spiSync = &SPISync; }
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    UserInterface* ui;            // never null
    PortAccess* port = nullptr;   // null until port access is set up

    Settings settings;
    DeviceRecord device;
    BoardLink link;
    MemoryImage image;
    DataFilePaths paths;
    MessageBuffer messageBuffer;

    std::string iniPath;  // the configuration file on disk (POSIX path)
    ConfigBaseline configBaseline;  // the file as the last load or save left it
    LibraryState library;
    FileState files;
    OperationState operation;
};

}  // namespace merlinox
