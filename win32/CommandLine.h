#pragma once

#include <optional>
#include <string>
#include <vector>

namespace win32 {

// What the command line asks of the program.
struct CommandLine {
    bool start = false;  // --start: press Start once the window is shown
};

// Reads the arguments (without the program's name) into `options`. --help
// and --version are answered on `out`, a mistake on `err`; then the status
// to exit with is returned (0, or 2 for a mistake). Nothing is returned when
// the program is to run.
std::optional<int> readCommandLine(const std::vector<std::string>& arguments, CommandLine& options, std::string& out,
                                   std::string& err);

}  // namespace win32
