#pragma once

#include <QStringList>
#include <optional>

namespace qtgui {

// What the command line asks of the program.
struct CommandLine {
    bool start = false;  // --start: press Start once the window is shown
};

// Whether the arguments ask for --help or --version, which are answered
// without a display, before the window system is started.
bool asksForHelpOrVersion(int argc, char** argv);

// Reads the arguments into `options`. --help and --version are answered on
// standard output, an unknown option or argument on standard error; then the
// status to exit with is returned (0, or 2 for a mistake). Nothing is
// returned when the program is to run.
std::optional<int> readCommandLine(const QStringList& arguments, CommandLine& options);

}  // namespace qtgui
