#include "cli/Commands.h"

#include "cli/Cli.h"
#include "cli/ControlClient.h"
#include "cli/StatusFollower.h"
#include "cli/TimeArgument.h"
#include "cli/TimerStatus.h"
#include "control/TaskRules.h"
#include "model/HistoryExport.h"
#include "storage/HistoryFile.h"
#include "storage/PreferencesStore.h"

#include <QCommandLineParser>
#include <QDBusArgument>
#include <QDBusError>
#include <QDateTime>
#include <QSaveFile>
#include <limits>
#include <optional>

namespace Commands {

namespace {

// What a command's parsing ends in: its positional arguments, or the status to exit with now
// (after --help, or a usage error already reported).
struct Parsed {
    QStringList positional;
    std::optional<int> exitNow;
};

QString usageLine(const Command& command) {
    return Cli::tr("Usage: hourlark %1").arg((command.name + u' ' + command.synopsis).trimmed());
}

Parsed parse(QCommandLineParser& parser, const QString& name, const QStringList& arguments,
             qsizetype fewest, qsizetype most) {
    const Command& command = *named(name);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  Cli::tr("Show this help and exit."));
    parser.addOption(help);
    if (!parser.parse(QStringList{QStringLiteral("hourlark")} + arguments))
        return {{}, Cli::fail(name, parser.errorText())};
    if (parser.isSet(help)) {
        // Qt's own help text, but with this command's usage line and summary.
        const QString generated = parser.helpText();
        Cli::print(usageLine(command) + u'\n' + command.summary + QStringLiteral("\n\n") +
                   generated.mid(generated.indexOf(QStringLiteral("Options:"))).trimmed());
        return {{}, Cli::Success};
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() < fewest)
        return {{}, Cli::fail(name, Cli::tr("missing arguments; %1").arg(usageLine(command)))};
    if (positional.size() > most)
        return {{},
                Cli::fail(name, Cli::tr("unexpected argument \"%1\"; %2 (quote a name with spaces)")
                                    .arg(positional.value(most), usageLine(command)))};
    return {positional, std::nullopt};
}

// Minutes as the panel's field takes them, but a value out of range is an error here rather than
// brought into range: a script that asks for 0 or 601 minutes has made a mistake.
std::optional<qint64> minutesArgument(const QString& text) {
    if (text.isEmpty() || text.size() > 9)
        return std::nullopt;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
    }
    const qint64 minutes = text.toLongLong();
    if (minutes < TaskRules::minimumMinutes || minutes > TaskRules::maximumMinutes)
        return std::nullopt;
    return minutes;
}

QString badMinutes(const QString& text) {
    return Cli::tr("MINUTES must be a whole number from %1 to %2, not \"%3\"")
        .arg(TaskRules::minimumMinutes)
        .arg(TaskRules::maximumMinutes)
        .arg(text);
}

int finish(const QString& name, const ControlClient::Result& result) {
    switch (result.kind) {
    case ControlClient::Result::Kind::Done:
        return Cli::Success;
    case ControlClient::Result::Kind::Refused:
        return Cli::fail(name, result.message);
    case ControlClient::Result::Kind::Unavailable:
        return Cli::fail(name, result.message, Cli::Unavailable);
    }
    return Cli::Failure;
}

double unixSeconds(Instant instant) {
    return instant.secondsSinceReference() + double(Instant::referenceUnixSeconds);
}

// Commands that are one method of the timer, without arguments.
int simple(const QString& name, const QStringList& arguments, const QString& method) {
    QCommandLineParser parser;
    const Parsed parsed = parse(parser, name, arguments, 0, 0);
    if (parsed.exitNow)
        return *parsed.exitNow;
    return finish(name, ControlClient().callTimer(method));
}

int start(const QString& name, const QStringList& arguments) {
    QCommandLineParser parser;
    const Parsed parsed = parse(parser, name, arguments, 0, 2);
    if (parsed.exitNow)
        return *parsed.exitNow;
    uint minutes = 0; // the length stays
    if (!parsed.positional.isEmpty()) {
        const std::optional<qint64> given = minutesArgument(parsed.positional[0]);
        if (!given)
            return Cli::fail(name, badMinutes(parsed.positional[0]));
        minutes = uint(*given);
    }
    return finish(name, ControlClient().callTimer(QStringLiteral("Start"),
                                                  {minutes, parsed.positional.value(1)}));
}

int stop(const QString& name, const QStringList& arguments) {
    return simple(name, arguments, QStringLiteral("Stop"));
}

int toggle(const QString& name, const QStringList& arguments) {
    return simple(name, arguments, QStringLiteral("Toggle"));
}

int reset(const QString& name, const QStringList& arguments) {
    return simple(name, arguments, QStringLiteral("Reset"));
}

int complete(const QString& name, const QStringList& arguments) {
    return simple(name, arguments, QStringLiteral("Complete"));
}

