#pragma once

#include "services/StatusTitle.h"

#include <QPoint>
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

    // The item's rectangle in global coordinates, to hang the popover from; null when unknown.
    virtual QRect anchorRect() const = 0;

    // The context menu the shell owns. Backends either pop it up on request (popUpContextMenu)
    // or export it to the panel, which then draws it itself.
    virtual void setContextMenu(QMenu* menu) = 0;
    virtual void popUpContextMenu(const QPoint& globalPos) = 0;

    // True where the panel opens the menu on a left click and never reports one (GNOME's
    // AppIndicator host): the menu then offers "Open Timer" so the panel stays reachable.
    virtual bool opensMenuOnLeftClick() const { return false; }

signals:
    void leftClicked(const QPoint& globalPos);
    void rightClicked(const QPoint& globalPos);
    // The panel is about to show the exported menu: refresh its states (the check mark).
    void contextMenuAboutToShow();
};
