#include "files/output_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace merlinox {

OutputFile::OutputFile() : buffer_(new char[kBufferSize]) {}

OutputFile::~OutputFile() {
    Close();
}

int OutputFile::Open(const std::string& path, bool binary) {
    Close();
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return errno;
    fd_ = fd;
    binary_ = binary;
    errorNumber_ = 0;
    linesWritten_ = 0;
    used_ = 0;
    return 0;
}

bool OutputFile::WriteAll(const char* data, std::size_t count) {
    while (count > 0) {
        const ssize_t done = ::write(fd_, data, count);
        if (done > 0) {
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
    return errorNumber_;
}

}  // namespace merlinox
