#include "model/TaskEntry.h"
#include "model/TaskEntryJson.h"

#include <QTest>
#include <bit>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace {
const QUuid sampleId = QUuid::fromString(u"E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
const QByteArray goodRecord =
    R"({"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","taskName":"Write","duration":1500,"startTime":786000000.25,"endTime":786001500.75,"completionDate":786001500.75})";

// The good record with one piece replaced, in a list.
QByteArray listWith(const char* from, const char* to) {
    return "[" + QByteArray(goodRecord).replace(from, to) + "]";
}

TaskEntry sampleEntry() {
    return TaskEntry(sampleId, u"Write"_s, 1500, Instant(786000000.25), Instant(786001500.75),
                     Instant(786001500.75));
}

// The history read a byte at a time, cut into runs wherever the reader can.
std::optional<QList<TaskEntry>> decodedInPieces(const QByteArray& json) {
    TaskHistoryDecoder decoder(1);
    for (qsizetype i = 0; i < json.size(); ++i) {
        if (!decoder.feed(json.sliced(i, 1)))
            return std::nullopt;
    }
    return decoder.finish();
}

// Bit equality: -0.0 == 0.0 would hide a lost sign.
bool sameBits(double a, double b) {
    return std::bit_cast<quint64>(a) == std::bit_cast<quint64>(b);
}
} // namespace

class tst_TaskEntry final : public QObject {
    Q_OBJECT

private slots:
    // Precomposed and decomposed forms of the same name are one name; any other field counts.
    void equality() {
        const TaskEntry composed(sampleId, u"Caf\u00e9"_s, 1, Instant(0), Instant(0), Instant(0));
        QCOMPARE(composed,
                 TaskEntry(sampleId, u"Cafe\u0301"_s, 1, Instant(0), Instant(0), Instant(0)));
        QVERIFY(!(composed ==
                  TaskEntry(sampleId, u"Caf\u00e9"_s, 1, Instant(0), Instant(1), Instant(0))));
    }

