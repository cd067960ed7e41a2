#include "model/TaskEntry.h"
#include "model/TaskEntryJson.h"

#include <QTest>
#include <bit>
#include <charconv>
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

// The history read in pieces of `size` bytes, cut into runs wherever the reader can.
std::optional<QList<TaskEntry>> decodedInPieces(const QByteArray& json, qsizetype size = 1) {
    TaskHistoryDecoder decoder(1);
    for (qsizetype i = 0; i < json.size(); i += size) {
        if (!decoder.feed(json.sliced(i, std::min(size, json.size() - i))))
            return std::nullopt;
    }
    return decoder.finish();
}

// A byte at a time, cut inside ids and numbers, and all at once.
constexpr qsizetype pieceSizes[] = {1, 7, 1 << 16};

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
        for (const qsizetype size : pieceSizes)
            QCOMPARE(decodedInPieces(json, size), tasks);
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
        // The bytes either side of each range of hex digits, in each group of the id.
        QTest::newRow("id holding ':'") << listWith("E621E1F8", "E621E1F:");
        QTest::newRow("id holding '/'") << listWith("-C36C-", "-/36C-");
        QTest::newRow("id holding '@'") << listWith("-495A-", "-495@-");
        QTest::newRow("id holding 'g'") << listWith("-93FC-", "-93Fg-");
        QTest::newRow("id holding '`'") << listWith("0C247A3E6E5F", "0C247A3E6`5F");
        QTest::newRow("id holding a byte above 127") << listWith("0C247A3E6E5F", "0C247A3E6E5\xC6");
        QTest::newRow("control character deep in a name")
            << listWith("Write", "Writing it all down\x1F again");
        QTest::newRow("number ending in its point") << listWith("786000000.25", "786000000.");
        QTest::newRow("number with a leading zero") << listWith("786000000.25", "0786000000.25");
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
        for (const qsizetype size : pieceSizes)
            QVERIFY(!decodedInPieces(json, size));
    }

    // Each instant rounded as from_chars rounds it, in the reader of this program's own entries
    // (read in pieces) as in simdjson's (read whole).
    void readsInstantsLikeFromChars_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("readable");
        QTest::newRow("17 digits, beyond 2^53") << QByteArray("94481884.07004674") << true;
        QTest::newRow("2^53 + 1, a tie to even below") << QByteArray("9007199254740993.0") << true;
        QTest::newRow("2^53 + 3, a tie to even above") << QByteArray("9007199254740995") << true;
        QTest::newRow("just above a tie") << QByteArray("900719925474099.31") << true;
        QTest::newRow("19 digits") << QByteArray("1234567890.123456789") << true;
        QTest::newRow("19 nines") << QByteArray("9999999999999999999") << true;
        QTest::newRow("19 decimals") << QByteArray("0.0000000000000000001") << true;
        QTest::newRow("20 digits") << QByteArray("12345678901.23456789") << true;
        QTest::newRow("20 digits after 0.") << QByteArray("0.95000000000000000000") << true;
        QTest::newRow("0.1 to the last digit")
            << QByteArray("0.1000000000000000055511151231257827021181583404541015625") << true;
        QTest::newRow("negative") << QByteArray("-31536000.000001") << true;
        QTest::newRow("zero") << QByteArray("0") << true;
        QTest::newRow("negative zero") << QByteArray("-0.0") << true;
        QTest::newRow("exponent") << QByteArray("7.8600000025E+8") << true;
        QTest::newRow("smallest subnormal") << QByteArray("4.9406564584124654e-324") << true;
        QTest::newRow("largest double") << QByteArray("1.7976931348623157e308") << true;
        QTest::newRow("beyond the largest double") << QByteArray("1e309") << false;
        QTest::newRow("zero to a power beyond 64 bits")
            << QByteArray("0e3069223372036854775807") << false;
    }
    void readsInstantsLikeFromChars() {
        QFETCH(QByteArray, text);
        QFETCH(bool, readable);
        const QByteArray json = listWith("786000000.25", text.constData());
        const auto whole = decodeTaskHistory(json);
        QCOMPARE(bool(whole), readable);
        double expected = 0;
        std::from_chars(text.cbegin(), text.cend(), expected);
        if (readable)
            QVERIFY(sameBits(whole->first().startTime().secondsSinceReference(), expected));
        for (const qsizetype size : pieceSizes) {
            const auto tasks = decodedInPieces(json, size);
            QCOMPARE(bool(tasks), readable);
            if (readable)
                QVERIFY(sameBits(tasks->first().startTime().secondsSinceReference(), expected));
        }
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
        // Longer than the piece reader holds on to before it hands an entry to simdjson.
        QTest::newRow("name of 5000 characters") << 786000000.5 << QString(5000, u'n');
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
