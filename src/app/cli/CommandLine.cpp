#include "cli/CommandLine.h"

#include "cli/Cli.h"
#include "cli/Commands.h"
#include "cli/ControlClient.h"

#include <QCoreApplication>
#include <cstring>

namespace CommandLine {

namespace {

bool isOneOf(const char* argument, std::initializer_list<const char*> options) {
    for (const char* option : options) {
        if (std::strcmp(argument, option) == 0)
            return true;
    }
    return false;
}

bool asksForHelp(const char* argument) {
    return isOneOf(argument, {"-h", "--help", "-?", "-help"});
}

bool asksForVersion(const char* argument) {
    return isOneOf(argument, {"-v", "--version"});
}

QString help() {
    QString text = Cli::tr("Usage: hourlark [COMMAND] [OPTIONS]\n"
                           "A countdown timer with a task history that lives in the system tray.\n"
                           "Without a command, Hourlark starts in the tray (or opens the panel of "
                           "the Hourlark already running).\n\nCommands:\n");
    for (const Commands::Command& command : Commands::all())
        text += QStringLiteral("  %1%2\n").arg(command.name, -10).arg(command.summary);
    text += Cli::tr("\nOptions:\n"
                    "  -h, --help     Show this help; COMMAND --help shows a command's own.\n"
                    "  -v, --version  Show the version.\n"
                    "  --dbus-activated\n"
                    "                 Used by the session bus when it starts Hourlark for a "
                    "call.\n\n"
                    "Exit status: 0 done, 1 bad arguments or a request Hourlark turned down, 69 "
                    "Hourlark is not running and cannot be started.\n"
                    "See hourlark(1) for examples with status bars and keyboard shortcuts.");
    return text;
}

} // namespace

bool handles(int argc, char** argv) {
    if (argc < 2)
        return false;
    const char* first = argv[1];
    return first[0] != '-' || asksForHelp(first) || asksForVersion(first);
}

int run(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // The same identity the tray program has, so both find the same data folder.
    QCoreApplication::setApplicationName(QStringLiteral("hourlark"));
    QCoreApplication::setApplicationVersion(QStringLiteral(HOURLARK_VERSION));
    ControlClient::prepare();

    const QStringList arguments = QCoreApplication::arguments();
    const QString first = arguments.value(1);
    if (asksForHelp(argv[1])) {
        Cli::print(help());
        return Cli::Success;
    }
    if (asksForVersion(argv[1])) {
        Cli::print(QStringLiteral("hourlark ") + QCoreApplication::applicationVersion());
        return Cli::Success;
    }
    const Commands::Command* command = Commands::named(first);
    if (!command)
        return Cli::fail(QString(),
                         Cli::tr("unknown command \"%1\"; hourlark --help lists them").arg(first));
    return command->run(command->name, arguments.mid(2));
}

} // namespace CommandLine
