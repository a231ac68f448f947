#pragma once
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

// Runs kestrel-cli in dir without a terminal, with its runtime and state directories in dir.
// Its stdout and stderr go to `output`; returns its exit status, -1 if it did not exit.
inline int RunCli(const std::string& dir, const std::string& arguments, std::string& output) {
    const std::string command = "cd '" + dir + "' && XDG_RUNTIME_DIR='" + dir +
                                "/run' XDG_STATE_HOME='" + dir + "/state' '" KESTREL_BINARY_DIR
                                "/src/kestrel-cli' " + arguments + " </dev/null 2>&1";
    output.clear();
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return -1;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, got);
    const int status = ::pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace merlinox::testing
