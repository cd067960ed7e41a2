#include "model/TaskEntryCsv.h"

#include "storage/JsonWriter.h"
#include "time/LocalIsoTime.h"

#include <QHash>
#include <charconv>
#include <string_view>

namespace {

using namespace std::string_view_literals;

constexpr std::string_view header = "id,task,start,end,completed,duration_seconds,duration\r\n"sv;

char* writeUuid(char* out, const QUuid& id) {
    static constexpr char hex[] = "0123456789ABCDEF";
    const QByteArray bytes = id.toRfc4122();
    for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            *out++ = '-';
        *out++ = hex[uchar(bytes[i]) >> 4];
        *out++ = hex[uchar(bytes[i]) & 0xF];
    }
    return out;
}

// A name as a CSV field, quoted when it has to be.
QByteArray field(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    if (!utf8.contains(',') && !utf8.contains('"') && !utf8.contains('\n') && !utf8.contains('\r'))
        return utf8;
    QByteArray quoted;
    quoted.reserve(utf8.size() + 8);
    quoted.append('"');
    for (const char c : utf8) {
        if (c == '"')
            quoted.append('"');
        quoted.append(c);
    }
    quoted.append('"');
    return quoted;
}

char* writeInteger(char* out, qint64 value) {
    return std::to_chars(out, out + 24, value).ptr;
}

char* writeTwoDigits(char* out, quint64 value) {
    *out++ = char('0' + value / 10);
    *out++ = char('0' + value % 10);
    return out;
}

// H:MM:SS, hours neither padded nor wrapped; a negative duration (a hand-edited file) gets a sign.
char* writeClock(char* out, qint64 seconds) {
    quint64 magnitude = quint64(seconds);
    if (seconds < 0) {
        *out++ = '-';
        magnitude = 0 - magnitude;
    }
    out = std::to_chars(out, out + 24, magnitude / 3600).ptr;
    *out++ = ':';
    out = writeTwoDigits(out, magnitude / 60 % 60);
    *out++ = ':';
    return writeTwoDigits(out, magnitude % 60);
}

} // namespace

QByteArray encodeTaskCsv(const QList<TaskEntry>& tasks) {
    // Histories name the same few tasks over and over; each is encoded once.
    QHash<QString, QByteArray> fields;
    LocalIsoTime times;
    JsonWriter out(qsizetype(header.size()) + tasks.size() * 150);
    char* p = out.reserve(qsizetype(header.size()));
    out.commit(JsonWriter::raw(p, header));
    for (const TaskEntry& task : tasks) {
        auto name = fields.constFind(task.taskName());
        if (name == fields.constEnd())
            name = fields.insert(task.taskName(), field(task.taskName()));
        p = out.reserve(name->size() + 3 * LocalIsoTime::room + 2 * 24 + 60);
        p = writeUuid(p, task.id());
        *p++ = ',';
        p = JsonWriter::raw(p, std::string_view(name->constData(), size_t(name->size())));
        for (const Instant instant : {task.startTime(), task.endTime(), task.completionDate()}) {
            *p++ = ',';
            p = times.write(p, instant);
        }
        *p++ = ',';
        p = writeInteger(p, task.duration());
        *p++ = ',';
        p = writeClock(p, task.duration());
        p = JsonWriter::raw(p, "\r\n"sv);
        out.commit(p);
    }
    return out.take();
}
