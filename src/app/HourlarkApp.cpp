#include "HourlarkApp.h"

#include "AppDelegate.h"
#include "AppLog.h"
#include "SingleInstance.h"
#include "TerminationSignals.h"
#include "control/ControlService.h"
#include "i18n/Translations.h"
#include "managers/ColorManager.h"
#include "notifications/DBusNotifier.h"
#include "statusitem/StatusItem.h"
#include "statusitem/StatusItemFactory.h"
#include "storage/PreferencesStore.h"
#include "time/Clock.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDBusConnection>
#include <QLocale>
#include <chrono>
#include <cstring>

namespace {

// Enough for a panel that starts alongside us at log-in; one that comes later still gets the item,
// and a session without any tray shows the status window well within a second.
constexpr std::chrono::milliseconds trayWait(500);
constexpr int notifyTimeoutMs = 5000;
// What the bus itself gives a started service to take its name.
constexpr std::chrono::seconds activationWait(25);
const QString dbusActivatedOption = QStringLiteral("dbus-activated");

void describe(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        QStringLiteral("A countdown timer with a task history that lives in the system tray."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(QCommandLineOption(
        dbusActivatedOption,
        QCoreApplication::translate("HourlarkApp",
                                    "Started by the session bus for a call to Hourlark's bus "
                                    "name: when Hourlark already runs, leave it be.")));
}

} // namespace

HourlarkApp::HourlarkApp() = default;

HourlarkApp::~HourlarkApp() = default;

void HourlarkApp::setIdentity() {
    // The lower-case name gives the data folder ~/.local/share/hourlark.
    QCoreApplication::setApplicationName(QStringLiteral("hourlark"));
    QCoreApplication::setApplicationVersion(QStringLiteral(HOURLARK_VERSION));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Hourlark"));
    QGuiApplication::setDesktopFileName(QStringLiteral("hourlark"));
}

bool HourlarkApp::wantsCommandLineOnly(int argc, char** argv) {
    static constexpr const char* informational[] = {"-h",         "--help", "-?",       "-help",
                                                    "--help-all", "-v",     "--version"};
    for (int i = 1; i < argc; ++i) {
        for (const char* option : informational) {
            if (std::strcmp(argv[i], option) == 0)
                return true;
        }
    }
    return false;
}

HourlarkApp::Options HourlarkApp::parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    describe(parser);
    parser.process(arguments);
    if (!parser.positionalArguments().isEmpty()) {
        std::fputs(qPrintable(QStringLiteral("Unexpected argument: %1\n")
                                  .arg(parser.positionalArguments().constFirst())),
                   stderr);
        std::exit(1);
    }
    return {parser.isSet(dbusActivatedOption)};
}

int HourlarkApp::run() {
    QApplication::setQuitOnLastWindowClosed(false);
    // Before anything builds a text: every screen and menu reads its texts when it is made.
    Translations::install(*QCoreApplication::instance(), QLocale());
    const Options options = parseCommandLine(QCoreApplication::arguments());

    m_instance = std::make_unique<SingleInstance>();
    if (!m_instance->claim()) {
        // A call to the bus name started us while the first Hourlark is still starting up: it
        // takes the name in a moment, and the bus hands it the call. Its panel stays as it is.
        if (options.dbusActivated) {
            const bool handedOver =
                ControlService::waitForOwner(QDBusConnection::sessionBus(), activationWait);
            return handedOver ? 0 : 1;
        }
        if (m_instance->notifyFirst(notifyTimeoutMs))
            return 0;
        qCCritical(lcApp, "Hourlark is already running but does not answer.");
        return 1;
    }
    connect(m_instance.get(), &SingleInstance::openRequested, this, &HourlarkApp::onOpenRequested);

    m_signals = std::make_unique<TerminationSignals>();
    connect(m_signals.get(), &TerminationSignals::terminationRequested, this,
            &HourlarkApp::onTerminationRequested);

    auto statusItem =
        StatusItemFactory::createForSession(trayWait, [this] { return m_quitRequested; });
    if (m_quitRequested)
        return 0;

    m_store = std::make_unique<FilePreferencesStore>(FilePreferencesStore::defaultFolder());
    m_notifier = std::make_unique<DBusNotifier>();
    m_clock = std::make_unique<SystemClock>();
    m_delegate =
        std::make_unique<AppDelegate>(*m_store, *m_notifier, *m_clock, ColorManager::shared());
    connect(m_delegate.get(), &AppDelegate::quitRequested, qApp, &QCoreApplication::quit,
            Qt::QueuedConnection);
    m_delegate->applicationDidFinishLaunching(std::move(statusItem));
    publishControlService();
    if (m_openWhenReady)
        m_delegate->openPopover();

    const int status = QApplication::exec();
    m_delegate->applicationWillTerminate();
    return status;
}

void HourlarkApp::publishControlService() {
    m_control = std::make_unique<ControlService>(*m_delegate->timerManager(),
                                                 *m_delegate->historyManager(), *m_clock);
    connect(m_control.get(), &ControlService::panelRequested, m_delegate.get(),
            &AppDelegate::openPopover);
    connect(m_control.get(), &ControlService::historyRequested, m_delegate.get(),
            &AppDelegate::openHistory);
    // Without the bus the program still works; only the command line cannot reach it.
    m_control->publish(QDBusConnection::sessionBus());
}

void HourlarkApp::onOpenRequested() {
    if (m_delegate)
        m_delegate->openPopover();
    else
        m_openWhenReady = true;
}

void HourlarkApp::onTerminationRequested() {
    m_quitRequested = true;
    QCoreApplication::quit();
}
