#include "qt/CommandLine.h"

#include <QCommandLineParser>
#include <cstdio>
#include <cstring>

namespace qtgui {

bool asksForHelpOrVersion(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        for (const char* option : {"-h", "--help", "-?", "--help-all", "-v", "--version"})
            if (std::strcmp(argv[i], option) == 0) return true;
    return false;
}

std::optional<int> readCommandLine(const QStringList& arguments, CommandLine& options) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Broadcasts a message to a Quake 3 engine game server over its remote console every few minutes, polls "
        "its status and sends commands typed by hand.");
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption start("start",
                                   "Press Start once the window is shown, with the saved fields, as a click would "
                                   "(for an autostart entry).");
    parser.addOption(start);
    if (!parser.parse(arguments) || !parser.positionalArguments().isEmpty()) {
        const QString error = parser.positionalArguments().isEmpty()
                                  ? parser.errorText()
                                  : "Unexpected argument '" + parser.positionalArguments().first() + "'.";
        std::fprintf(stderr, "vexmond: %s\nTry 'vexmond --help' for the options.\n", qPrintable(error));
        return 2;
    }
    if (parser.isSet(help) || parser.isSet("help-all")) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("%s %s\n", qPrintable(QCoreApplication::applicationName()),
                    qPrintable(QCoreApplication::applicationVersion()));
        return 0;
    }
    options.start = parser.isSet(start);
    return std::nullopt;
}

}  // namespace qtgui
