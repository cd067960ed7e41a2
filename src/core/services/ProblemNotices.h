#pragma once

#include <QSet>
#include <QString>

class Notifier;

// The one way a failure the user has to act on reaches them (a file that cannot be saved, an
// autostart entry that cannot be written): a desktop notification and a line in the log.
// A lasting problem is an episode under an id: told once when it starts, however often it
// recurs, and told again when it ends.
class ProblemNotices final {
public:
    explicit ProblemNotices(Notifier& notifier);

    // A failure of one action, told every time.
    void tell(const QString& title, const QString& body);
    // Starts the episode `id` unless it is already standing.
    void report(const QString& id, const QString& title, const QString& body);
    // Ends the episode `id`; the user hears of it only if its start was told.
    void resolve(const QString& id, const QString& title, const QString& body);
    bool isStanding(const QString& id) const { return m_standing.contains(id); }

private:
    Notifier& m_notifier;
    QSet<QString> m_standing;
};
