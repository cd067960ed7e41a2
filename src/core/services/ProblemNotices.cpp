#include "services/ProblemNotices.h"

#include "CoreLog.h"
#include "services/Notifier.h"

ProblemNotices::ProblemNotices(Notifier& notifier)
    : m_notifier(notifier) {}

void ProblemNotices::tell(const QString& title, const QString& body) {
    qCWarning(lcProblems).noquote().nospace() << title << ": " << body;
    m_notifier.notify(title, body);
}

void ProblemNotices::report(const QString& id, const QString& title, const QString& body) {
    if (m_standing.contains(id))
        return;
    m_standing.insert(id);
    tell(title, body);
}

void ProblemNotices::resolve(const QString& id, const QString& title, const QString& body) {
    if (!m_standing.remove(id))
        return;
    qCInfo(lcProblems).noquote().nospace() << title << ": " << body;
    m_notifier.notify(title, body);
}