    void decodesWhatOtherWritersProduce_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::newRow("canonical") << "[" + goodRecord + "]";
        QTest::newRow("members reordered") << QByteArray(
            R"([{"completionDate":786001500.75,"duration":1500,"endTime":786001500.75,"taskName":"Write","startTime":786000000.25,"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F"}])");
        QTest::newRow("lower-case id") << listWith("E621E1F8-C36C-495A-93FC-0C247A3E6E5F",
                                                   "e621e1f8-c36c-495a-93fc-0c247a3e6e5f");
        QTest::newRow("unknown members, whitespace, escapes") << QByteArray(
            "[ {\n \"extra\" : {\"nested\": [1, null, true]},\n "
            "\"id\":\"E621E1F8-C36C-495A-93FC-0C247A3E6E5F\","
            "\"task\\u004eame\":\"\\u0057rite\",\"duration\":1500,\"startTime\":7.8600000025e8,"
            "\"endTime\":786001500.75,\"completionDate\":786001500.75} ]\n");
        QTest::newRow("integers beyond 64 bits in unknown members")
            << listWith("{", R"({"big":-100000000000000000000,)");
        QTest::newRow("byte-order mark") << "\xEF\xBB\xBF[" + goodRecord + "]";
        QTest::newRow("several, a name holding the cut")
            << "[" + goodRecord + " ,\n" + listWith("Write", "W},{rite").mid(1);
    }
    void decodesWhatOtherWritersProduce() {
        QFETCH(QByteArray, json);
        const auto tasks = decodeTaskHistory(json);
        QVERIFY(tasks);
        QCOMPARE(tasks->first(), sampleEntry());
        QCOMPARE(decodedInPieces(json), tasks);
    }

    void rejectsBrokenRecords_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::newRow("not JSON") << QByteArray("[{");
        QTest::newRow("object, not array") << goodRecord;
        QTest::newRow("trailing text") << "[" + goodRecord + "] x";
        QTest::newRow("element not an object") << "[" + goodRecord + ",3]";
        QTest::newRow("no id") << listWith(R"("id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F",)", "");
        QTest::newRow("no taskName") << listWith(R"("taskName":"Write",)", "");
        QTest::newRow("no duration") << listWith(R"("duration":1500,)", "");
        QTest::newRow("no startTime") << listWith(R"("startTime":786000000.25,)", "");
        QTest::newRow("no endTime") << listWith(R"("endTime":786001500.75,)", "");
        QTest::newRow("no completionDate") << listWith(R"(,"completionDate":786001500.75)", "");
        QTest::newRow("fractional duration") << listWith("1500,", "1500.5,");
        QTest::newRow("duration written as a float") << listWith("1500,", "1500.0,");
        QTest::newRow("duration beyond 64 bits") << listWith("1500,", "9223372036854775808,");
        QTest::newRow("duration beyond any 64 bits") << listWith("1500,", "100000000000000000000,");
        QTest::newRow("duration as text") << listWith("1500,", "\"1500\",");
        QTest::newRow("date as text") << listWith("786000000.25", "\"2025-11-28\"");
        QTest::newRow("name a number") << listWith("\"Write\"", "7");
        QTest::newRow("id with braces") << listWith("\"E621E1F8-C36C-495A-93FC-0C247A3E6E5F\"",
                                                    "\"{E621E1F8-C36C-495A-93FC-0C247A3E6E5F}\"");
        QTest::newRow("id not hex") << listWith("E621E1F8", "G621E1F8");
        QTest::newRow("id hyphen misplaced") << listWith("E621E1F8-C36C", "E621E1F-8C36C");
        QTest::newRow("invalid UTF-8 in name") << listWith("Write", "Wr\xC3");
        QTest::newRow("second record broken")
            << "[" + goodRecord + "," + QByteArray(goodRecord).replace("duration", "durat") + "]";
        QTest::newRow("trailing comma") << "[" + goodRecord + ",]";
        QTest::newRow("byte-order mark alone") << QByteArray("\xEF\xBB\xBF");
        QTest::newRow("only space") << QByteArray(" \n");
    }
    void rejectsBrokenRecords() {
        QFETCH(QByteArray, json);
        QVERIFY(!decodeTaskHistory(json));
        QVERIFY(!decodedInPieces(json));
    }

    void roundTripKeepsEveryBit_data() {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("name");
        QTest::newRow("0.1 + 0.2") << (0.1 + 0.2) << u"say \"hi\" \\ back/slash"_s;
        QTest::newRow("next double after now")
            << std::nextafter(786000000.123456, 1e12) << u"tab\tnew\nline\x01"_s;
        QTest::newRow("negative zero") << -0.0 << u"\u00e9\u4e2d\U0001F600"_s;
        QTest::newRow("before 2001") << -31536000.000001 << u" "_s;
        QTest::newRow("smallest subnormal")
            << std::numeric_limits<double>::denorm_min() << QString();
        QTest::newRow("largest double") << std::numeric_limits<double>::max() << u"x"_s;
    }
    void roundTripKeepsEveryBit() {
        QFETCH(double, seconds);
        QFETCH(QString, name);
        const TaskEntry entry(QUuid::createUuid(), name, -5, Instant(seconds), Instant(seconds / 3),
                              Instant(-seconds));
        const auto json = encodeTaskHistory({entry, sampleEntry()});
        QVERIFY(json);
        const auto back = decodeTaskHistory(*json);
        QVERIFY(back);
        QCOMPARE(back->size(), 2);
        // Read in pieces the numbers and names take another path; written again, every bit shows.
        QCOMPARE(encodeTaskHistory(decodedInPieces(*json).value_or(QList<TaskEntry>())), json);
        const TaskEntry& read = back->first();
        QCOMPARE(read.id(), entry.id());
        QCOMPARE(read.taskName(), name);
        QCOMPARE(read.duration(), -5);
        QVERIFY(sameBits(read.startTime().secondsSinceReference(), seconds));
        QVERIFY(sameBits(read.endTime().secondsSinceReference(), seconds / 3));
        QVERIFY(sameBits(read.completionDate().secondsSinceReference(), -seconds));
        QCOMPARE(back->last(), sampleEntry());
    }

    void writesCompactUpperCaseForm() {
        const auto json = encodeTaskEntry(sampleEntry());
        QVERIFY(json);
        QCOMPARE(*json, goodRecord);
        QCOMPARE(encodeTaskHistory({}), QByteArray("[]"));
    }

    void oddValuesEncodeSafely() {
        // A lonely surrogate still makes valid JSON; a non-finite instant cannot be written.
        const TaskEntry surrogate(sampleId, QString(QChar(0xD800)) + u"x"_s, 1, Instant(0),
                                  Instant(0), Instant(0));
        const auto back = decodeTaskEntry(encodeTaskEntry(surrogate).value_or(QByteArray()));
        QVERIFY(back);
        QCOMPARE(back->taskName(), u"\uFFFDx"_s);
        const TaskEntry nan(sampleId, u"x"_s, 1, Instant(0), Instant(std::nan("")), Instant(0));
        QVERIFY(!encodeTaskHistory({sampleEntry(), nan}));
    }
};

QTEST_GUILESS_MAIN(tst_TaskEntry)
#include "tst_TaskEntry.moc"
