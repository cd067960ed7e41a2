#pragma once

#include <QString>
#include <QStringList>

// The commands of `hourlark COMMAND`, each taking the arguments after its name and returning the
// process's exit status (Cli::ExitStatus).
namespace Commands {

struct Command {
    QString name;
    QString synopsis; // the arguments, as the usage line shows them
    QString summary;  // one line for `hourlark --help`
    int (*run)(const QString& name, const QStringList& arguments);
};

const QList<Command>& all();
const Command* named(const QString& name);

} // namespace Commands
