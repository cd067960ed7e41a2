#include "RealisticHistory.h"

#include "model/TaskEntryJson.h"
#include "time/Instant.h"

#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QUuid>
#include <algorithm>
#include <array>
#include <cmath>
#include <random>

using namespace Qt::StringLiterals;

namespace RealisticHistory {

namespace {

// Most used first. Interleaved so that scripts other than Latin turn up among the common names as
// well as in the tail; one name needs escaping in JSON, one lies outside the Basic Multilingual
// Plane.
const std::array<QString, 40> recurringNames{
    u"Write"_s,
    u"Deep work"_s,
    u"Email"_s,
    u"\u041a\u043e\u0434-\u0440\u0435\u0432\u044c\u044e"_s, // Russian: code review
    u"Review pull requests"_s,
    u"Read"_s,
    u"\u8aad\u66f8"_s, // Japanese: reading
    u"Plan the week"_s,
    u"Study"_s,
    u"Caf\u00e9 \"break\""_s,
    u"Standup"_s,
    u"\u5199\u4f5c"_s, // Chinese: writing
    u"Exercise"_s,
    u"Write the report"_s,
    u"Research"_s,
    u"\u0393\u03c5\u03bc\u03bd\u03b1\u03c3\u03c4\u03b9\u03ba\u03ae"_s, // Greek: exercise
    u"Inbox zero"_s,
    u"Piano"_s,
    u"Prepare slides"_s,
    u"\uacf5\ubd80"_s, // Korean: study
    u"Language practice"_s,
    u"Budget"_s,
    u"\u05db\u05ea\u05d9\u05d1\u05d4"_s, // Hebrew: writing
    u"Meditate"_s,
    u"Design sketches"_s,
    u"Refactor the parser"_s,
    u"\u0645\u0631\u0627\u062c\u0639\u0629"_s, // Arabic: review
    u"Read a paper"_s,
    u"Sprint planning"_s,
    u"Journal"_s,
    u"\u0427\u0442\u0435\u043d\u0438\u0435"_s, // Russian: reading
    u"Stretching"_s,
    u"Tidy the desk"_s,
    u"Phone calls"_s,
    u"\U0001f9d8 Yoga"_s,
    u"Backlog grooming"_s,
    u"\u00c9crire la lettre"_s,
    u"Groceries list"_s,
    u"\u65e5\u672c\u8a9e\u306e\u52c9\u5f37"_s, // Japanese: studying Japanese
    u"Laundry"_s,
};

// Names used once: a recurring kind of chore with something that makes each one different.
const std::array<QString, 6> oneOffPatterns{
    u"Call about invoice %1"_s,
    u"Fix issue #%1"_s,
    u"Reply to ticket %1"_s,
    u"\u0417\u0432\u043e\u043d\u043e\u043a %1"_s, // Russian: call
    u"\u6253\u7535\u8bdd %1"_s,                   // Chinese: phone call
    u"Review draft v%1"_s,
};

// Common timer lengths in minutes, with how often each is chosen.
constexpr std::array<int, 8> lengths{25, 50, 15, 5, 45, 60, 30, 90};
constexpr std::array<double, 8> lengthWeights{40, 12, 10, 10, 8, 8, 7, 5};

class Generator {
public:
    Generator(quint64 seed)
        : m_random(seed) {
        std::vector<double> weights;
        // A long tail: the k-th name is used about 1/k as often as the first.
        for (std::size_t k = 1; k <= recurringNames.size(); ++k)
            weights.push_back(1.0 / std::pow(double(k), 1.07));
        m_names = std::discrete_distribution<int>(weights.begin(), weights.end());
        m_lengths = std::discrete_distribution<int>(lengthWeights.begin(), lengthWeights.end());
    }

    // One day's completions, in order, none after `end`.
    void day(QDate date, double end, QList<TaskEntry>& into) {
        // Holidays and sick days: about one day in twenty has nothing.
        if (chance(0.05))
            return;
        const bool weekend = date.dayOfWeek() >= 6;
        std::poisson_distribution<int> howMany(weekend ? 7.35 : 14.7);
        const int count = howMany(m_random);
        if (count == 0)
            return;
        const double dayStart = Instant::fromDateTime(date.startOfDay()).secondsSinceReference();
        // From about half past eight, one task after another with a break in between.
        double at = dayStart + 8.5 * 3600 + uniform(-3600, 3600);
        for (int i = 0; i < count; ++i) {
            at += uniform(60, 1200);
            const double planned = lengths[std::size_t(m_lengths(m_random))] * 60.0;
            // One in five is completed before its time is up.
            const double spent = chance(0.2) ? planned * uniform(0.2, 0.95) : planned;
            const double start = at + uniform(0, 1);
            const double finish = start + spent + uniform(0, 1);
            if (finish > end)
                return;
            into.append(TaskEntry(uuid(), name(), qint64(spent), Instant(start), Instant(finish),
                                  Instant(finish)));
            at = finish;
        }
    }

private:
    double uniform(double from, double to) {
        return std::uniform_real_distribution<double>(from, to)(m_random);
    }
    bool chance(double p) { return std::bernoulli_distribution(p)(m_random); }

