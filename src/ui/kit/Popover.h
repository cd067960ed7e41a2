#pragma once

#include <QElapsedTimer>
#include <QPoint>
#include <QRect>
#include <QWidget>

// The transient panel hung below the status item: a frameless tool window (not a Qt::Popup, which
// a dialog opened from it would close and which Wayland refuses without a parent). It closes when
// it loses activation, unless one of its own sheets or confirmations is open.
class Popover final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Popover)
public:
    explicit Popover(QWidget* parent = nullptr);

    // Takes ownership; the content fills the whole window.
    void setContent(QWidget* content);
    QWidget* content() const { return m_content; }

    void setContentSize(const QSize& size);

    bool isShown() const { return isVisible(); }
    // Opens below the anchor when it is known, else at the point; closes when already shown.
    void toggle(const QRect& anchor, const QPoint& point);
    void showAt(const QRect& anchor, const QPoint& point);

    // Where a window of the given size goes: below the anchor (above it for a panel at the bottom
    // of the screen), or at the point when there is no anchor; always inside the available area.
    static QPoint placement(const QSize& size, const QRect& anchor, const QPoint& point,
                            const QRect& available);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void place();

    QWidget* m_content = nullptr;
    QRect m_anchor;
    QPoint m_point;
    QElapsedTimer m_closedByFocusLoss;
};
