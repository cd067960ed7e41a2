#pragma once

#include "statusitem/StatusIcon.h"
#include "statusitem/StatusItem.h"

#include <QPointer>
#include <QSystemTrayIcon>
#include <optional>

class QWidget;

// The status item as a system tray icon (XEmbed on X11): the icon shows the remaining minutes and
// the tooltip the full title.
class TrayStatusItem final : public StatusItem {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TrayStatusItem)
public:
    explicit TrayStatusItem(QObject* parent = nullptr);

    QString title() const override { return m_title; }
    void setTitle(const QString& title) override;

    QRect anchorRect() const override;

    QSystemTrayIcon& trayIcon() { return m_tray; }

protected:
    void onRunningChanged() override;

private:
    void onActivated(QSystemTrayIcon::ActivationReason reason);
    void updateIconIfChanged();
    void exposeTitle();

    QSystemTrayIcon m_tray;
    QString m_title;
    std::optional<StatusIcon::Face> m_drawnFace;
    // Qt's own window for the XEmbed icon; absent on other platforms.
    QPointer<QWidget> m_iconWindow;
};
