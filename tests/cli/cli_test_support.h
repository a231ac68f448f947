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

// Runs a shell command; its stdout and stderr go to `output`. Returns the exit status,
// -1 when it did not exit normally.
inline int RunShell(const std::string& command, std::string& output) {
    output.clear();
    std::FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return -1;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, got);
    const int status = ::pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Runs kestrel-cli in dir without a terminal, with its runtime and state directories in dir
// (the runtime directory made as a session makes it).
inline int RunCli(const std::string& dir, const std::string& arguments, std::string& output) {
    return RunShell("cd '" + dir + "' && mkdir -p -m 700 run && XDG_RUNTIME_DIR='" + dir +
                        "/run' XDG_STATE_HOME='" + dir +
                        "/state' '" KESTREL_BINARY_DIR "/src/kestrel-cli' " + arguments +
                        " </dev/null",
                    output);
}

}  // namespace merlinox::testing
