#pragma once

#include "statusitem/StatusIcon.h"
#include "statusitem/StatusItem.h"

#include <QPoint>
#include <QPointer>
#include <QSystemTrayIcon>
#include <optional>

class QWidget;

// The status item as a system tray icon (XEmbed on X11): the icon shows the remaining minutes and
// the tooltip the full title.
//
// While the countdown runs, the tray and the X server hear of it only when the drawn minutes
// change: the icon is drawn at the one size the tray gives it, its window is renamed with it, and
// the tooltip is filled in when the pointer asks for it (and kept current while it shows).
class TrayStatusItem final : public StatusItem {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TrayStatusItem)
public:
    explicit TrayStatusItem(QObject* parent = nullptr);

    QString title() const override { return m_title; }
    void setTitle(const QString& title) override;

    QRect anchorRect() const override;

    QSystemTrayIcon& trayIcon() { return m_tray; }
    // The name of the icon's window, as window lists and accessibility tools read it.
    QString iconWindowName() const { return m_iconWindowName; }

protected:
    void onRunningChanged() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onActivated(QSystemTrayIcon::ActivationReason reason);
    void showTitle();
    void nameIconWindow();
    void findIconWindow();
    void followShownToolTip();

    QSystemTrayIcon m_tray;
    QString m_title;
    std::optional<StatusIcon::Face> m_drawnFace;
    QString m_iconWindowName;
    // Qt's own window for the XEmbed icon; absent on other platforms.
    QPointer<QWidget> m_iconWindow;
    // The tooltip as last put on screen, and where; empty when none of ours is showing.
    QString m_shownToolTip;
    QPoint m_toolTipPos;
};