int show(const QString& name, const QStringList& arguments) {
    return simple(name, arguments, QStringLiteral("ShowPanel"));
}

int history(const QString& name, const QStringList& arguments) {
    return simple(name, arguments, QStringLiteral("ShowHistory"));
}

int status(const QString& name, const QStringList& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption json(QStringLiteral("json"),
                                  Cli::tr("Print one JSON object: remaining, initial, name, "
                                          "running, title (the same as --format json)."));
    const QCommandLineOption format(
        QStringLiteral("format"),
        Cli::tr("Print for a status bar: waybar (its custom-module JSON), plain (the title), or "
                "json."),
        QStringLiteral("FORMAT"));
    const QCommandLineOption follow({QStringLiteral("f"), QStringLiteral("follow")},
                                    Cli::tr("Print a new line whenever it changes, until "
                                            "interrupted. While Hourlark is not running the line "
                                            "is empty ({} for json)."));
    parser.addOptions({json, format, follow});
    const Parsed parsed = parse(parser, name, arguments, 0, 0);
    if (parsed.exitNow)
        return *parsed.exitNow;

    TimerStatus::Format shown = TimerStatus::Format::Title;
    if (parser.isSet(format)) {
        const std::optional<TimerStatus::Format> named =
            TimerStatus::formatNamed(parser.value(format));
        if (!named)
            return Cli::fail(name, Cli::tr("unknown format \"%1\"; use waybar, plain or json")
                                       .arg(parser.value(format)));
        if (parser.isSet(json) && *named != TimerStatus::Format::Json)
            return Cli::fail(name, Cli::tr("--json and --format %1 ask for two different formats")
                                       .arg(parser.value(format)));
        shown = *named;
    } else if (parser.isSet(json)) {
        shown = TimerStatus::Format::Json;
    }

    ControlClient client;
    if (parser.isSet(follow)) {
        if (!client.bus().isConnected())
            return Cli::fail(name, Cli::tr("there is no session bus to reach Hourlark on"),
                             Cli::Unavailable);
        StatusFollower follower(client.bus(), shown);
        if (!follower.start())
            return Cli::fail(name, client.bus().lastError().message(), Cli::Unavailable);
        return QCoreApplication::exec();
    }
    // The title alone is what a bar polls for most often; it needs only that one property.
    TimerStatus state;
    if (shown == TimerStatus::Format::Title) {
        const ControlClient::Result result = client.timerProperty(QStringLiteral("Title"));
        if (!result.done())
            return finish(name, result);
        state.title = result.arguments.value(0).toString();
    } else {
        const ControlClient::Result result = client.timerProperties();
        if (!result.done())
            return finish(name, result);
        state.update(qdbus_cast<QVariantMap>(result.arguments.value(0)));
    }
    Cli::printBytes(state.line(shown) + '\n');
    return Cli::Success;
}

int exportHistory(const QString& name, const QStringList& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption csv(QStringLiteral("csv"),
                                 Cli::tr("CSV for spreadsheets (RFC 4180, UTF-8, ISO 8601 local "
                                         "times); the default."));
    const QCommandLineOption json(
        QStringLiteral("json"),
        Cli::tr("JSON in the form Hourlark keeps its history in, exact to the last digit."));
    const QCommandLineOption from(QStringLiteral("from"),
                                  Cli::tr("Only completions from DATE on (2026-12-01, or a time "
                                          "such as 2026-12-01T14:00)."),
                                  QStringLiteral("DATE"));
    const QCommandLineOption to(QStringLiteral("to"),
                                Cli::tr("Only completions up to DATE, that day included (or up "
                                        "to, not including, a time)."),
                                QStringLiteral("DATE"));
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")},
                                    Cli::tr("Write to FILE instead of standard output."),
                                    QStringLiteral("FILE"));
    parser.addOptions({csv, json, from, to, output});
    const Parsed parsed = parse(parser, name, arguments, 0, 0);
    if (parsed.exitNow)
        return *parsed.exitNow;
    if (parser.isSet(csv) && parser.isSet(json))
        return Cli::fail(name, Cli::tr("choose one of --csv and --json"));
    const HistoryExport::Format format =
        parser.isSet(json) ? HistoryExport::Format::Json : HistoryExport::Format::Csv;

    HistoryExport::Range range;
    for (const QCommandLineOption* end : {&from, &to}) {
        if (!parser.isSet(*end))
            continue;
        const QString text = parser.value(*end);
        const std::optional<TimeArgument::Span> span = TimeArgument::parseDateOrTime(text);
        if (!span)
            return Cli::fail(name, Cli::tr("\"%1\" is not a date (2026-12-01) or a time "
                                           "(2026-12-01T14:00)")
                                       .arg(text));
        if (end == &from)
            range.from = span->start.secondsSinceReference();
        else
            range.to = span->end.secondsSinceReference();
    }
    if (range.from >= range.to)
        return Cli::fail(
            name,
            Cli::tr("--from %1 is not before --to %2").arg(parser.value(from), parser.value(to)));

    // The running Hourlark knows changes that may not be on disk yet (a disk that was full); with
    // none running, the file is read and left exactly as it is.
    QByteArray text;
    ControlClient client;
    const ControlClient::Result asked =
        client.isRunning()
            ? client.callHistory(QStringLiteral("Export"),
                                 {format == HistoryExport::Format::Json ? QStringLiteral("json")
                                                                        : QStringLiteral("csv"),
                                  range.from + double(Instant::referenceUnixSeconds),
                                  range.to + double(Instant::referenceUnixSeconds)},
                                 false)
            : ControlClient::Result{};
    if (asked.done()) {
        text = asked.arguments.value(0).toByteArray();
    } else if (asked.kind == ControlClient::Result::Kind::Refused) {
        return Cli::fail(name, asked.message);
    } else {
        QString error;
        const std::optional<QList<TaskEntry>> tasks =
            HistoryFile::read(HistoryFile::path(FilePreferencesStore::defaultFolder()), &error);
        if (!tasks)
            return Cli::fail(name, error);
        const std::optional<QByteArray> written = HistoryExport::write(format, *tasks, range);
        if (!written)
            return Cli::fail(name, Cli::tr("the history holds an instant JSON cannot write; "
                                           "export it as CSV"));
        text = *written;
    }

    const QString path = parser.value(output);
    if (path.isEmpty() || path == u"-") {
        Cli::printBytes(text);
        return Cli::Success;
    }
    // Replaced whole or not at all: an export that fails half-way leaves the old file be.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        return Cli::fail(name, Cli::tr("cannot write %1: %2").arg(path, file.errorString()));
    return Cli::Success;
}

