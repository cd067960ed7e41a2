#include "statusitem/DBusMenuExporter.h"

#include "statusitem/DBusTypes.h"

#include <QActionEvent>
#include <QActionGroup>
#include <QBuffer>
#include <QDBusAbstractAdaptor>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QIcon>
#include <QKeySequence>
#include <QMenu>
#include <QTimer>
#include <utility>

namespace {

// Key names as GTK spells them ("Control", "Delete"); one list per chord.
DBusMenuShortcut shortcutOf(const QKeySequence& sequence) {
    static const QHash<QString, QString> gtkNames = {
        {QStringLiteral("Del"), QStringLiteral("Delete")},
        {QStringLiteral("Ins"), QStringLiteral("Insert")},
        {QStringLiteral("Esc"), QStringLiteral("Escape")},
        {QStringLiteral("Space"), QStringLiteral("space")},
        {QStringLiteral("PgUp"), QStringLiteral("Page_Up")},
        {QStringLiteral("PgDown"), QStringLiteral("Page_Down")},
    };
    DBusMenuShortcut chords;
    for (int i = 0; i < sequence.count(); ++i) {
        const QKeyCombination combination = sequence[i];
        const Qt::KeyboardModifiers modifiers = combination.keyboardModifiers();
        QStringList keys;
        if (modifiers & Qt::ControlModifier)
            keys << QStringLiteral("Control");
        if (modifiers & Qt::AltModifier)
            keys << QStringLiteral("Alt");
        if (modifiers & Qt::ShiftModifier)
            keys << QStringLiteral("Shift");
        if (modifiers & Qt::MetaModifier)
            keys << QStringLiteral("Super");
        QString key = QKeySequence(combination.key()).toString(QKeySequence::PortableText);
        if (key.size() == 1)
            key = key.toLower();
        keys << gtkNames.value(key, key);
        chords << keys;
    }
    return chords;
}

QVariantMap filtered(const QVariantMap& properties, const QStringList& names) {
    if (names.isEmpty())
        return properties;
    QVariantMap result;
    for (const QString& name : names) {
        const auto it = properties.constFind(name);
        if (it != properties.cend())
            result.insert(name, it.value());
    }
    return result;
}

} // namespace

// The D-Bus face of the exporter; every call is handed to it.
class DBusMenuAdaptor final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DBusMenuAdaptor)
    Q_CLASSINFO("D-Bus Interface", "com.canonical.dbusmenu")
    Q_PROPERTY(uint Version READ version)
    Q_PROPERTY(QString TextDirection READ textDirection)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(QStringList IconThemePath READ iconThemePath)
public:
    explicit DBusMenuAdaptor(DBusMenuExporter* exporter)
        : QDBusAbstractAdaptor(exporter)
        , m_exporter(exporter) {}

    uint version() const { return 3; }
    QString textDirection() const {
        return QGuiApplication::isRightToLeft() ? QStringLiteral("rtl") : QStringLiteral("ltr");
    }
    QString status() const { return QStringLiteral("normal"); }
    QStringList iconThemePath() const { return {}; }

public slots:
    uint GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                   DBusMenuLayoutItem& layout) {
        return m_exporter->layout(parentId, recursionDepth, propertyNames, layout);
    }

    DBusMenuItemList GetGroupProperties(const QList<int>& ids, const QStringList& propertyNames) {
        DBusMenuItemList items;
        for (int id : ids) {
            if (m_exporter->hasItem(id))
                items.append({id, m_exporter->itemProperties(id, propertyNames)});
        }
        return items;
    }

    QDBusVariant GetProperty(int id, const QString& name) {
        if (!m_exporter->hasItem(id)) {
            m_exporter->failCall(QStringLiteral("No menu item with id %1").arg(id));
            return {};
        }
        const QVariantMap properties = m_exporter->itemProperties(id, {name});
        const auto it = properties.constFind(name);
        if (it == properties.cend()) {
            m_exporter->failCall(
                QStringLiteral("Menu item %1 has no property %2").arg(id).arg(name));
            return {};
        }
        return QDBusVariant(it.value());
    }

    void Event(int id, const QString& eventId, const QDBusVariant& data, uint timestamp) {
        Q_UNUSED(data)
        Q_UNUSED(timestamp)
        m_exporter->handleEvent(id, eventId);
    }

    QList<int> EventGroup(const DBusMenuEventList& events) {
        QList<int> idErrors;
        for (const DBusMenuEvent& event : events) {
            if (m_exporter->hasItem(event.id))
                m_exporter->handleEvent(event.id, event.eventId);
            else
                idErrors.append(event.id);
        }
        return idErrors;
    }

    bool AboutToShow(int id) {
        if (!m_exporter->hasItem(id)) {
            m_exporter->failCall(QStringLiteral("No menu item with id %1").arg(id));
            return false;
        }
        return m_exporter->aboutToShow(id);
    }

    QList<int> AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors) {
        QList<int> updatesNeeded;
        for (int id : ids) {
            if (!m_exporter->hasItem(id))
                idErrors.append(id);
            else if (m_exporter->aboutToShow(id))
                updatesNeeded.append(id);
        }
        return updatesNeeded;
    }

