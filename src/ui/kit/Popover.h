#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QWidget>
#include <memory>

class QTimer;

// The transient panel hung below the status item: a frameless tool window (not a Qt::Popup, which
// a dialog opened from it would close and which Wayland refuses without a parent). It closes when
// it loses activation or, on X11, when a button is pressed outside every window of the program
// (where the click takes no focus, as on GNOME's empty desktop), unless one of its own sheets or
// confirmations is open. On GNOME's Wayland session, through XWayland, an invisible window under
// the panel takes that press instead. Sway, which centres it, is asked to move it to its place.
// Taskbars and pagers leave it out.
//
// Like other frameless popups it draws its own frame: a thin border, and where the desktop
// composites translucent windows, rounded corners and a soft shadow in a transparent margin
// around the content. The content keeps the size it is given; the window is that much larger.
class Popover final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Popover)
public:
    enum class Frame {
        Automatic, // shadowed where the desktop composites, else plain
        Shadowed,  // rounded border and shadow, in a transparent margin around the content
        Plain,     // a border just inside the window's edge; nothing translucent
    };
    Q_ENUM(Frame)

    explicit Popover(Frame frame = Frame::Automatic, QWidget* parent = nullptr);
    ~Popover() override;

    // Takes ownership; the content fills the area inside the frame.
    void setContent(QWidget* content);
    QWidget* content() const { return m_content; }

    void setContentSize(const QSize& size);
    QSize contentSize() const;
    // The transparent margin around the content that holds the shadow; none for a plain frame.
    int shadowMargin() const { return m_shadowMargin; }

    bool isShown() const { return isVisible(); }
    // Opens below the anchor when it is known, else at the point; closes when already shown.
    void toggle(const QRect& anchor, const QPoint& point);
    void showAt(const QRect& anchor, const QPoint& point);

    // Where a panel of the given size goes: below the anchor (above it for a panel at the bottom
    // of the screen), or at the point when there is no anchor; always inside the available area.
    static QPoint placement(const QSize& size, const QRect& anchor, const QPoint& point,
                            const QRect& available);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    class Border;
    class OutsideClicks;
    class Catcher;

    void place();
    void askSwayToPlace();
    QRect frameRect() const;
    const QImage& shadow();
    void closeFromOutside();

    QWidget* m_content = nullptr;
    Border* m_border = nullptr;
    int m_shadowMargin = 0;
    int m_radius = 0;
    QImage m_shadow; // drawn once per size: the panel repaints every second while it counts down
    QRect m_anchor;
    QPoint m_point;
    QPoint m_placed; // where place() put the window
    QElapsedTimer m_closedFromOutside;
    OutsideClicks* m_outsideClicks = nullptr; // a child; only on X11
    std::unique_ptr<QWidget> m_catcher;       // only on GNOME's Wayland session
    QTimer* m_swayPlacement = nullptr;        // only through sway's XWayland
    int m_swayTries = 0;
};
