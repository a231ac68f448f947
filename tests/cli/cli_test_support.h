#pragma once
#include <stdio.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace merlinox::testing {

// What is written to a FILE*, collected as a string.
struct Capture {
    Capture() { out = ::open_memstream(&buffer, &size); }
    ~Capture() {
        if (out != nullptr) std::fclose(out);
        std::free(buffer);
    }
    Capture(const Capture&) = delete;
    Capture& operator=(const Capture&) = delete;
    std::FILE* file() { return out; }
    std::string Text() {
        std::fflush(out);
        return {buffer, size};
    }
    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* out = nullptr;
};

// Runs a shell command; its stdout and stderr go to `output`. Returns the exit status,
// -1 when it did not exit normally.
inline int RunShell(const std::string& command, std::string& output) {
    output.clear();
    std::FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return -1;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, got);
    const int status = ::pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace merlinox::testing