signals:
    void ItemsPropertiesUpdated(const DBusMenuItemList& updatedProps,
                                const DBusMenuItemKeysList& removedProps);
    void LayoutUpdated(uint revision, int parent);

private:
    DBusMenuExporter* m_exporter;
};

DBusMenuExporter::DBusMenuExporter(QDBusConnection bus, QString objectPath, QObject* parent)
    : QObject(parent)
    , m_bus(std::move(bus))
    , m_objectPath(std::move(objectPath))
    , m_flushTimer(new QTimer(this)) {
    m_flushTimer->setSingleShot(true);
    m_flushTimer->setInterval(0);
    connect(m_flushTimer, &QTimer::timeout, this, [this] { flush(); });
    DBusTypes::registerAll();
    m_adaptor = new DBusMenuAdaptor(this);
    if (m_bus.isConnected())
        m_registered = m_bus.registerObject(m_objectPath, this, QDBusConnection::ExportAdaptors);
}

DBusMenuExporter::~DBusMenuExporter() {
    if (m_registered)
        m_bus.unregisterObject(m_objectPath);
}

void DBusMenuExporter::setMenu(QMenu* menu) {
    if (m_menu == menu)
        return;
    if (m_menu)
        m_menu->removeEventFilter(this);
    m_menu = menu;
    watchMenu(menu);
    m_known.clear();
    m_dirty.clear();
    m_layoutDirty = true;
    scheduleFlush();
}

QMenu* DBusMenuExporter::menu() const {
    return m_menu;
}

QString DBusMenuExporter::labelFromText(const QString& text) {
    // Whatever follows a tab is Qt's own shortcut column; the panel draws the shortcut itself.
    const QString visible = text.section(QLatin1Char('\t'), 0, 0);
    QString label;
    label.reserve(visible.size());
    for (qsizetype i = 0; i < visible.size(); ++i) {
        const QChar c = visible.at(i);
        if (c == QLatin1Char('&')) {
            if (i + 1 < visible.size() && visible.at(i + 1) == QLatin1Char('&')) {
                label += c;
                ++i;
            } else if (i + 1 < visible.size()) {
                label += QLatin1Char('_');
            }
        } else if (c == QLatin1Char('_')) {
            label += QStringLiteral("__");
        } else {
            label += c;
        }
    }
    return label;
}

