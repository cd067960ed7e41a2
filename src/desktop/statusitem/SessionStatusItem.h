#pragma once

#include "statusitem/StatusItem.h"
#include "statusitem/StatusItemFactory.h"

#include <QDBusConnection>
#include <chrono>
#include <functional>
#include <memory>

class QDBusServiceWatcher;
class QTimer;

// The status item as the session offers it right now. Panels start after us at a slow log-in,
// restart, or go away; this item moves the title, the running state, the menu and the clicks onto
// whichever backend fits and keeps the shell's view of one item that never changes.
//
// A StatusNotifierWatcher that appears takes the item over at once. One that goes away is given a
// moment to come back (a panel restarting) before the item falls back to the XEmbed tray or its
// own window. While there is no tray at all, the XEmbed tray is looked for now and then; Qt only
// tells its own icon when one appears.
class SessionStatusItem final : public StatusItem {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SessionStatusItem)
public:
    using Backend = StatusItemFactory::Backend;

    struct Session {
        QDBusConnection bus = QDBusConnection::sessionBus();
        // Whether an XEmbed tray (or anything Qt's icon docks into) is there now.
        std::function<bool()> trayAvailable;
        std::function<std::unique_ptr<StatusItem>(Backend)> create;
        std::chrono::milliseconds trayPoll{1000};
        std::chrono::milliseconds watcherGrace{1500};
    };

    SessionStatusItem(Session session, Backend initial, QObject* parent = nullptr);
    ~SessionStatusItem() override;

    Backend backend() const { return m_backend; }
    StatusItem* current() const { return m_current.get(); }

    QString title() const override { return m_title; }
    void setTitle(const QString& title) override;
    QRect anchorRect() const override;
    void setContextMenu(QMenu* menu) override;
    void popUpContextMenu(const QPoint& globalPos) override;
    bool opensMenuOnLeftClick() const override;

protected:
    void onRunningChanged() override;

private:
    void switchTo(Backend backend);
    void onWatcherRegistered();
    void onWatcherUnregistered();
    void onWatcherGone();
    void onTrayPoll();
    Backend fallback() const;

private slots:
    // A watcher may take its name before its panel says it hosts items.
    void onHostRegistered();

private:
    Session m_session;
    Backend m_backend;
    std::unique_ptr<StatusItem> m_current;
    QString m_title;
    QDBusServiceWatcher* m_watcherWatcher = nullptr;
    QTimer* m_watcherGraceTimer = nullptr;
    QTimer* m_trayPollTimer = nullptr;
};
