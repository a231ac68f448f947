#include "sim/chip_state_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "sim/chip_model.h"

namespace merlinox::sim {
namespace {

constexpr std::string_view kMagic = "merlinox-chip 1";
constexpr std::size_t kBytesPerLine = 64;
constexpr std::size_t kMaxFileBytes = 16u << 20;

const char kHexDigits[] = "0123456789ABCDEF";

void AppendHex(std::string& out, std::uint32_t value, int digits) {
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
        out += kHexDigits[(value >> shift) & 0xF];
}

void AppendMemory(std::string& out, std::string_view name, const std::vector<std::uint8_t>& memory,
                  int addressDigits) {
    for (std::size_t start = 0; start < memory.size(); start += kBytesPerLine) {
        const std::size_t end = std::min(memory.size(), start + kBytesPerLine);
        bool erased = true;
        for (std::size_t i = start; i < end && erased; ++i) erased = memory[i] == 0xFF;
        if (erased) continue;
        out += name;
        out += ' ';
        AppendHex(out, static_cast<std::uint32_t>(start), addressDigits);
        out += ' ';
        for (std::size_t i = start; i < end; ++i) AppendHex(out, memory[i], 2);
        out += '\n';
    }
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// A hex number of 1 to 8 digits.
bool ParseHexNumber(std::string_view text, std::uint32_t& value) {
    if (text.empty() || text.size() > 8) return false;
    value = 0;
    for (char c : text) {
        const int digit = HexValue(c);
        if (digit < 0) return false;
        value = value << 4 | static_cast<std::uint32_t>(digit);
    }
    return true;
}

bool ParseHexByte(std::string_view text, std::uint8_t& value) {
    std::uint32_t v = 0;
    if (text.size() != 2 || !ParseHexNumber(text, v)) return false;
    value = static_cast<std::uint8_t>(v);
    return true;
}

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ') ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ') ++i;
        if (i > start) fields.push_back(line.substr(start, i - start));
    }
    return fields;
}

bool ParseMemoryLine(const std::vector<std::string_view>& fields,
                     std::vector<std::uint8_t>& memory) {
    std::uint32_t address = 0;
    if (fields.size() != 3 || !ParseHexNumber(fields[1], address)) return false;
    const std::string_view data = fields[2];
    if (data.size() % 2 != 0) return false;
    const std::size_t count = data.size() / 2;
    if (address > memory.size() || count > memory.size() - address) return false;
    for (std::size_t i = 0; i < count; ++i) {
        if (!ParseHexByte(data.substr(i * 2, 2), memory[address + i])) return false;
    }
    return true;
}

std::optional<ChipState> Fail(std::string& error, std::size_t lineNumber, const char* reason) {
    error = "line " + std::to_string(lineNumber) + ": " + reason;
    return std::nullopt;
}

}  // namespace

std::string FormatChipState(const ChipFacts& facts, const ChipContents& contents) {
    std::string out(kMagic);
    out += "\npart ";
    out += facts.part;
    out += "\nfuses ";
    for (int i = 0; i < 3; ++i) {
        if (i > 0) out += ' ';
        AppendHex(out, contents.fuses[i], 2);
    }
    out += "\nlock ";
    AppendHex(out, contents.lock, 2);
    out += "\ncalibration ";
    AppendHex(out, contents.calibration, 2);
    out += '\n';
    AppendMemory(out, "flash", contents.flash, 6);
    AppendMemory(out, "eeprom", contents.eeprom, 4);
    out += "end\n";
    return out;
}