bool DBusMenuExporter::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::ActionAdded:
    case QEvent::ActionRemoved:
        m_layoutDirty = true;
        scheduleFlush();
        break;
    case QEvent::ActionChanged: {
        auto* action = static_cast<QActionEvent*>(event)->action();
        const auto it = m_ids.constFind(action);
        if (it != m_ids.cend()) {
            m_dirty.insert(it.value());
            // A submenu attached or detached changes the shape, not just the item.
            if (action->menu() &&
                !m_known.value(it.value()).contains(QStringLiteral("children-display")))
                m_layoutDirty = true;
            scheduleFlush();
        }
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

uint DBusMenuExporter::layout(int parentId, int depth, const QStringList& names,
                              DBusMenuLayoutItem& out) {
    if (!hasItem(parentId)) {
        failCall(QStringLiteral("No menu item with id %1").arg(parentId));
        return m_revision;
    }
    out = layoutOf(parentId, menuOf(parentId), depth, names);
    return m_revision;
}

QVariantMap DBusMenuExporter::itemProperties(int id, const QStringList& names) {
    const QVariantMap all = propertiesOf(id);
    // Only a baseline: a change still pending is announced to every client, not just this one.
    if (!m_known.contains(id))
        m_known.insert(id, all);
    return filtered(all, names);
}

bool DBusMenuExporter::hasItem(int id) const {
    return id == 0 ? !m_menu.isNull() : actionOf(id) != nullptr;
}

void DBusMenuExporter::handleEvent(int id, const QString& eventId) {
    if (eventId == QLatin1String("clicked")) {
        QAction* action = actionOf(id);
        if (!action || !action->isEnabled() || action->isSeparator() || action->menu())
            return;
        // After the reply: a slot that opens a dialog or quits must not hold the panel's call.
        QMetaObject::invokeMethod(action, &QAction::trigger, Qt::QueuedConnection);
    } else if (eventId == QLatin1String("hovered")) {
        if (QAction* action = actionOf(id))
            action->hover();
    } else if (eventId == QLatin1String("opened")) {
        // Some panels announce the menu only this way, without AboutToShow.
        aboutToShow(id);
    } else if (eventId == QLatin1String("closed")) {
        if (QMenu* menu = menuOf(id))
            emit menu->aboutToHide();
    }
}

bool DBusMenuExporter::aboutToShow(int id) {
    QMenu* menu = menuOf(id);
    if (!menu)
        return false;
    if (id == 0)
        emit refreshRequested();
    // Menus filled lazily from aboutToShow work as they do in a QMenu::popup.
    emit menu->aboutToShow();
    return flush();
}

void DBusMenuExporter::failCall(const QString& message) {
    if (calledFromDBus())
        sendErrorReply(QDBusError::InvalidArgs, message);
}

int DBusMenuExporter::idOf(QAction* action) {
    const auto it = m_ids.constFind(action);
    if (it != m_ids.cend())
        return it.value();
    const int id = m_nextId++;
    m_ids.insert(action, id);
    m_actions.insert(id, action);
    connect(action, &QObject::destroyed, this,
            [this, action, id] { onActionDestroyed(action, id); });
    return id;
}

QAction* DBusMenuExporter::actionOf(int id) const {
    return m_actions.value(id, nullptr);
}

QMenu* DBusMenuExporter::menuOf(int id) const {
    if (id == 0)
        return m_menu;
    QAction* action = actionOf(id);
    return action ? action->menu() : nullptr;
}

void DBusMenuExporter::watchMenu(QMenu* menu) {
    if (menu)
        menu->installEventFilter(this); // installing twice keeps one filter
}

QVariantMap DBusMenuExporter::propertiesOf(int id) const {
    if (id == 0)
        return {{QStringLiteral("children-display"), QStringLiteral("submenu")}};
    QAction* action = actionOf(id);
    if (!action)
        return {};
    QVariantMap p;
    p.insert(QStringLiteral("visible"), action->isVisible());
    if (action->isSeparator()) {
        p.insert(QStringLiteral("type"), QStringLiteral("separator"));
        return p;
    }
    p.insert(QStringLiteral("label"), labelFromText(action->text()));
    p.insert(QStringLiteral("enabled"), action->isEnabled());
    if (action->isCheckable()) {
        const bool radio = action->actionGroup() && action->actionGroup()->isExclusive();
        p.insert(QStringLiteral("toggle-type"),
                 radio ? QStringLiteral("radio") : QStringLiteral("checkmark"));
        p.insert(QStringLiteral("toggle-state"), action->isChecked() ? 1 : 0);
    }
    if (!action->shortcut().isEmpty())
        p.insert(QStringLiteral("shortcut"), QVariant::fromValue(shortcutOf(action->shortcut())));
    if (action->menu())
        p.insert(QStringLiteral("children-display"), QStringLiteral("submenu"));
    const QIcon icon = action->icon();
    if (!icon.isNull() && action->isIconVisibleInMenu()) {
        if (!icon.name().isEmpty()) {
            p.insert(QStringLiteral("icon-name"), icon.name());
        } else {
            QByteArray png;
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            icon.pixmap(16).save(&buffer, "PNG");
            p.insert(QStringLiteral("icon-data"), png);
        }
    }
    return p;
}

DBusMenuLayoutItem DBusMenuExporter::layoutOf(int id, QMenu* menu, int depth,
                                              const QStringList& names) {
    DBusMenuLayoutItem item;
    item.id = id;
    item.properties = itemProperties(id, names);
    if (!menu || depth == 0)
        return item;
    watchMenu(menu);
    const QList<QAction*> actions = menu->actions();
    for (QAction* action : actions) {
        const int childId = idOf(action);
        item.children.append(layoutOf(childId, action->menu(), depth - 1, names));
    }
    return item;
}

void DBusMenuExporter::scheduleFlush() {
    if (!m_flushTimer->isActive())
        m_flushTimer->start();
}

// Sends what changed since the panel last looked; true when anything did.
bool DBusMenuExporter::flush() {
    m_flushTimer->stop();
    bool changed = false;
    if (m_layoutDirty) {
        m_layoutDirty = false;
        ++m_revision;
        changed = true;
        emit m_adaptor->LayoutUpdated(m_revision, 0);
    }
    DBusMenuItemList updated;
    DBusMenuItemKeysList removed;
    for (int id : std::as_const(m_dirty)) {
        if (!hasItem(id))
            continue;
        const QVariantMap before = m_known.value(id);
        const QVariantMap now = propertiesOf(id);
        QVariantMap changes;
        for (auto it = now.cbegin(); it != now.cend(); ++it) {
            if (before.value(it.key()) != it.value())
                changes.insert(it.key(), it.value());
        }
        QStringList gone;
        for (auto it = before.cbegin(); it != before.cend(); ++it) {
            if (!now.contains(it.key()))
                gone << it.key();
        }
        m_known.insert(id, now);
        if (!changes.isEmpty())
            updated.append({id, changes});
        if (!gone.isEmpty())
            removed.append({id, gone});
    }
    m_dirty.clear();
    if (!updated.isEmpty() || !removed.isEmpty()) {
        changed = true;
        emit m_adaptor->ItemsPropertiesUpdated(updated, removed);
    }
    return changed;
}

void DBusMenuExporter::onActionDestroyed(QAction* action, int id) {
    // Only the address is used as a key: the action is already gone.
    m_ids.remove(action);
    m_actions.remove(id);
    m_known.remove(id);
    m_dirty.remove(id);
}

#include "DBusMenuExporter.moc"
