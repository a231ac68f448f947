#include "files/input_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace merlinox {

InputFile::InputFile() : buffer_(new char[kBufferSize]) {}

InputFile::~InputFile() {
    Close();
}

int InputFile::Open(const std::string& path, bool binary) {
    Close();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno;
    fd_ = fd;
    binary_ = binary;
    return 0;
}

void InputFile::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    ended_ = false;
    errorNumber_ = 0;
    begin_ = end_ = 0;
    lastRaw_ = 0;
}

bool InputFile::Refill() {
    if (ended_ || fd_ < 0) return false;
    for (;;) {
        const ssize_t got = ::read(fd_, buffer_.get(), kBufferSize);
        if (got > 0) {
            begin_ = 0;
            end_ = static_cast<std::size_t>(got);
            return true;
        }
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) errorNumber_ = errno;
        ended_ = true;
        return false;
    }
}

InputFile::ReadStatus InputFile::ReadLine(std::string_view& line) {
    std::size_t kept = 0;  // characters in line_
    std::size_t raw = 0;   // bytes of this line seen so far, line end excluded
    bool sawAny = false;
    for (;;) {
        if (begin_ == end_ && !Refill()) {
            if (errorNumber_ != 0) return ReadStatus::Error;
            if (!sawAny) return ReadStatus::End;
            line = std::string_view(line_, kept);  // last line without a line end
            return ReadStatus::Line;
        }
        sawAny = true;
        const char* start = buffer_.get() + begin_;
        const std::size_t avail = end_ - begin_;
        const auto* newline = static_cast<const char*>(std::memchr(start, '\n', avail));
        const std::size_t body = newline ? static_cast<std::size_t>(newline - start) : avail;
        if (kept < kMaxLine) {
            const std::size_t take = body < kMaxLine - kept ? body : kMaxLine - kept;
            std::memcpy(line_ + kept, start, take);
            kept += take;
        }
        raw += body;
        if (body > 0) lastRaw_ = start[body - 1];
        if (newline == nullptr) {
            begin_ = end_;
            continue;
        }
        begin_ += body + 1;
        // CR LF is one line end; the CR is dropped if it made it into the kept part.
        if (lastRaw_ == '\r' && raw > 0 && kept == raw) --kept;
        lastRaw_ = '\n';
        if (kept < kMaxLine) line_[kept++] = '\n';
        line = std::string_view(line_, kept);
        return ReadStatus::Line;
    }
}

long InputFile::ReadBytes(std::uint8_t* target, std::size_t max) {
    std::size_t total = 0;
    const std::size_t buffered = end_ - begin_ < max ? end_ - begin_ : max;
    std::memcpy(target, buffer_.get() + begin_, buffered);
    begin_ += buffered;
    total += buffered;
    while (total < max && !ended_ && fd_ >= 0) {
        const ssize_t got = ::read(fd_, target + total, max - total);
        if (got > 0) {
            total += static_cast<std::size_t>(got);
        } else if (got < 0 && errno == EINTR) {
            continue;
        } else {
            if (got < 0) errorNumber_ = errno;
            ended_ = true;
        }
    }
    // A read that failed part-way gives an incomplete image: report it like a failed one.
    if (errorNumber_ != 0) return -1;
    return static_cast<long>(total);
}

}  // namespace merlinox
