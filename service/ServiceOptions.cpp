#include "service/ServiceOptions.h"

#include "service/ServiceProfile.h"

namespace service {

namespace {

constexpr const char* kHelp =
    "Usage: vexmond-service [options]\n"
    "Runs a profile's broadcast and status poll with no window until it is told to\n"
    "stop (SIGTERM, SIGINT, Ctrl+C; SIGHUP reads the profile again), and logs every\n"
    "reply, line sent and failure on standard output.\n"
    "\n"
    "Options:\n"
    "  -h, --help            Displays help on commandline options.\n"
    "  -v, --version         Displays version information.\n"
    "  --profile <name>      The profile to run or configure; without it, the\n"
    "                        window's own settings.\n"
    "  --set FIELD=VALUE...  Writes the profile's fields and exits. FIELD is IP,\n"
    "                        Port, Password, Msg, Msg_Timer, Msg_Delay, Game or\n"
    "                        Status; Msg=@FILE takes the message from a file, a\n"
    "                        line of the file a line of the broadcast.\n"
    "  --show                Prints the profile, the password as ***, and exits.\n"
    "  --system              The system service's profiles (vexmond@NAME run by\n"
    "                        systemd as the account vexmond, in /var/lib/vexmond),\n"
    "                        not the user's; Linux only.\n";

}  // namespace

std::optional<app::CommandLineAnswer> readServiceOptions(const std::vector<std::string>& arguments,
                                                         ServiceOptions& options, bool utf8,
                                                         const std::string& lineEnd) {
    ServiceOptions read;
    const app::ProgramOptions service{
        "vexmond-service", kHelp,
        [&](const std::string& option, const std::vector<std::string>& all, std::size_t at,
            std::string& mistake) -> std::size_t {
            if (option == "--show" || option == "--system") {
                (option == "--show" ? read.show : read.system) = true;
                return 1;
            }
            if (option != "--set") return 0;
            std::size_t taken = 1;
            for (; at + taken < all.size() && all[at + taken].rfind('-', 0) != 0; ++taken) {
                const std::string& setting = all[at + taken];
                if (!namesSettableField(setting)) {
                    mistake = "'" + setting + "' is not FIELD=VALUE of a field --set takes.";
                    return 0;
                }
                read.settings.push_back(setting);
            }
            if (taken == 1) mistake = "Missing FIELD=VALUE after '--set'.";
            return taken;
        },
        [utf8](const std::string& typed) { return eightBitOf(typed, utf8, app::Profile::kUnkeptCharacter); }};
    auto answer = app::readProgramOptions(arguments, service, read.profile, lineEnd);
    if (!answer) options = read;
    return answer;
}

}  // namespace service
