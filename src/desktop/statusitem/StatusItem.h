#pragma once

#include "services/StatusTitle.h"

#include <QList>
#include <QPoint>
#include <QPointer>
#include <QRect>

class QMenu;

// The program's item in the panel: shows the countdown title and reports clicks.
// Backends: the system tray icon, our own StatusNotifierItem, and a small window when there is no
// tray at all. The shell chooses one at start-up.
class StatusItem : public StatusTitle {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StatusItem)
public:
    using StatusTitle::StatusTitle;
    ~StatusItem() override;

    // The item's rectangle in global coordinates, to hang the popover from; null when unknown.
    virtual QRect anchorRect() const = 0;

    // The context menu the shell owns. It is never handed to the toolkit's own tray or button,
    // which would open it by themselves: every right click goes through the shell's routing, and
    // the shell then asks for it to pop up here. Backends whose panel draws menus itself export it
    // as well.
    virtual void setContextMenu(QMenu* menu);
    virtual void popUpContextMenu(const QPoint& globalPos);
    QMenu* contextMenu() const;

    // True where the panel opens the menu on a left click and never reports one (GNOME's
    // AppIndicator host): the menu then offers "Open Timer" so the panel stays reachable.
    virtual bool opensMenuOnLeftClick() const { return false; }

    // Panels give the item's position in the screen's device pixels; Qt places windows in logical
    // ones. Each screen keeps its top-left corner in both and scales the rest by its own ratio.
    struct ScreenScale {
        QRect logical;
        qreal ratio = 1;
    };
    static QPoint logicalFromDevice(const QPoint& device, const QList<ScreenScale>& screens);
    // With the application's screens; the first one stands for a point that is on none.
    static QPoint logicalFromDevice(const QPoint& device);

    // Whether the countdown runs. The title alone cannot say: a stopped countdown keeps its time.
    void setRunning(bool running);
    bool isRunning() const { return m_running; }

signals:
    void leftClicked(const QPoint& globalPos);
    void rightClicked(const QPoint& globalPos);
    // The panel is about to show the exported menu: refresh its states (the check mark).
    void contextMenuAboutToShow();

protected:
    // After setRunning() changed the state; backends that draw it redraw.
    virtual void onRunningChanged() {}

private:
    QPointer<QMenu> m_contextMenu;
    bool m_running = false;
};
