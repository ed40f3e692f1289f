#include "app/CommandLine.h"

#include "app/Profile.h"
#include "support/Text.h"

namespace app {

namespace {

bool isHelp(const std::string& a) { return a == "-h" || a == "--help" || a == "-?" || a == "--?" || a == "--help-all"; }
bool isVersion(const std::string& a) { return a == "-v" || a == "--version"; }

std::string helpText() {
    return "Usage: vexmond [options]\n"
           "Broadcasts a message to a Quake 3 engine game server over its remote console every few minutes, polls "
           "its status and sends commands typed by hand.\n"
           "\n"
           "Options:\n"
           "  -h, --help        Displays help on commandline options.\n"
           "  -v, --version     Displays version information.\n"
           "  --start           Press Start once the window is shown, with the saved\n"
           "                    fields, as a click would (for an autostart entry).\n"
           "  --profile <name>  Keep this server's fields, address history, game and\n"
           "                    toolbar apart from every other profile's (1 to 64\n"
           "                    characters, without /, \\, .., ] or control characters).\n";
}

}  // namespace

bool answeredWithoutDisplay(const std::vector<std::string>& arguments) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (isHelp(a) || isVersion(a)) return true;
        if (a == "--profile" && (i + 1 == arguments.size() || !Profile::nameProblem(arguments[i + 1]).empty()))
            return true;
        if (a.rfind("--profile=", 0) == 0 && !Profile::nameProblem(a.substr(10)).empty()) return true;
    }
    return false;
}

std::optional<CommandLineAnswer> readProgramOptions(const std::vector<std::string>& arguments,
                                                    const ProgramOptions& program, std::string& profile,
                                                    const std::string& lineEnd, bool slashOptions) {
    const auto mistake = [&](const std::string& what) {
        return CommandLineAnswer{2, "",
                                 support::replaceAll(program.program + ": " + what + "\nTry '" + program.program +
                                                         " --help' for the options.\n",
                                                     "\n", lineEnd)};
    };
    bool help = false, version = false;
    std::string named;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        const std::string option = slashOptions && a.size() > 1 && a[0] == '/' ? "--" + a.substr(1) : a;
        std::string problem;
        if (isHelp(option)) {
            help = true;
        } else if (isVersion(option)) {
            version = true;
        } else if (option == "--profile" || option.rfind("--profile=", 0) == 0) {
            if (option == "--profile" && i + 1 >= arguments.size()) return mistake("Missing value after '--profile'.");
            const std::string typed = option == "--profile" ? arguments[++i] : option.substr(10);
            named = program.profileName ? program.profileName(typed) : typed;
            if (const std::string wrong = Profile::nameProblem(named); !wrong.empty())
                return mistake("'" + support::replaceAll(typed, std::string(1, Profile::kUnkeptCharacter), "?") +
                               "' cannot be a profile: " + wrong + ".");
        } else if (const std::size_t taken = program.read(option, arguments, i, problem);
                   taken > 0 || !problem.empty()) {
            if (!problem.empty()) return mistake(problem);
            i += taken - 1;
        } else if (option.rfind("-", 0) == 0) {
            const std::size_t name = option.find_first_not_of('-');
            return mistake("Unknown option '" + option.substr(name == std::string::npos ? option.size() : name) + "'.");
        } else {
            return mistake("Unexpected argument '" + a + "'.");
        }
    }
    if (help) return CommandLineAnswer{0, support::replaceAll(program.help, "\n", lineEnd), ""};
    if (version) return CommandLineAnswer{0, program.program + " " + kVersion + lineEnd, ""};
    profile = named;
    return std::nullopt;
}

std::optional<CommandLineAnswer> readCommandLine(const std::vector<std::string>& arguments, CommandLine& options,
                                                 const std::string& lineEnd, bool slashOptions) {
    bool start = false;
    const ProgramOptions window{"vexmond",
                                helpText(),
                                [&](const std::string& option, const auto&, std::size_t, std::string&) -> std::size_t {
                                    if (option != "--start") return 0;
                                    start = true;
                                    return 1;
                                },
                                {}};
    auto answer = readProgramOptions(arguments, window, options.profile, lineEnd, slashOptions);
    if (!answer) options.start = start;
    return answer;
}

}  // namespace app
