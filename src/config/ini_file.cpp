#include "config/ini_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "config/number_text.h"
#include "config/text_encoding.h"

namespace merlinox::inline config {

namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kNewLine = "\r\n";

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

enum class LineKind { Other, Section, Key };

struct Parsed {
    LineKind kind = LineKind::Other;
    std::string_view name;    // section or key name, trimmed
    std::size_t valueAt = 0;  // for a key: the index just after '='
};

Parsed ParseLine(std::string_view text) {
    Parsed parsed;
    const std::string_view trimmed = Trim(text);
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '#') return parsed;
    if (trimmed.front() == '[') {
        const auto close = trimmed.rfind(']');
        if (close == std::string_view::npos) return parsed;
        parsed.kind = LineKind::Section;
        parsed.name = Trim(trimmed.substr(1, close - 1));
        return parsed;
    }
    const auto equals = text.find('=');
    if (equals == std::string_view::npos) return parsed;
    parsed.kind = LineKind::Key;
    parsed.name = Trim(text.substr(0, equals));
    parsed.valueAt = equals + 1;
    return parsed;
}

std::string_view ValueOf(std::string_view text, std::size_t valueAt) {
    std::string_view value = Trim(text.substr(valueAt));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return value;
}

std::string OneLine(std::string_view text) {
    std::string encoded = EncodeWindows1252(text);
    for (char& c : encoded) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return encoded;
}

// The reader drops surrounding blanks and one pair of enclosing quotes; a value that
// would lose either is written inside quotes, so that it reads back as it was set.
std::string StoredValue(std::string_view value) {
    const std::string encoded = OneLine(value);
    if (ValueOf(encoded, 0) == encoded) return encoded;
    return "\"" + encoded + "\"";
}

// The file a save replaces: the target of a symbolic link, so that the link survives.
std::string ResolveTarget(const std::string& diskPath) {
    struct stat info {};
    if (lstat(diskPath.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return diskPath;
    char* resolved = realpath(diskPath.c_str(), nullptr);
    if (resolved == nullptr) return diskPath;
    std::string target(resolved);
    std::free(resolved);
    return target;
}

int WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

// The whole file, read only when it is a regular file: a FIFO or a device in its place
// would block the program or feed it without end.
int ReadRegularFile(const std::string& diskPath, std::string& bytes) {
    const int fd = open(diskPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno;
    struct stat info {};
    int error = fstat(fd, &info) != 0 ? errno : 0;
    if (error == 0 && !S_ISREG(info.st_mode)) error = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    char chunk[8192];
    while (error == 0) {
        const ssize_t got = read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) error = errno;
        if (got <= 0) break;
        bytes.append(chunk, static_cast<std::size_t>(got));
    }
    close(fd);
    return error;
}

// Why the file at target may not be replaced, or 0. A file without any write
// permission was made read-only on purpose; the rename would replace it regardless.
int ReplaceRefusal(const std::string& target, const struct stat& existing) {
    if (!S_ISREG(existing.st_mode)) return S_ISDIR(existing.st_mode) ? EISDIR : EINVAL;
    if ((existing.st_mode & 0222) == 0 || access(target.c_str(), W_OK) != 0) return EACCES;
    return 0;
}

// An exclusive lock on the directory that holds target, for one read-merge-write. A
// lock on the file itself would not do: the save replaces the file by a rename.
class DirectoryLock {
public:
    explicit DirectoryLock(const std::string& target) {
        const auto slash = target.rfind('/');
        const std::string directory =
            slash == std::string::npos ? "." : (slash == 0 ? "/" : target.substr(0, slash));
        fd_ = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd_ < 0) {
            error_ = errno;
            return;
        }
        // Another run holds it only for its own read-merge-write; waiting longer than a
        // few seconds means something is wrong with it.
        for (int attempt = 0; flock(fd_, LOCK_EX | LOCK_NB) != 0; ++attempt) {
            if ((errno != EWOULDBLOCK && errno != EINTR) || attempt == 500) {
                error_ = errno == EINTR ? EWOULDBLOCK : errno;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    ~DirectoryLock() {
        if (fd_ >= 0) close(fd_);  // releases the lock
    }
    DirectoryLock(const DirectoryLock&) = delete;
    DirectoryLock& operator=(const DirectoryLock&) = delete;

    int Error() const { return error_; }

private:
    int fd_ = -1;
    int error_ = 0;
};

}  // namespace

int IniFile::Load(const std::string& diskPath) {
    lines_.clear();
    std::string bytes;
    if (const int error = ReadRegularFile(diskPath, bytes); error != 0) {
        return error == ENOENT ? 0 : error;
    }

    std::size_t start = 0;
    while (start < bytes.size()) {
        const auto newline = bytes.find('\n', start);
        Line line;
        if (newline == std::string::npos) {
            line.text = bytes.substr(start);
            start = bytes.size();
        } else {
            const bool crlf = newline > start && bytes[newline - 1] == '\r';
            line.text = bytes.substr(start, newline - start - (crlf ? 1 : 0));
            line.end = crlf ? "\r\n" : "\n";
            start = newline + 1;
        }
        lines_.push_back(std::move(line));
    }
    return 0;
}

std::string IniFile::Bytes() const {
    std::string bytes;
    for (const Line& line : lines_) {
        bytes += line.text;
        bytes += line.end;
    }
    return bytes;
}

int IniFile::Save(const std::string& diskPath) const {
    const std::string target = ResolveTarget(diskPath);
    struct stat existing {};
    const bool exists = stat(target.c_str(), &existing) == 0;
    if (exists) {
        if (const int refusal = ReplaceRefusal(target, existing); refusal != 0) return refusal;
    }

    std::string temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0; ++attempt) {
        temporary = target + ".tmp" + std::to_string(getpid()) + "-" + std::to_string(attempt);
        fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && (errno != EEXIST || attempt > 100)) return errno;
    }
    if (exists) (void)fchmod(fd, existing.st_mode & 07777);

    int error = WriteAll(fd, Bytes());
    if (error == 0 && fsync(fd) != 0) error = errno;
    if (close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && std::rename(temporary.c_str(), target.c_str()) != 0) error = errno;
    if (error != 0) unlink(temporary.c_str());
    return error;
}

std::optional<IniFile::Position> IniFile::Locate(std::string_view section,
                                                 std::string_view key) const {
    const std::string wantedSection = EncodeWindows1252(Trim(section));
    const std::string wantedKey = EncodeWindows1252(Trim(key));
    std::optional<Position> firstSection;
    bool inSection = false;
    std::size_t sectionLine = 0;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Parsed parsed = ParseLine(lines_[i].text);
        if (parsed.kind == LineKind::Section) {
            inSection = EqualIgnoringCase1252(parsed.name, wantedSection);
            sectionLine = i;
            if (inSection && !firstSection) firstSection = Position{i, lines_.size()};
        } else if (parsed.kind == LineKind::Key && inSection &&
                   EqualIgnoringCase1252(parsed.name, wantedKey)) {
            return Position{sectionLine, i};
        }
    }
    return firstSection;
}

