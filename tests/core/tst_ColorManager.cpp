#include "Fakes.h"
#include "managers/ColorManager.h"
#include "storage/JsonStringMap.h"
#include "storage/PreferencesStore.h"

#include <QSignalSpy>
#include <QTemporaryDir>
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
    void firstNamesTakeThePaletteInOrder() {
        MemoryPreferencesStore store;
        ColorManager colors(store);
        QSignalSpy changed(&colors, &ColorManager::taskColorsChanged);
        QCOMPARE(colors.colorForTask(u"A"_s), ColorManager::color(0));
        QCOMPARE(colors.colorForTask(u"B"_s), ColorManager::color(1));
        QCOMPARE(colors.colorForTask(u"A"_s), ColorManager::color(0));
        QCOMPARE(colors.colorForTask(u"a"_s), ColorManager::color(2));
        QCOMPARE(changed.size(), 3);
        QCOMPARE(store.writeCount, 3);
        QCOMPARE(stored(store),
                 (QHash<QString, QString>{
                     {u"A"_s, u"blue"_s}, {u"B"_s, u"green"_s}, {u"a"_s, u"orange"_s}}));
    }

    void wrapsAroundOnceAllAreTaken_data() {
        QTest::addColumn<int>("extraNames");
        QTest::addColumn<int>("lastPosition");
        QTest::newRow("26th name gets blue") << 1 << 0;
        QTest::newRow("27th name gets green") << 2 << 1;
        QTest::newRow("51st name gets blue again") << 26 << 0;
    }
    void wrapsAroundOnceAllAreTaken() {
        QFETCH(int, extraNames);
        QFETCH(int, lastPosition);
        MemoryPreferencesStore store;
        ColorManager colors(store);
        for (int i = 0; i < ColorManager::paletteSize; ++i)
            QCOMPARE(colors.colorForTask(u"task %1"_s.arg(i)), ColorManager::color(i));
        QColor last;
        for (int i = 0; i < extraNames; ++i)
            last = colors.colorForTask(u"extra %1"_s.arg(i));
        QCOMPARE(last, ColorManager::color(lastPosition));
    }

    void unknownColourNameIsReplaced() {
        MemoryPreferencesStore store;
        store.values[key] = R"({"A":"blue","B":"magenta","C":"orange"})";
        ColorManager colors(store);
        QCOMPARE(colors.colorForTask(u"A"_s), ColorManager::color(0));
        QCOMPARE(store.writeCount, 0);
        QCOMPARE(colors.colorForTask(u"B"_s), ColorManager::color(1));
        QCOMPARE(stored(store).value(u"B"_s), u"green"_s);
    }

    void fullPaletteReplacementCountsTheStaleEntry() {
        // 25 valid names plus one stale: n = 26 entries, so the stale name gets position 1.
        MemoryPreferencesStore store;
        QHash<QString, QString> map;
        for (int i = 0; i < ColorManager::paletteSize; ++i)
            map.insert(u"task %1"_s.arg(i), ColorManager::colorName(i));
        map.insert(u"stale"_s, u"custom99"_s);
        store.values[key] = encodeStringMap(map);
        ColorManager colors(store);
        QCOMPARE(colors.colorForTask(u"stale"_s), ColorManager::color(1));
    }

    void unusableStoredValueLoadsNothingAndIsKeptAside_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("one value a number") << QByteArray(R"({"A":"purple","B":3})");
        QTest::newRow("array") << QByteArray(R"(["blue"])");
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

    void restartKeepsColoursWithoutWriting() {
        QTemporaryDir dir;
        const QStringList names{u"Write"_s, u"Read"_s, u"Caf\u00e9 \"quoted\""_s};
        const auto colours = [&names](ColorManager&& colors) {
            QList<QColor> list;
            for (const QString& name : names)
                list << colors.colorForTask(name);
            return list;
        };
        FilePreferencesStore first(dir.path());
        const QList<QColor> before = colours(ColorManager(first));
        // Re-spaced by hand, as a user might: any write would show as changed bytes.
        QFile file(first.pathFor(key));
        QVERIFY(file.open(QIODevice::ReadWrite));
        const QByteArray respaced = file.readAll().replace(",", ",\n  ").replace("{", "{\n  ");
        QVERIFY(file.resize(0) && file.write(respaced) == respaced.size());
        file.close();

        FilePreferencesStore second(dir.path());
        QCOMPARE(colours(ColorManager(second)), before);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), respaced);
    }
};

QTEST_GUILESS_MAIN(tst_ColorManager)
#include "tst_ColorManager.moc"
