#include "cli/command_guess.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <string>
#include <vector>

#include "cli/closest_names.h"

namespace merlinox::cli {

namespace {

// The first word that is neither an option nor the value of one.
const char* CommandWord(const CLI::App& app, int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "--") return i + 1 < argc ? argv[i + 1] : nullptr;
        if (word.size() < 2 || word[0] != '-') return argv[i];
        if (word.find('=') != std::string::npos) continue;
        const CLI::Option* option = app.get_option_no_throw(word);
        if (option != nullptr && option->get_items_expected_min() > 0) ++i;
    }
    return nullptr;
}

}  // namespace

bool ReportMistypedCommand(const CLI::App& app, int argc, const char* const* argv, std::FILE* out) {
    if (!app.get_subcommands().empty()) return false;
    const char* typed = CommandWord(app, argc, argv);
    if (typed == nullptr) return false;
    std::vector<std::string> commands;
    for (const CLI::App* command : app.get_subcommands([](const CLI::App*) { return true; })) {
        commands.push_back(command->get_name());
    }
    const std::string word = typed;
    const auto closest = ClosestNames(word, commands, 1, std::max<std::size_t>(2, word.size() / 2));
    if (closest.empty()) {
        std::fprintf(out, "kestrel-cli: \"%s\" is no command; kestrel-cli --help lists them\n",
                     typed);
    } else {
        std::fprintf(out, "kestrel-cli: \"%s\" is no command; did you mean \"%s\"?\n", typed,
                     closest.front().c_str());
    }
    return true;
}

}  // namespace merlinox::cli
