#pragma once

#include "statusitem/StatusIcon.h"
#include "statusitem/StatusItem.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QString>
#include <memory>
#include <optional>

class DBusMenuExporter;
class QDBusServiceWatcher;
class QTemporaryDir;
class QTimer;
class StatusNotifierItemAdaptor;

// The status item as a StatusNotifierItem of our own over D-Bus. Besides the icon (the minutes, as
// in the tray) it publishes the whole title as XAyatanaLabel, which GNOME's AppIndicator host and
// MATE show as text in the panel, and it exports the context menu over com.canonical.dbusmenu.
// Registers with the panel's StatusNotifierWatcher, and again whenever the watcher comes back.
// (The calls its adaptor answers are in the item's own D-Bus context.)
class StatusNotifierItem final : public StatusItem, protected QDBusContext {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StatusNotifierItem)
public:
    // A bus that is not connected leaves the item silent: titles are kept, nothing is published.
    explicit StatusNotifierItem(QDBusConnection bus, QObject* parent = nullptr);
    ~StatusNotifierItem() override;

    // A StatusNotifierWatcher owns its name on `bus` and does not say that no panel hosts items.
    static bool isWatcherPresent(const QDBusConnection& bus);

    QString title() const override { return m_title; }
    void setTitle(const QString& title) override;

    // Where the panel last said the item is (a click or ContextMenu), as a 1x1 rectangle; before
    // it said so, where a Wayland panel usually keeps it, else null.
    QRect anchorRect() const override;
    void setContextMenu(QMenu* menu) override;
    bool opensMenuOnLeftClick() const override { return m_host.opensMenuOnLeftClick; }

    // "org.kde.StatusNotifierItem-<pid>-<n>"; empty without a bus.
    QString serviceName() const { return m_serviceName; }
    // Kept as wide as the title so panels that size the label by it do not jitter every second.
    QString labelGuide() const;

protected:
    void onRunningChanged() override;

private:
    friend class StatusNotifierItemAdaptor;

    // What is known of the panel from the process that owns the watcher.
    struct HostTraits {
        bool opensMenuOnLeftClick = false; // and never sends Activate
        bool takesIconsByNameOnly = false; // ignores IconPixmap
        // Asks for XAyatanaSecondaryActivate, which has no position, and when that is unknown
        // sends SecondaryActivate with the click's place instead.
        bool placesMiddleClicksWithoutAyatana = false;
        // Sends the click's place within the icon, not on the screen.
        bool placesClicksWithinIcon = false;
        // Shows its items at the top right of the screen unless set up otherwise.
        bool keepsItemsTopRight = false;
        // Told of the item by its object path, not by a name of its own: for an item known by
        // name it also watches the name, and when that watch starts after its first read of the
        // item's properties it throws them away and drops the item (GNOME's extension).
        bool registersByPath = false;
    };
    static HostTraits hostTraits(const QDBusConnection& bus);

    StatusIcon::Face face() const;

    void registerWithWatcher();
    void writeIconFiles();
    void onWatcherRegistered();
    QPoint takeClick(const QPoint& device);
    void onActivated(const QPoint& device);
    void onContextMenuRequested(const QPoint& device);
    void scheduleChangeSignals();
    void emitChangeSignals();

    QDBusConnection m_bus;
    QString m_serviceName;
    bool m_objectRegistered = false;
    QString m_title;
    std::optional<QPoint> m_activatePoint;
    HostTraits m_host;
    // Hosts that take icons only by name get the drawn minutes as files in a private folder.
    std::unique_ptr<QTemporaryDir> m_iconFolder;
    QString m_iconName;
    int m_iconSerial = 0;

    // What the panel was last told, so each change signal goes out once and only when due.
    QString m_announcedTitle;
    QString m_announcedToolTip;
    std::optional<StatusIcon::Face> m_announcedFace;

    StatusNotifierItemAdaptor* m_adaptor = nullptr;
    DBusMenuExporter* m_menuExporter = nullptr;
    QDBusServiceWatcher* m_watcherWatcher = nullptr;
    QTimer* m_changeTimer = nullptr;
};
