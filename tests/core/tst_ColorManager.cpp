#include "Fakes.h"
#include "managers/ColorManager.h"
#include "storage/JsonStringMap.h"
#include "storage/PreferencesStore.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QString key = u"TaskColorMappings"_s;

QHash<QString, QString> stored(const MemoryPreferencesStore& store) {
    return decodeStringMap(store.values.value(key))
        .value_or(QHash<QString, QString>{{u"<unreadable>"_s, {}}});
}
} // namespace

class tst_ColorManager final : public QObject {
    Q_OBJECT

private slots:
    // Each name asked in turn gets the given palette position; every new assignment is announced
    // and written, a name already known is neither.
    void assignment_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QList<int>>("positions");
        QTest::addColumn<int>("writes");
        QStringList many;
        QList<int> wrapped;
        for (int i = 0; i < 2 * ColorManager::paletteSize + 2; ++i) {
            many << u"task %1"_s.arg(i);
            wrapped << i % ColorManager::paletteSize;
        }
        QHash<QString, QString> full;
        for (int i = 0; i < ColorManager::paletteSize; ++i)
            full.insert(u"task %1"_s.arg(i), ColorManager::colorName(i));
        full.insert(u"stale"_s, u"custom99"_s);

        QTest::newRow("palette order, case counts")
            << QByteArray() << QStringList{u"A"_s, u"Caf\u00e9 \"q\""_s, u"A"_s, u"a"_s}
            << QList<int>{0, 1, 0, 2} << 3;
        QTest::newRow("wraps around once all are taken")
            << QByteArray() << many << wrapped << int(many.size());
        QTest::newRow("unknown colour name is replaced")
            << QByteArray(R"({"A":"blue","B":"magenta","C":"orange"})")
            << QStringList{u"A"_s, u"B"_s} << QList<int>{0, 1} << 1;
        // 25 valid names plus one stale: 26 entries, so the stale name gets position 1.
        QTest::newRow("full palette counts the stale entry")
            << encodeStringMap(full) << QStringList{u"stale"_s} << QList<int>{1} << 1;
    }
    void assignment() {
        QFETCH(QByteArray, before);
        QFETCH(QStringList, names);
        QFETCH(QList<int>, positions);
        QFETCH(int, writes);
        MemoryPreferencesStore store;
        if (!before.isEmpty())
            store.values[key] = before;
        ColorManager colors(store);
        QSignalSpy changed(&colors, &ColorManager::taskColorsChanged);
        for (qsizetype i = 0; i < names.size(); ++i)
            QCOMPARE(colors.colorForTask(names[i]), ColorManager::color(positions[i]));
        const QHash<QString, QString> after = stored(store);
        QCOMPARE(store.writeCount, writes);
        QCOMPARE(changed.size(), writes);
        for (qsizetype i = 0; i < names.size(); ++i)
            QCOMPARE(after.value(names[i]), ColorManager::colorName(positions[i]));
    }

    void unusableStoredValueLoadsNothingAndIsKeptAside_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("one value a number") << QByteArray(R"({"A":"purple","B":3})");
        QTest::newRow("not JSON") << QByteArray("{\"A\":");
        QTest::newRow("empty file") << QByteArray();
    }
    void unusableStoredValueLoadsNothingAndIsKeptAside() {
        QFETCH(QByteArray, bytes);
        MemoryPreferencesStore store;
        store.values[key] = bytes;
        ColorManager colors(store);
        QVERIFY(colors.taskColors().isEmpty());
        QCOMPARE(store.values[key], bytes);
        QCOMPARE(colors.colorForTask(u"A"_s), ColorManager::color(0));
        QCOMPARE(store.keptAside.value(key), QList<QByteArray>{bytes});
        QCOMPARE(stored(store), (QHash<QString, QString>{{u"A"_s, u"blue"_s}}));
    }

    // One task typed two ways is one colour and one stored entry, under the spelling seen first.
    void canonicallyEqualNamesShareAColour() {
        const QString precomposed = u"Caf\u00e9"_s;
        const QString decomposed = u"Cafe\u0301"_s;
        MemoryPreferencesStore store;
        ColorManager colors(store);
        const QColor first = colors.colorForTask(decomposed);
        QCOMPARE(colors.colorForTask(precomposed), first);
        QCOMPARE(stored(store), (QHash<QString, QString>{{decomposed, u"blue"_s}}));

        ColorManager reloaded(store);
        QCOMPARE(reloaded.colorForTask(precomposed), first);
        QCOMPARE(reloaded.colorForTask(u"Cafe"_s), ColorManager::color(1));
    }
};

QTEST_GUILESS_MAIN(tst_ColorManager)
#include "tst_ColorManager.moc"
