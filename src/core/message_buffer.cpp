#include "core/message_buffer.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace merlinox::inline core {

namespace {

// vsnprintf into text+offset with what room is left; returns the new length.
std::size_t ComposeAt(char* text, std::size_t offset, const char* format, va_list args) {
    const std::size_t room = MessageBuffer::kSize - offset;
    const int wanted = std::vsnprintf(text + offset, room, format, args);
    if (wanted < 0) {
        text[offset] = '\0';
        return offset;
    }
    const std::size_t written =
        static_cast<std::size_t>(wanted) < room ? static_cast<std::size_t>(wanted) : room - 1;
    return offset + written;
}

}  // namespace

std::string_view MessageBuffer::Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    length_ = ComposeAt(text_, 0, format, args);
    va_end(args);
    CutToCharacterBoundary();
    return View();
}

std::string_view MessageBuffer::Append(const char* format, ...) {
    va_list args;
    va_start(args, format);
    length_ = ComposeAt(text_, length_, format, args);
    va_end(args);
    CutToCharacterBoundary();
    return View();
}

std::string_view MessageBuffer::Set(std::string_view text) {
    length_ = text.size() < kSize ? text.size() : kSize - 1;
    std::memcpy(text_, text.data(), length_);
    text_[length_] = '\0';
    CutToCharacterBoundary();
    return View();
}

void MessageBuffer::Clear() {
    length_ = 0;
    text_[0] = '\0';
}

// A cut in the middle of a multi-byte UTF-8 sequence would leave an invalid tail that
// the message boxes show as garbage; drop the partial sequence instead.
void MessageBuffer::CutToCharacterBoundary() {
    if (length_ < kSize - 1) return;
    std::size_t end = length_;
    std::size_t start = end;
    while (start > 0 && (static_cast<unsigned char>(text_[start - 1]) & 0xC0) == 0x80) --start;
    if (start > 0) {
        const unsigned char lead = static_cast<unsigned char>(text_[start - 1]);
        std::size_t need = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        if (lead >= 0xC0 && end - (start - 1) < need) end = start - 1;
    }
    length_ = end;
    text_[length_] = '\0';
}

}  // namespace merlinox::inline core
