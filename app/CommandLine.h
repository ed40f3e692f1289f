#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace app {

inline constexpr const char* kVersion = VEXMOND_VERSION;

// What the window's command line asks of the program.
struct CommandLine {
    bool start = false;   // --start: press Start once the window is shown
    std::string profile;  // --profile NAME; empty for the default profile
};

// The answer to a command line that does not run the program: the status to
// exit with (0 after --help or --version, 2 after a mistake) and the text for
// standard output or standard error, lines ended by lineEnd.
struct CommandLineAnswer {
    int status = 0;
    std::string out, err;
};

// What a program of Vexmond's reads of its command line besides the options
// they all share (--help, --version, --profile): its name, its help text
// (lines ended by "\n") and a reader of its own options. The reader is given
// the option to read, the arguments and the option's index among them; it
// answers how many arguments it took (0: none of its options), or sets the
// mistake to tell.
struct ProgramOptions {
    using Reader = std::function<std::size_t(const std::string& option, const std::vector<std::string>& arguments,
                                             std::size_t at, std::string& mistake)>;
    std::string program;
    std::string help;
    Reader read;
    // The profile's name in the 8-bit set, from the argument as typed, where
    // the program's arguments are not in it already (a mistake repeats the
    // argument as typed).
    std::function<std::string(const std::string&)> profileName;
};

// Reads the shared options and, through the program's reader, its own; the
// profile is set only when the program is to run (no answer). "/start" and
// "/?" are taken for "--start" and "--?", as Windows programs take them,
// where slashOptions is set.
std::optional<CommandLineAnswer> readProgramOptions(const std::vector<std::string>& arguments,
                                                    const ProgramOptions& program, std::string& profile,
                                                    const std::string& lineEnd = "\n", bool slashOptions = false);

// Reads the arguments (without the program's name) into options; an answer
// when the program is not to run.
std::optional<CommandLineAnswer> readCommandLine(const std::vector<std::string>& arguments, CommandLine& options,
                                                 const std::string& lineEnd = "\n", bool slashOptions = false);

// Whether the arguments are answered before (and without) a display: they
// ask for help or the version, or name a profile that cannot be one.
bool answeredWithoutDisplay(const std::vector<std::string>& arguments);

}  // namespace app
