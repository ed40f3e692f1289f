#pragma once

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

// Reads the arguments (without the program's name) into options; an answer
// when the program is not to run. "/start" and "/?" are taken for "--start"
// and "--?", as Windows programs take them, where slashOptions is set.
std::optional<CommandLineAnswer> readCommandLine(const std::vector<std::string>& arguments, CommandLine& options,
                                                 const std::string& lineEnd = "\n", bool slashOptions = false);

// Whether the arguments are answered before (and without) a display: they
// ask for help or the version, or name a profile that cannot be one.
bool answeredWithoutDisplay(const std::vector<std::string>& arguments);

}  // namespace app
