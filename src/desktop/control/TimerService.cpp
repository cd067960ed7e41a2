#include "control/TimerService.h"

#include "DesktopLog.h"
#include "control/ControlNames.h"
#include "control/TimerCommands.h"
#include "managers/TimerManager.h"
#include "time/Clock.h"

#include <QDBusMessage>
#include <cmath>
#include <optional>

namespace {
// How far the ticks may stray from the announced end before it is announced anew. A tick comes
// a few milliseconds late on a busy machine; a clock that is set or a machine that slept moves
// the end by far more.
constexpr double endTimeTolerance = 0.5;
} // namespace

TimerService::TimerService(TimerManager& timer, const Clock& clock, QObject* parent)
    : QObject(parent)
    , m_timer(timer)
    , m_clock(clock) {
    // A start changes the end, the state and often the length and name too; a reset changes
    // everything: each goes out as one signal.
    m_announceTimer.setSingleShot(true);
    m_announceTimer.setInterval(0);
    connect(&m_announceTimer, &QTimer::timeout, this, &TimerService::announceChanges);
    connect(&m_timer, &TimerManager::isRunningChanged, this, &TimerService::onRunningChanged);
    connect(&m_timer, &TimerManager::timeRemainingChanged, this, &TimerService::onRemainingChanged);
    for (auto changed : {&TimerManager::customTextChanged, &TimerManager::initialTimeChanged})
        connect(&m_timer, changed, this, &TimerService::scheduleAnnouncement);
    if (m_timer.isRunning())
        m_endTime = endTimeFromNow();
}

void TimerService::announceOn(const QDBusConnection& bus, const QString& path) {
    m_bus = bus;
    m_path = path;
    m_announced = properties();
}

qint64 TimerService::timeRemaining() const {
    return m_timer.timeRemaining();
}

qint64 TimerService::initialLength() const {
    return m_timer.initialTime();
}

QString TimerService::taskName() const {
    return m_timer.customText();
}

bool TimerService::running() const {
    return m_timer.isRunning();
}

QString TimerService::title() const {
    return m_timer.statusTitle();
}

QVariantMap TimerService::properties() const {
    return {{QStringLiteral("TimeRemaining"), timeRemaining()},
            {QStringLiteral("EndTime"), endTime()},
            {QStringLiteral("InitialLength"), initialLength()},
            {QStringLiteral("TaskName"), taskName()},
            {QStringLiteral("Running"), running()},
            {QStringLiteral("Title"), title()}};
}

void TimerService::Start(uint minutes, const QString& name) {
    const std::optional<qint64> length =
        minutes == 0 ? std::nullopt : std::optional<qint64>(minutes);
    const std::optional<QString> newName = name.isEmpty() ? std::nullopt : std::optional(name);
    if (!TimerCommands::start(m_timer, length, newName))
        refuse(ControlNames::errorRunning, tr("The countdown is already running."));
}

void TimerService::Stop() {
    TimerCommands::stop(m_timer);
}

void TimerService::Toggle() {
    TimerCommands::toggle(m_timer);
}

void TimerService::Reset() {
    TimerCommands::reset(m_timer);
}

void TimerService::Complete() {
    if (!TimerCommands::complete(m_timer))
        refuse(ControlNames::errorNotRunning,
               tr("The countdown is not running, so there is nothing to complete."));
}

void TimerService::ShowPanel() {
    emit panelRequested();
}

void TimerService::ShowHistory() {
    emit historyRequested();
}

void TimerService::refuse(const QString& errorName, const QString& message) {
    if (calledFromDBus())
        sendErrorReply(errorName, message);
}

double TimerService::endTimeFromNow() const {
    return m_clock.now().secondsSinceReference() + double(Instant::referenceUnixSeconds) +
           double(m_timer.timeRemaining());
}

void TimerService::onRunningChanged() {
    m_endTime = m_timer.isRunning() ? endTimeFromNow() : 0;
    scheduleAnnouncement();
}

// A tick that keeps to the announced end changes nothing a client cannot count itself.
void TimerService::onRemainingChanged() {
    if (m_timer.isRunning()) {
        const double end = endTimeFromNow();
        if (std::abs(end - m_endTime) < endTimeTolerance)
            return;
        m_endTime = end;
    }
    scheduleAnnouncement();
}

void TimerService::scheduleAnnouncement() {
    if (m_bus.isConnected() && !m_announceTimer.isActive())
        m_announceTimer.start();
}

void TimerService::announceChanges() {
    const QVariantMap now = properties();
    QVariantMap changed;
    for (auto it = now.cbegin(); it != now.cend(); ++it) {
        if (m_announced.value(it.key()) != it.value())
            changed.insert(it.key(), it.value());
    }
    m_announced = now;
    if (changed.isEmpty())
        return;
    QDBusMessage signal =
        QDBusMessage::createSignal(m_path, QStringLiteral("org.freedesktop.DBus.Properties"),
                                   QStringLiteral("PropertiesChanged"));
    signal << QString(ControlNames::timerInterface) << changed << QStringList();
    if (!m_bus.send(signal))
        qCDebug(lcControl, "PropertiesChanged not sent: %s",
                qPrintable(m_bus.lastError().message()));
}
