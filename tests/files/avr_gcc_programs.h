// Small AVR programs built with avr-gcc for the firmware tests: tables of constant data
// in flash, EEPROM initialisers and the fuse and lock sections avr-libc provides.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <string>

#include "files/files_test_support.h"

namespace merlinox::testing {

#define REQUIRE_AVR_TOOLS()                                                 \
    if (std::system("command -v avr-gcc >/dev/null 2>&1 && "                \
                    "command -v avr-objcopy >/dev/null 2>&1") != 0) {       \
        GTEST_SKIP() << "avr-gcc or avr-objcopy is not installed: skipped"; \
    }

struct Program {
    std::string mcu;
    std::size_t tableBytes = 1000;  // constant data in flash, never reached from the code
    std::string eeprom;             // EEMEM initialisers, empty for none
    std::string fuses;              // the FUSES initialiser, empty for none
    std::string lock;               // the LOCKBITS value, empty for none
};

inline std::string SourceOf(const Program& program) {
    std::mt19937 random(static_cast<std::uint32_t>(program.tableBytes));
    std::string source =
        "#include <avr/io.h>\n#include <avr/pgmspace.h>\n"
        "#include <avr/eeprom.h>\n#include <avr/fuse.h>\n#include <avr/lock.h>\n";
    // Tables of at most 32 KB each, the most one object may hold on the part.
    for (std::size_t done = 0, n = 0; done < program.tableBytes; done += 30000, ++n) {
        const std::size_t size = std::min<std::size_t>(30000, program.tableBytes - done);
        source += "__attribute__((used)) const uint8_t t" + std::to_string(n) + "[" +
                  std::to_string(size) + "] PROGMEM = {";
        for (std::size_t i = 0; i < size; ++i) source += std::to_string(random() & 0xFF) + ",";
        source += "};\n";
    }
    if (!program.eeprom.empty()) {
        source += "__attribute__((used)) uint8_t EEMEM e[] = {" + program.eeprom + "};\n";
    }
    if (!program.fuses.empty()) source += "FUSES = {" + program.fuses + "};\n";
    if (!program.lock.empty()) source += "LOCKBITS = " + program.lock + ";\n";
    return source +
           "volatile uint8_t ram[4] = {1, 2, 3, 4};\n"
           "int main(void) { for (;;) { ram[0]++; } }\n";
}

inline ::testing::AssertionResult Shell(const std::string& command, const std::string& log) {
    if (std::system((command + " >" + log + " 2>&1").c_str()) == 0) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << command << "\n" << ReadFile(log);
}

}  // namespace merlinox::testing
