#pragma once

#include <QCoreApplication>
#include <QString>

// What every command of the command line shares: its texts' translation context, its exit
// statuses and its two outputs. Answers go to stdout, complaints to stderr, one line each.
class Cli final {
    Q_DECLARE_TR_FUNCTIONS(Cli)
public:
    enum ExitStatus {
        Success = 0,
        // Bad arguments, or a request Hourlark turned down (a start while the countdown runs).
        Failure = 1,
        // Hourlark is not running and cannot be started (sysexits' EX_UNAVAILABLE).
        Unavailable = 69,
    };

    // `text` and a line break on stdout, flushed at once: a bar reading a pipe waits for it.
    static void print(const QString& text);
    static void printBytes(const QByteArray& bytes);
    // "hourlark COMMAND: reason" on stderr; returns `status` for the caller to return in turn.
    static int fail(const QString& command, const QString& reason, int status = Failure);
};
