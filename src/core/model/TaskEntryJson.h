#pragma once

#include "model/TaskEntry.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <memory>
#include <optional>

// The stored form of the history: a compact JSON array of entry objects with the members
// id, taskName, duration, startTime, endTime and completionDate.
//
// Reading is strict about what an entry needs and lenient about everything else: members may come
// in any order, unknown members are ignored, the id may be in either case; a missing member, a
// member of the wrong type, a non-integer duration or a malformed id fails the whole list.
std::optional<QList<TaskEntry>> decodeTaskHistory(QByteArrayView json);
// The same; reads in place when the array's allocation leaves room behind the text.
std::optional<QList<TaskEntry>> decodeTaskHistory(const QByteArray& json);
std::optional<TaskEntry> decodeTaskEntry(QByteArrayView json);

// decodeTaskHistory() for text that arrives a piece at a time: it holds only the entries decoded
// and the text of those not yet complete, never the whole text, so a long history is read with
// little more memory than its entries take. Entries written as this program writes them are read
// straight from the pieces; from the first that is not, the text is cut between two entries and
// each run of entries is read as an array of its own. A history it accepts is one
// decodeTaskHistory() reads the same. It may turn down one that decodeTaskHistory() would read
// (an entry that cannot be cut from its neighbours cheaply), so whoever gets nullopt asks
// decodeTaskHistory() for the verdict.
class TaskHistoryDecoder final {
public:
    // `batchBytes`: how much text is read at once as one run of entries, once it comes to runs.
    explicit TaskHistoryDecoder(qsizetype batchBytes = 1 << 16);
    ~TaskHistoryDecoder();
    Q_DISABLE_COPY_MOVE(TaskHistoryDecoder)

    // The size of the whole text when it is known, so the list is allocated once.
    void expectBytes(qint64 total);
    // The next piece; false once the text cannot be read as a history, after which the rest
    // need not be fed.
    bool feed(QByteArrayView piece);
    // The history, or nullopt as described above.
    std::optional<QList<TaskEntry>> finish();

private:
    struct State;
    std::unique_ptr<State> d;
};

// Writes ids in upper case and instants in the shortest text that reads back to the same double.
// Fails only for an instant that is not a finite number.
std::optional<QByteArray> encodeTaskHistory(const QList<TaskEntry>& tasks);
// The same into a buffer; false (and an empty buffer) on failure.
bool encodeTaskHistory(const QList<TaskEntry>& tasks, QByteArray& into);
std::optional<QByteArray> encodeTaskEntry(const TaskEntry& task);