std::optional<ChipState> ParseChipState(std::string_view text, std::string& error) {
    ChipState state;
    std::size_t lineNumber = 0;
    bool ended = false;
    while (!text.empty()) {
        const std::size_t newline = text.find('\n');
        std::string_view line = text.substr(0, newline);
        text = newline == std::string_view::npos ? std::string_view{} : text.substr(newline + 1);
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (ended) {
            if (!line.empty()) return Fail(error, lineNumber, "text after the end line");
            continue;
        }
        if (lineNumber == 1) {
            if (line != kMagic) return Fail(error, lineNumber, "not a chip state file");
            continue;
        }
        const std::vector<std::string_view> fields = Fields(line);
        if (fields.empty()) continue;
        const std::string_view key = fields[0];
        if (key == "part") {
            if (fields.size() != 2 || state.facts != nullptr)
                return Fail(error, lineNumber, "bad part line");
            state.facts = FindChipByName(fields[1]);
            if (state.facts == nullptr) return Fail(error, lineNumber, "unknown part");
            state.contents.flash.assign(state.facts->flashBytes, 0xFF);
            state.contents.eeprom.assign(state.facts->eepromBytes, 0xFF);
        } else if (state.facts == nullptr) {
            return Fail(error, lineNumber, "the part line must come first");
        } else if (key == "fuses") {
            if (fields.size() != 4) return Fail(error, lineNumber, "bad fuses line");
            for (int i = 0; i < 3; ++i) {
                if (!ParseHexByte(fields[i + 1], state.contents.fuses[i]))
                    return Fail(error, lineNumber, "bad fuse byte");
            }
        } else if (key == "lock" || key == "calibration") {
            std::uint8_t& target = key == "lock" ? state.contents.lock : state.contents.calibration;
            if (fields.size() != 2 || !ParseHexByte(fields[1], target))
                return Fail(error, lineNumber, "bad byte");
        } else if (key == "flash" || key == "eeprom") {
            std::vector<std::uint8_t>& memory =
                key == "flash" ? state.contents.flash : state.contents.eeprom;
            if (!ParseMemoryLine(fields, memory)) return Fail(error, lineNumber, "bad memory line");
        } else if (key == "end") {
            if (fields.size() != 1) return Fail(error, lineNumber, "bad end line");
            ended = true;
        } else {
            return Fail(error, lineNumber, "unknown record");
        }
    }
    if (lineNumber == 0) return Fail(error, 1, "empty file");
    if (state.facts == nullptr) return Fail(error, lineNumber, "no part line");
    if (!ended) return Fail(error, lineNumber, "no end line (file cut short?)");
    return state;
}

namespace {

// The state file opened for reading without following a link and without waiting on a
// FIFO; -1 with errno set, EINVAL for anything but a regular file.
int OpenRegular(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    return fd;
}

// Reads the whole file up to limit bytes (one more tells that it is larger).
bool ReadUpTo(int fd, std::size_t limit, std::string& text) {
    char buffer[65536];
    while (text.size() <= limit) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
        if (got == 0) break;
        text.append(buffer, static_cast<std::size_t>(got));
    }
    return true;
}

// Writes all of text; false with errno set.
bool WriteAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

}  // namespace

std::string StateFileProblem(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        return errno == ENOENT ? std::string() : path + ": " + std::strerror(errno);
    }
    if (!S_ISREG(info.st_mode)) return path + " is not a regular file";
    if (info.st_size == 0) return {};
    const int fd = OpenRegular(path);
    if (fd < 0) return path + ": " + std::strerror(errno);
    char head[16] = {};
    const ssize_t got = ::read(fd, head, kMagic.size());
    ::close(fd);
    if (got != static_cast<ssize_t>(kMagic.size()) ||
        std::string_view(head, kMagic.size()) != kMagic) {
        return path + " is not a chip state file";
    }
    return {};
}

bool SaveChipState(const std::string& path, const SimulatedChip& chip, std::string& error) {
    if (error = StateFileProblem(path); !error.empty()) return false;
    const std::string text = FormatChipState(chip.Facts(), chip.Contents());
    // A name of our own beside the file (mkstemp opens it O_EXCL), so that no other run
    // and no planted link shares it; the rename then replaces the old state at once.
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    bool ok = WriteAll(fd, text) && ::fsync(fd) == 0;
    const int writeErrno = errno;
    ok = ::close(fd) == 0 && ok;
    if (!ok) {
        error = temporary + ": " + std::strerror(writeErrno);
        ::unlink(temporary.c_str());
        return false;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = path + ": " + std::strerror(errno);
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

std::optional<ChipState> LoadChipState(const std::string& path, std::string& error) {
    const int fd = OpenRegular(path);
    if (fd < 0) {
        error = path + ": " + (errno == EINVAL ? "not a regular file" : std::strerror(errno));
        return std::nullopt;
    }
    std::string text;
    const bool read = ReadUpTo(fd, kMaxFileBytes, text);
    const int readErrno = errno;
    ::close(fd);
    if (!read) {
        error = path + ": " + std::strerror(readErrno);
        return std::nullopt;
    }
    if (text.size() > kMaxFileBytes) {
        error = path + ": too large for a chip state file";
        return std::nullopt;
    }
    std::optional<ChipState> state = ParseChipState(text, error);
    if (!state) error = path + ": " + error;
    return state;
}

}  // namespace merlinox::sim
