#include "control/TaskRules.h"

#include <QTextBoundaryFinder>
#include <QUuid>
#include <algorithm>
#include <cmath>

namespace TaskRules {

// Not translated: it is stored in the history, which must read the same whatever language the
// program was running in when the completion was recorded.
QString untitledName() {
    return QStringLiteral("Untitled Task");
}

bool isKeptOutOfNames(QChar c) {
    const char16_t u = c.unicode();
    return c.category() == QChar::Other_Control // C0, DEL and C1
           || u == 0x2028 || u == 0x2029        // line and paragraph separators
           || (u >= 0x202A && u <= 0x202E)      // LRE, RLE, PDF, LRO, RLO
           || (u >= 0x2066 && u <= 0x2069);     // LRI, RLI, FSI, PDI
}

QString withoutControls(const QString& text) {
    if (std::none_of(text.cbegin(), text.cend(), isKeptOutOfNames))
        return text;
    QString kept;
    kept.reserve(text.size());
    for (const QChar c : text) {
        if (!isKeptOutOfNames(c))
            kept.append(c);
    }
    return kept;
}

QString truncatedName(const QString& text) {
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
    int count = 0;
    while (graphemes.toNextBoundary() != -1) {
        if (++count == maximumNameLength)
            return text.left(graphemes.position());
    }
    return text;
}

QString acceptedName(const QString& text) {
    return truncatedName(withoutControls(text));
}

qint64 clampedMinutes(qint64 minutes) {
    return std::clamp(minutes, minimumMinutes, maximumMinutes);
}

PastCompletionProblem checkPastCompletion(qint64 seconds, Instant end, Instant now) {
    if (seconds < 1 || seconds > maximumMinutes * 60)
        return PastCompletionProblem::Duration;
    if (!std::isfinite(end.secondsSinceReference()))
        return PastCompletionProblem::EndNotAnInstant;
    if (end > now)
        return PastCompletionProblem::EndInFuture;
    return PastCompletionProblem::None;
}

TaskEntry pastCompletion(const QString& name, qint64 seconds, Instant end) {
    const QString accepted = acceptedName(name);
    return TaskEntry(QUuid::createUuid(), accepted.isEmpty() ? untitledName() : accepted, seconds,
                     end.addingSeconds(-double(seconds)), end, end);
}

} // namespace TaskRules