    QString name() {
        if (chance(0.1)) {
            const QString& pattern = oneOffPatterns[m_oneOffs % oneOffPatterns.size()];
            return pattern.arg(++m_oneOffs + 1000);
        }
        return recurringNames[std::size_t(m_names(m_random))];
    }

    // Random (version 4) ids, but from the seeded generator.
    QUuid uuid() {
        const quint64 high = m_random();
        const quint64 low = m_random();
        QUuid id(uint(high >> 32), ushort(high >> 16), ushort((high & 0x0fff) | 0x4000),
                 uchar(((low >> 56) & 0x3f) | 0x80), uchar(low >> 48), uchar(low >> 40),
                 uchar(low >> 32), uchar(low >> 24), uchar(low >> 16), uchar(low >> 8), uchar(low));
        return id;
    }

    std::mt19937_64 m_random;
    std::discrete_distribution<int> m_names;
    std::discrete_distribution<int> m_lengths;
    qsizetype m_oneOffs = 0;
};

bool hasNonLatinLetter(const QString& text) {
    for (const QChar c : text) {
        if (c.isLetter() && c.script() != QChar::Script_Latin)
            return true;
        if (c.isHighSurrogate())
            return true;
    }
    return false;
}

} // namespace

QList<TaskEntry> generate(qsizetype count, double end, quint64 seed) {
    Generator generator(seed);
    // Days are made from the last one back, each in order, then put oldest first.
    QList<QList<TaskEntry>> days;
    qsizetype made = 0;
    QDate date = Instant(end).toDateTime().date();
    while (made < count) {
        QList<TaskEntry> day;
        generator.day(date, end, day);
        made += day.size();
        days.append(std::move(day));
        date = date.addDays(-1);
    }
    QList<TaskEntry> tasks;
    tasks.reserve(made);
    for (auto day = days.crbegin(); day != days.crend(); ++day)
        tasks.append(*day);
    // The oldest day is cut to size from its start, so the history ends where it should.
    tasks.remove(0, made - count);
    return tasks;
}

QList<TaskEntry> generate(qsizetype count) {
    return generate(count,
                    Instant::fromDateTime(QDateTime::currentDateTime()).secondsSinceReference());
}

QByteArray stored(const QList<TaskEntry>& tasks) {
    return encodeTaskHistory(tasks).value_or(QByteArray());
}

Summary summarize(const QList<TaskEntry>& tasks) {
    Summary summary;
    summary.completions = tasks.size();
    if (tasks.isEmpty())
        return summary;
    QHash<QString, qsizetype> uses;
    QSet<QDate> activeDays;
    qsizetype nonLatin = 0;
    for (const TaskEntry& task : tasks) {
        ++uses[task.taskName()];
        activeDays.insert(task.completionDate().toDateTime().date());
        if (hasNonLatinLetter(task.taskName()))
            ++nonLatin;
    }
    qsizetype oneOff = 0;
    for (const qsizetype n : std::as_const(uses)) {
        if (n == 1)
            ++oneOff;
    }
    summary.days = tasks.constFirst().completionDate().toDateTime().date().daysTo(
                       tasks.constLast().completionDate().toDateTime().date()) +
                   1;
    summary.names = uses.size();
    summary.oneOffShare = double(oneOff) / double(tasks.size());
    summary.nonLatinShare = double(nonLatin) / double(tasks.size());
    summary.perActiveDay = double(tasks.size()) / double(activeDays.size());
    return summary;
}

QString describe(const Summary& s) {
    return u"%1 completions over %2 days (%3 a day, %4 on a day with any), %5 names, %6% one-off, "
           u"%7% non-Latin"_s.arg(s.completions)
               .arg(s.days)
               .arg(double(s.completions) / double(std::max<qsizetype>(1, s.days)), 0, 'f', 1)
               .arg(s.perActiveDay, 0, 'f', 1)
               .arg(s.names)
               .arg(s.oneOffShare * 100, 0, 'f', 1)
               .arg(s.nonLatinShare * 100, 0, 'f', 1);
}

} // namespace RealisticHistory
