#include "devices/library_reader.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>

#include "config/text_encoding.h"
#include "core/context.h"
#include "core/message_port.h"

namespace merlinox::inline devices {

namespace {

// A line is read like the runtime's text-mode line reader with a 2048-byte buffer: at
// most 2047 characters, a longer line goes on in the next read.
constexpr std::size_t kLineLimit = 2047;

int Fail(Context& ctx, const char* text) {
    CloseLibrary(ctx);
    ShowInfo(ctx, text);
    return kLibraryFailed;
}

}  // namespace

int OpenLibrary(Context& ctx) {
    LibraryState& lib = ctx.library;
    CloseLibrary(ctx);
    std::FILE* file = std::fopen(lib.libraryPath.c_str(), "rb");
    int error = errno;
    struct stat info {};
    if (file != nullptr && fstat(fileno(file), &info) == 0 && S_ISDIR(info.st_mode)) {
        std::fclose(file);
        file = nullptr;
        error = EISDIR;
    }
    if (file == nullptr) {
        ShowInfo(ctx, "Kann Bauteilbibliothek nicht öffnen !");
        ShowFileError(ctx, lib.libraryPath, error);
        return kLibraryFailed;
    }
    lib.file.reset(file);
    lib.readFailed = false;
    return kOk;
}

int CloseLibrary(Context& ctx) {
    ctx.library.file.reset();
    return kOk;
}

bool ReadLibraryLine(Context& ctx) {
    LibraryState& lib = ctx.library;
    lib.line.clear();
    if (!lib.file || lib.readFailed) return false;
    std::FILE* file = lib.file.get();
    std::string raw;
    errno = 0;
    while (raw.size() < kLineLimit) {
        int c = getc_unlocked(file);
        if (c == EOF) break;
        if (c == '\r') {
            const int next = getc_unlocked(file);
            if (next == '\n') {
                c = '\n';
            } else if (next != EOF) {
                ungetc(next, file);
            }
        }
        raw += static_cast<char>(c);
        if (c == '\n') break;
    }
    if (std::ferror(file)) {
        lib.readFailed = true;
        ShowFileError(ctx, lib.libraryPath, errno != 0 ? errno : EIO);
        return false;
    }
    if (raw.empty()) return false;
    // The line ends at a NUL byte, as a C string would.
    if (const auto nul = raw.find('\0'); nul != std::string::npos) raw.resize(nul);
    lib.line = std::move(raw);
    return true;
}

bool IsActiveLine(const Context& ctx) {
    const std::string& line = ctx.library.line;
    if (line.size() < 2) return false;
    const char flag = line[line.size() - 2];
    return flag == 'Y' || flag == 'y';
}

bool IsManufacturerLine(const Context& ctx) {
    return !ctx.library.line.empty() && ctx.library.line.front() == ':';
}

int FindManufacturer(Context& ctx) {
    int counter = -1;
    do {
        if (!ReadLibraryLine(ctx)) {
            ShowInfo(ctx, "Hersteller in Bibliothek nicht gefunden !");
            return kLibraryFailed;
        }
        if (IsManufacturerLine(ctx) && IsActiveLine(ctx)) ++counter;
    } while (counter < ctx.settings.manufIndex);
    return kOk;
}

int NextManufacturer(Context& ctx) {
    LibraryState& lib = ctx.library;
    do {
        if (!ReadLibraryLine(ctx)) return kLibraryEnd;
    } while (!(IsManufacturerLine(ctx) && IsActiveLine(ctx)));
    const std::size_t end = lib.line.size() - 2;
    std::size_t stop = lib.line.find(';', 1);
    if (stop == std::string::npos || stop > end) stop = end;
    lib.manufacturerName = DecodeWindows1252(std::string_view(lib.line).substr(1, stop - 1));
    return kOk;
}

int NextDevice(Context& ctx, DeviceRecord& target) {
    do {
        if (!ReadLibraryLine(ctx)) return kLibraryEnd;
        if (IsManufacturerLine(ctx)) return kLibraryEnd;
    } while (!IsActiveLine(ctx));
    return ReadCSV(ctx, target);
}

namespace {

int FindAndReadSelectedDevice(Context& ctx) {
    if (OpenLibrary(ctx) != kOk) return kLibraryFailed;
    if (FindManufacturer(ctx) != kOk) {
        CloseLibrary(ctx);
        return kLibraryFailed;
    }
    int counter = -1;
    for (;;) {
        if (!ReadLibraryLine(ctx)) return Fail(ctx, "Fehler beim lesen der Bibliothek !");
        if (IsManufacturerLine(ctx))
            return Fail(ctx, "Keine Bausteine für diesen\n\n Hersteller in der Liste !");
        if (IsActiveLine(ctx)) ++counter;
        if (counter >= ctx.settings.deviceIndex) {
            CloseLibrary(ctx);
            if (counter != ctx.settings.deviceIndex) return kLibraryFailed;
            return ReadCSV(ctx, ctx.device) == kOk ? kOk : kLibraryFailed;
        }
    }
}

}  // namespace

int LoadSelectedDevice(Context& ctx) {
    ctx.library.selectedDeviceResult = FindAndReadSelectedDevice(ctx);
    return ctx.library.selectedDeviceResult;
}

}  // namespace merlinox::inline devices