int add(const QString& name, const QStringList& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption at(QStringLiteral("at"),
                                Cli::tr("When it ended: 14:30 (today), 2026-12-06T14:30, or with "
                                        "an offset such as 2026-12-06T14:30+01:00. Default: now."),
                                QStringLiteral("TIME"));
    parser.addOption(at);
    const Parsed parsed = parse(parser, name, arguments, 2, 2);
    if (parsed.exitNow)
        return *parsed.exitNow;
    const std::optional<qint64> minutes = minutesArgument(parsed.positional[1]);
    if (!minutes)
        return Cli::fail(name, badMinutes(parsed.positional[1]));

    const QDateTime now = QDateTime::currentDateTime();
    Instant end = Instant::fromDateTime(now);
    if (parser.isSet(at)) {
        const std::optional<Instant> given = TimeArgument::parseTime(parser.value(at), now.date());
        if (!given)
            return Cli::fail(
                name,
                Cli::tr("\"%1\" is not a time (14:30, 2026-12-06T14:30)").arg(parser.value(at)));
        if (*given > end)
            return Cli::fail(name, Cli::tr("%1 is in the future").arg(parser.value(at)));
        end = *given;
    }
    return finish(name, ControlClient().callHistory(
                            QStringLiteral("AddCompletion"),
                            {parsed.positional[0], qlonglong(*minutes * 60), unixSeconds(end)}));
}

} // namespace

const QList<Command>& all() {
    static const QList<Command> commands{
        {QStringLiteral("start"), QStringLiteral("[MINUTES] [NAME]"),
         Cli::tr("Start the countdown, with a length of 1 to 600 minutes and a task name if "
                 "given."),
         start},
        {QStringLiteral("stop"), QString(), Cli::tr("Stop the countdown where it is."), stop},
        {QStringLiteral("toggle"), QString(),
         Cli::tr("Stop the countdown if it runs, else start it."), toggle},
        {QStringLiteral("reset"), QString(),
         Cli::tr("Stop without recording; back to 30 minutes and no name."), reset},
        {QStringLiteral("complete"), QString(),
         Cli::tr("Record the running countdown as completed now."), complete},
        {QStringLiteral("show"), QString(), Cli::tr("Open the timer panel."), show},
        {QStringLiteral("history"), QString(), Cli::tr("Open the history screen."), history},
        {QStringLiteral("status"), QStringLiteral("[--json | --format FORMAT] [--follow]"),
         Cli::tr("Print the countdown as the panel item shows it (\"24:59 Write\")."), status},
        {QStringLiteral("export"),
         QStringLiteral("[--csv | --json] [--from DATE] [--to DATE] [-o FILE]"),
         Cli::tr("Write the history as CSV or JSON, whether or not Hourlark is running."),
         exportHistory},
        {QStringLiteral("add"), QStringLiteral("NAME MINUTES [--at TIME]"),
         Cli::tr("Record a completion that was not timed, ended at TIME (default: now)."), add},
    };
    return commands;
}

const Command* named(const QString& name) {
    for (const Command& command : all()) {
        if (command.name == name)
            return &command;
    }
    return nullptr;
}

} // namespace Commands
