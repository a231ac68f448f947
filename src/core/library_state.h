#pragma once
#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace merlinox::inline core {

struct LibraryFileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// The device-library reader's state: where the library is, what is open of it and the
// line being parsed.
struct LibraryState {
    // The library's path on disk. It is never stored in the configuration, so it is
    // kept in the form the messages should show the user: the real path.
    std::string libraryPath;

    // Open only between OpenLibrary and CloseLibrary inside the reader's operations.
    std::unique_ptr<std::FILE, LibraryFileCloser> file;
    bool readFailed = false;  // a read error was reported; the rest reads as end of file

    // The line last read, as its Windows-1252 bytes with its final '\n' when it had one.
    // It stays undecoded so that the flag and the end position are counted in the
    // file's own characters; the texts taken from it are decoded where they are stored.
    std::string line;
    // NextField's state: the column cut out last, where the next one starts, and the
    // index of the line's flag character (line length - 2), which no column may reach.
    std::string column;
    std::size_t readPosition = 0;
    std::ptrdiff_t endPosition = 0;

    // The name NextManufacturer found last.
    std::string manufacturerName;

    // What the last LoadSelectedDevice gave (13 until one succeeded): whether ctx.device
    // holds a whole library line or a mixture left by a failed parse.
    int selectedDeviceResult = 13;

    // The device list of the main window leaves out lines that do not parse: entry i of
    // the list is the active library line deviceListLines[i] of its manufacturer, the
    // index "DeviceIndex" stores.
    std::vector<int> deviceListLines;
};

}  // namespace merlinox::inline core
