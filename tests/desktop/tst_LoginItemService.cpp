#include "FileSizeLimit.h"
#include "autostart/LoginItemService.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace Qt::StringLiterals;

class tst_LoginItemService final : public QObject {
    Q_OBJECT

private:
    QString userEntry() const { return m_config->path() + u"/autostart/hourlark.desktop"_s; }
    QString systemEntry() const { return m_system->path() + u"/autostart/hourlark.desktop"_s; }
    static void write(const QString& path, const QByteArray& contents) {
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }

    std::unique_ptr<QTemporaryDir> m_config;
    std::unique_ptr<QTemporaryDir> m_system;

private slots:
    void init() {
        m_config = std::make_unique<QTemporaryDir>();
        m_system = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config->path()));
        qputenv("XDG_CONFIG_DIRS", QFile::encodeName(m_system->path()));
    }

    void entryStartsThisProgram() {
        QVERIFY(LoginItemService().setEnabled(true));
        QFile file(userEntry());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray contents = file.readAll();
        QVERIFY(contents.startsWith("[Desktop Entry]\n"));
        QVERIFY(contents.contains("\nType=Application\n"));
        const QByteArray exec =
            "\nExec=\"" + QCoreApplication::applicationFilePath().toUtf8() + "\"\n";
        QVERIFY2(contents.contains(exec), contents.constData());
    }

    void readsTheEntrysState_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<bool>("enabled");
        const QByteArray head = "[Desktop Entry]\nType=Application\nExec=hourlark\n";
        QTest::newRow("plain entry") << head << true;
        QTest::newRow("Hidden=true") << head + "Hidden=true\n" << false;
        QTest::newRow("GNOME switch off") << head + "X-GNOME-Autostart-enabled=false\n" << false;
        QTest::newRow("GNOME switch off, spaced") << head + "X-GNOME-Autostart-enabled = false\n"
                                                  << false;
        QTest::newRow("Hidden in another group") << head + "[Desktop Action quit]\nHidden=true\n"
                                                 << true;
    }
    void readsTheEntrysState() {
        QFETCH(QByteArray, contents);
        write(userEntry(), contents);
        LoginItemService service;
        QTEST(service.isEnabled(), "enabled");
        // Whatever the entry said, switching works both ways; off leaves no entry of ours.
        QString error;
        QVERIFY(service.setEnabled(true, &error));
        QVERIFY(service.isEnabled());
        QVERIFY(service.setEnabled(false, &error));
        QVERIFY(!service.isEnabled());
        QVERIFY(!QFile::exists(userEntry()));
        QVERIFY(error.isEmpty());
    }

    void systemEntryIsHiddenNotIgnored() {
        write(systemEntry(), "[Desktop Entry]\nType=Application\nExec=hourlark\n");
        LoginItemService service;
        QVERIFY(service.isEnabled());
        QVERIFY(service.setEnabled(false));
        QVERIFY(!service.isEnabled());
        QVERIFY(QFile::exists(systemEntry()));
        QVERIFY(service.setEnabled(true));
        QVERIFY(service.isEnabled());
    }

    void failuresAreDescribed_data() {
        QTest::addColumn<QString>("blocker"); // what sits in the way
        QTest::addColumn<bool>("enable");
        QTest::newRow("autostart is a file, enabling") << u"autostart"_s << true;
        QTest::newRow("entry is a folder, enabling")
            << u"autostart/hourlark.desktop/keep"_s << true;
        QTest::newRow("entry is a folder, disabling")
            << u"autostart/hourlark.desktop/keep"_s << false;
    }
    void failuresAreDescribed() {
        QFETCH(QString, blocker);
        QFETCH(bool, enable);
        write(m_config->path() + u'/' + blocker, "x");
        QString error;
        QVERIFY(!LoginItemService().setEnabled(enable, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY2(!error.contains(u'\n'), qPrintable(error)); // printed as one line
    }

    // A full disk must not leave an empty entry behind that the menu then shows as checked.
    void fullDiskWritesNoEntry() {
        QString error;
        {
            FileSizeLimit full(16);
            QVERIFY(!LoginItemService().setEnabled(true, &error));
        }
        QVERIFY(!error.isEmpty());
        QVERIFY(!QFileInfo::exists(LoginItemService::entryPath()));
        QVERIFY(!LoginItemService().isEnabled());
    }

    void execArgumentsAreQuoted_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("written");
        QTest::newRow("space") << u"/opt/My Apps/hourlark"_s << u"\"/opt/My Apps/hourlark\""_s;
        QTest::newRow("quote and dollar") << u"/a\"b$c`d"_s << u"\"/a\\\\\"b\\\\$c\\\\`d\""_s;
        QTest::newRow("backslash") << u"/a\\b"_s << u"\"/a\\\\\\\\b\""_s;
        QTest::newRow("percent") << u"/100%/hourlark"_s << u"\"/100%%/hourlark\""_s;
    }
    void execArgumentsAreQuoted() {
        QFETCH(QString, path);
        QTEST(LoginItemService::quotedExecArgument(path), "written");
    }
};

QTEST_GUILESS_MAIN(tst_LoginItemService)
#include "tst_LoginItemService.moc"
