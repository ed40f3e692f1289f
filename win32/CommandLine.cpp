#include "win32/CommandLine.h"

namespace win32 {

std::optional<int> readCommandLine(const std::vector<std::string>& arguments, CommandLine& options, std::string& out,
                                   std::string& err) {
    bool help = false, version = false;
    for (const std::string& a : arguments) {
        const std::string option = a.rfind("/", 0) == 0 && a.size() > 1 ? "--" + a.substr(1) : a;  // /start, /?
        if (option == "-h" || option == "--help" || option == "-?" || option == "--?" || option == "--help-all") {
            help = true;
        } else if (option == "-v" || option == "--version") {
            version = true;
        } else if (option == "--start") {
            options.start = true;
        } else {
            const bool isOption = option.rfind("-", 0) == 0;
            const std::string name = option.substr(
                option.find_first_not_of('-') == std::string::npos ? option.size() : option.find_first_not_of('-'));
            err = "vexmond: " + (isOption ? "Unknown option '" + name + "'." : "Unexpected argument '" + a + "'.") +
                  "\r\nTry 'vexmond --help' for the options.\r\n";
            return 2;
        }
    }
    if (help) {
        out =
            "Usage: vexmond [options]\r\n"
            "Broadcasts a message to a Quake 3 engine game server over its remote console every few minutes, polls "
            "its status and sends commands typed by hand.\r\n\r\n"
            "Options:\r\n"
            "  -h, --help     Displays help on commandline options.\r\n"
            "  -v, --version  Displays version information.\r\n"
            "  --start        Press Start once the window is shown, with the saved fields,\r\n"
            "                 as a click would (for an autostart entry).\r\n";
        return 0;
    }
    if (version) {
        out = std::string("vexmond ") + VEXMOND_VERSION + "\r\n";
        return 0;
    }
    return std::nullopt;
}

}  // namespace win32