std::optional<std::string> IniFile::Find(std::string_view section, std::string_view key) const {
    const auto position = Locate(section, key);
    if (!position || position->keyLine == lines_.size()) return std::nullopt;
    const std::string& text = lines_[position->keyLine].text;
    return DecodeWindows1252(ValueOf(text, ParseLine(text).valueAt));
}

std::string IniFile::GetString(std::string_view section, std::string_view key,
                               std::string_view defaultValue) const {
    auto value = Find(section, key);
    return value ? std::move(*value) : std::string(defaultValue);
}

std::uint32_t IniFile::GetInt(std::string_view section, std::string_view key,
                              std::uint32_t defaultValue) const {
    const auto value = Find(section, key);
    if (!value || value->empty()) return defaultValue;
    return ProfileIntFromText(*value);
}

void IniFile::SetString(std::string_view section, std::string_view key, std::string_view value) {
    const std::string encodedValue = StoredValue(value);
    const auto position = Locate(section, key);
    if (position && position->keyLine < lines_.size()) {
        Line& line = lines_[position->keyLine];
        const std::size_t valueAt = ParseLine(line.text).valueAt;
        if (Trim(std::string_view(line.text).substr(valueAt)) == encodedValue) return;
        line.text.resize(valueAt);
        line.text += encodedValue;
        return;
    }
    Line keyLine{OneLine(Trim(key)) + "=" + encodedValue, std::string(kNewLine)};
    if (position) {
        // After the section's last key, so that comments and blank lines that lead
        // into the next section stay in front of it.
        std::size_t insertAt = position->sectionLine + 1;
        for (std::size_t i = insertAt; i < lines_.size(); ++i) {
            const Parsed parsed = ParseLine(lines_[i].text);
            if (parsed.kind == LineKind::Section) break;
            if (parsed.kind == LineKind::Key) insertAt = i + 1;
        }
        if (lines_[insertAt - 1].end.empty()) lines_[insertAt - 1].end = kNewLine;
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), std::move(keyLine));
        return;
    }
    if (!lines_.empty()) {
        if (lines_.back().end.empty()) lines_.back().end = kNewLine;
        if (!Trim(lines_.back().text).empty()) lines_.push_back(Line{"", std::string(kNewLine)});
    }
    lines_.push_back(Line{"[" + OneLine(Trim(section)) + "]", std::string(kNewLine)});
    lines_.push_back(std::move(keyLine));
}

void IniFile::SetInt(std::string_view section, std::string_view key, std::int32_t value) {
    SetString(section, key, std::to_string(value));
}

std::string ReadProfileString(const std::string& diskPath, std::string_view section,
                              std::string_view key, std::string_view defaultValue) {
    IniFile file;
    file.Load(diskPath);
    return file.GetString(section, key, defaultValue);
}

std::uint32_t ReadProfileInt(const std::string& diskPath, std::string_view section,
                             std::string_view key, std::uint32_t defaultValue) {
    IniFile file;
    file.Load(diskPath);
    return file.GetInt(section, key, defaultValue);
}

int UpdateProfile(const std::string& diskPath, const std::function<void(IniFile&)>& change) {
    const DirectoryLock lock(ResolveTarget(diskPath));
    if (lock.Error() != 0) return lock.Error();
    IniFile file;
    if (const int error = file.Load(diskPath); error != 0) return error;
    change(file);
    return file.Save(diskPath);
}

int WriteProfileString(const std::string& diskPath, std::string_view section, std::string_view key,
                       std::string_view value) {
    return UpdateProfile(diskPath, [&](IniFile& file) { file.SetString(section, key, value); });
}

int WriteProfileInt(const std::string& diskPath, std::string_view section, std::string_view key,
                    std::int32_t value) {
    return WriteProfileString(diskPath, section, key, std::to_string(value));
}

}  // namespace merlinox::inline config
