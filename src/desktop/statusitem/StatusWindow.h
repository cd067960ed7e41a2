#pragma once

#include "statusitem/StatusItem.h"

#include <memory>

class QPushButton;
class QWidget;

// The status item for sessions without any tray: a small frameless window in the top-right
// corner whose button shows the title and takes left and right clicks.
class StatusWindow final : public StatusItem {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StatusWindow)
public:
    explicit StatusWindow(QObject* parent = nullptr);
    ~StatusWindow() override;

    QString title() const override;
    void setTitle(const QString& title) override;

    QRect anchorRect() const override;

    QWidget* window() const { return m_window.get(); }
    QPushButton* button() const { return m_button; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void placeInCorner();

    std::unique_ptr<QWidget> m_window;
    QPushButton* m_button = nullptr; // owned by the window
    QString m_title;
};
