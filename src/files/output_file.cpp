#include "files/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace merlinox::inline files {

OutputFile::OutputFile() : buffer_(new char[kBufferSize]) {}

OutputFile::~OutputFile() { Abandon(); }

namespace {

// The mode a new file gets from open(..., 0666), or the mode of the file it replaces.
mode_t ModeFor(const struct stat* existing) {
    if (existing != nullptr) return existing->st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

int OutputFile::Open(const std::string& given, bool binary) {
    Abandon();
    // A link keeps pointing where it did: the file it names is the one replaced.
    std::string path = given;
    if (char* resolved = ::realpath(given.c_str(), nullptr)) {
        path = resolved;
        std::free(resolved);
    }
    struct stat info {};
    const bool exists = ::stat(path.c_str(), &info) == 0;
    if (exists && S_ISDIR(info.st_mode)) return EISDIR;
    if (exists && !S_ISREG(info.st_mode)) {
        // A device or FIFO cannot be replaced; it is written to as it is.
        const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        if (fd < 0) return errno;
        Start(fd, path, {}, binary);
        return 0;
    }
    const std::size_t slash = path.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    std::string temp = path.substr(0, nameStart) + "." + path.substr(nameStart) + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return errno;
    ::fchmod(fd, ModeFor(exists ? &info : nullptr));
    Start(fd, path, temp, binary);
    return 0;
}

void OutputFile::Start(int fd, const std::string& path, const std::string& temp, bool binary) {
    fd_ = fd;
    path_ = path;
    tempPath_ = temp;
    binary_ = binary;
    errorNumber_ = 0;
    linesWritten_ = 0;
    linesOnDisk_ = 0;
    used_ = 0;
}

bool OutputFile::WriteAll(const char* data, std::size_t count) {
    while (count > 0) {
        const ssize_t done = ::write(fd_, data, count);
        if (done > 0) {
            linesOnDisk_ += static_cast<std::uint32_t>(std::count(data, data + done, '\n'));
            data += done;
            count -= static_cast<std::size_t>(done);
            continue;
        }
        if (done < 0 && errno == EINTR) continue;
        errorNumber_ = done < 0 ? errno : EIO;
        return false;
    }
    return true;
}

bool OutputFile::Flush() {
    if (errorNumber_ != 0 || fd_ < 0) return false;
    const bool ok = WriteAll(buffer_.get(), used_);
    used_ = 0;
    return ok;
}

bool OutputFile::WriteLine(std::string_view line) {
    if (errorNumber_ != 0 || fd_ < 0) return false;
    while (!line.empty()) {
        // Each piece up to a line feed is copied whole; the line feed becomes CR LF.
        const auto* newline =
            binary_ ? nullptr
                    : static_cast<const char*>(std::memchr(line.data(), '\n', line.size()));
        const std::size_t body =
            newline ? static_cast<std::size_t>(newline - line.data()) : line.size();
        const std::size_t piece = body + (newline ? 2 : 0);
        if (used_ + piece > kBufferSize && !Flush()) return false;
        if (piece > kBufferSize) {
            if (!WriteAll(line.data(), body) || (newline && !WriteAll("\r\n", 2))) return false;
        } else {
            std::memcpy(buffer_.get() + used_, line.data(), body);
            used_ += body;
            if (newline) {
                buffer_[used_++] = '\r';
                buffer_[used_++] = '\n';
            }
        }
        line.remove_prefix(newline ? body + 1 : body);
    }
    ++linesWritten_;
    return true;
}

std::size_t OutputFile::WriteBytes(const std::uint8_t* data, std::size_t count) {
    if (errorNumber_ != 0 || fd_ < 0 || !Flush()) return 0;
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = ::write(fd_, data + done, count - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            errorNumber_ = n < 0 ? errno : EIO;
            break;
        }
    }
    return done;
}

int OutputFile::Close() {
    if (fd_ < 0) return errorNumber_;
    Flush();
    if (::close(fd_) != 0 && errorNumber_ == 0) errorNumber_ = errno;
    fd_ = -1;
    used_ = 0;
    if (!tempPath_.empty()) {
        if (errorNumber_ == 0 && ::rename(tempPath_.c_str(), path_.c_str()) != 0) {
            errorNumber_ = errno;
        }
        if (errorNumber_ != 0) ::unlink(tempPath_.c_str());
    }
    tempPath_.clear();
    return errorNumber_;
}

void OutputFile::Abandon() {
    if (fd_ < 0) return;
    ::close(fd_);
    if (!tempPath_.empty()) ::unlink(tempPath_.c_str());
    fd_ = -1;
    used_ = 0;
    tempPath_.clear();
}

}  // namespace merlinox::inline files
