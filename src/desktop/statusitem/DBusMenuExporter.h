#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QVariantMap>

class DBusMenuAdaptor;
class QAction;
class QMenu;
class QTimer;
struct DBusMenuLayoutItem;

// Publishes a QMenu over com.canonical.dbusmenu so that panels which draw menus themselves (GNOME,
// KDE, XFCE) can show it and trigger its actions. Follows the menu as it changes: added or removed
// actions raise LayoutUpdated, changed ones ItemsPropertiesUpdated, once per event-loop turn.
class DBusMenuExporter final : public QObject, public QDBusContext {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DBusMenuExporter)
public:
    // Registers the object at `objectPath` on `bus`; a bus that is not connected exports nothing.
    DBusMenuExporter(QDBusConnection bus, QString objectPath, QObject* parent = nullptr);
    ~DBusMenuExporter() override;

    void setMenu(QMenu* menu);
    QMenu* menu() const;
    QString objectPath() const { return m_objectPath; }

    // The dbusmenu label of an action's text: '&' mnemonics become '_', literal '_' doubled.
    static QString labelFromText(const QString& text);

signals:
    // The panel is about to open the top-level menu: bring check marks and labels up to date now.
    void refreshRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class DBusMenuAdaptor;

    // What the adaptor answers; ids are 0 for the menu itself, then one per action.
    uint layout(int parentId, int depth, const QStringList& names, DBusMenuLayoutItem& out);
    QVariantMap itemProperties(int id, const QStringList& names);
    bool hasItem(int id) const;
    void handleEvent(int id, const QString& eventId);
    bool aboutToShow(int id);
    void failCall(const QString& message);

    int idOf(QAction* action);
    QAction* actionOf(int id) const;
    QMenu* menuOf(int id) const;
    void watchMenu(QMenu* menu);
    QVariantMap propertiesOf(int id) const;
    DBusMenuLayoutItem layoutOf(int id, QMenu* menu, int depth, const QStringList& names);

    void scheduleFlush();
    bool flush();
    void onActionDestroyed(QAction* action, int id);

    QDBusConnection m_bus;
    QString m_objectPath;
    DBusMenuAdaptor* m_adaptor = nullptr;
    bool m_registered = false;
    QPointer<QMenu> m_menu;
    uint m_revision = 1;
    bool m_layoutDirty = false;
    int m_nextId = 1;
    QHash<QAction*, int> m_ids;
    QHash<int, QAction*> m_actions;
    // The properties last announced of each item, to send only what changed.
    QHash<int, QVariantMap> m_known;
    QSet<int> m_dirty;
    QTimer* m_flushTimer = nullptr;
};
