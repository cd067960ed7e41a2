#include "storage/PreferencesStore.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}
} // namespace

class tst_PreferencesStore final : public QObject {
    Q_OBJECT

private slots:
    void writesOneFilePerKeyCreatingTheFolder() {
        QTemporaryDir dir;
        const QString folder = dir.filePath(u"a/b"_s);
        FilePreferencesStore store(folder);
        QCOMPARE(store.value(u"Key"_s), std::nullopt);
        QVERIFY(store.setValue(u"Key"_s, "[1]"));
        QCOMPARE(readFile(folder + u"/Key.json"_s), QByteArray("[1]"));
        QCOMPARE(FilePreferencesStore(folder).value(u"Key"_s), std::optional<QByteArray>("[1]"));
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{u"Key.json"_s});
    }

    // Appending must give exactly the text a whole write of the longer array would, keep what
    // followed the array, and refuse anything it cannot be sure of.
    void appendToArray_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<bool>("changedBehindOurBack");
        QTest::addColumn<QByteArray>("expected"); // empty: refused, file untouched
        QTest::newRow("empty array") << QByteArray("[]") << false << QByteArray("[3]");
        QTest::newRow("elements") << QByteArray("[1,2]") << false << QByteArray("[1,2,3]");
        QTest::newRow("spaced by hand, final newline")
            << QByteArray("  [ 1 ,\n 2 ]  \n") << false << QByteArray("  [ 1 ,\n 2 ,3]  \n");
        QTest::newRow("empty array with space inside")
            << QByteArray("[ \n ]\n") << false << QByteArray("[ \n 3]\n");
        QTest::newRow("an object") << QByteArray(R"({"a":[]})") << false << QByteArray();
        QTest::newRow("cut short") << QByteArray("[1,2") << false << QByteArray();
        QTest::newRow("replaced by another program") << QByteArray("[1,2]") << true << QByteArray();
        const QByteArray large = "[" + QByteArray(100000, ' ') + "1]";
        QTest::newRow("larger than the part read")
            << large << false << QByteArray(large).insert(large.size() - 1, ",3");
    }
    void appendToArray() {
        QFETCH(QByteArray, stored);
        QFETCH(bool, changedBehindOurBack);
        QFETCH(QByteArray, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Key.json"_s);
        writeFile(path, stored);
        FilePreferencesStore store(dir.path());
        QCOMPARE(store.value(u"Key"_s), std::optional<QByteArray>(stored));
        if (changedBehindOurBack) {
            stored = "[1,2,9]";
            writeFile(path, stored);
        }
        QCOMPARE(store.appendToArray(u"Key"_s, "3"), !expected.isEmpty());
        QCOMPARE(readFile(path), expected.isEmpty() ? stored : expected);
        if (expected.isEmpty())
            return;
        // And again, onto what it wrote itself.
        QVERIFY(store.appendToArray(u"Key"_s, "4"));
        QCOMPARE(readFile(path), QByteArray(expected).insert(expected.lastIndexOf(']'), ",4"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{u"Key.json"_s});
    }

    void keepAsideCopiesWithoutOverwritingEarlierCopies() {
        QTemporaryDir dir;
        FilePreferencesStore store(dir.path());
        QVERIFY(store.keepAside(u"Key"_s)); // nothing there: nothing to keep
        QVERIFY(QDir(dir.path()).isEmpty());

        writeFile(dir.filePath(u"Key.json"_s), "one");
        QVERIFY(store.keepAside(u"Key"_s));
        writeFile(dir.filePath(u"Key.json"_s), "two");
        QVERIFY(store.keepAside(u"Key"_s));

        QStringList aside =
            QDir(dir.path()).entryList({u"Key.unreadable-*.json"_s}, QDir::Files, QDir::Name);
        QCOMPARE(aside.size(), 2);
        QByteArrayList kept;
        for (const QString& name : aside)
            kept << readFile(dir.filePath(name));
        std::sort(kept.begin(), kept.end());
        QCOMPARE(kept, (QByteArrayList{"one", "two"}));
        QCOMPARE(readFile(dir.filePath(u"Key.json"_s)), QByteArray("two"));
    }
};

QTEST_GUILESS_MAIN(tst_PreferencesStore)
#include "tst_PreferencesStore.moc"
