#pragma once
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/scratch_dir.h"

namespace merlinox::testing {

// What is written to a FILE*, collected as a string.
struct Capture {
    Capture() { out = ::open_memstream(&buffer, &size); }
    ~Capture() {
        if (out != nullptr) std::fclose(out);
        std::free(buffer);
    }
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

// Runs a shell script in dir with its runtime and state directories in dir (the runtime
// directory made as a session makes it).
inline int RunIn(const std::string& dir, const std::string& script, std::string& output) {
    return RunShell("cd '" + dir + "' && mkdir -p -m 700 run && export XDG_RUNTIME_DIR='" + dir +
                        "/run' XDG_STATE_HOME='" + dir + "/state'; " + script,
                    output);
}

// Runs kestrel-cli in dir without a terminal.
inline int RunCli(const std::string& dir, const std::string& arguments, std::string& output) {
    return RunIn(dir, "'" KESTREL_BINARY_DIR "/src/kestrel-cli' " + arguments + " </dev/null",
                 output);
}

// kestrel-cli in a scratch directory that holds our library; every Run is answered with
// --yes, on the simulated board, with `always` added.
struct CliDir {
    CliDir() {
        std::filesystem::copy_file(KESTREL_SOURCE_DIR "/data/at90list.csv",
                                   dir.Path("at90list.csv"));
    }
    int Run(const std::string& arguments) {
        return RunCli(dir.Dir().string(), arguments + " --yes --board sim" + always, output);
    }
    int RunCommand(const std::string& script) { return RunIn(dir.Dir().string(), script, output); }
    bool Has(const std::string& text) const { return output.find(text) != std::string::npos; }

    ScratchDir dir;
    std::string output;  // stdout and stderr of the last run
    std::string always;
};

}  // namespace merlinox::testing
