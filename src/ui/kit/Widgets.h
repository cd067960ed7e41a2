#pragma once

#include "kit/Style.h"
#include "time/Instant.h"

#include <QLabel>
#include <QWidget>
#include <functional>

class QAction;
class QMenu;
class QToolButton;

// Texts shared by the history screens.
namespace HistoryText {
// "25m", "1h 30m": day totals and legend durations; seconds are dropped, never rounded.
QString hoursMinutes(qint64 seconds);
// "0:45", "1:05", "1:02:05": merged totals; hours are neither padded nor wrapped.
QString clock(qint64 seconds);
// The locale's short time of day ("15:45", "3:45 PM").
QString shortTime(Instant instant);
} // namespace HistoryText

using ColorSource = std::function<QColor()>;

// A label in one of the program's text styles and colour roles.
QLabel* makeLabel(const QString& text, Style::TextRole role, Style::ColorRole color,
                  QWidget* parent);

// Shows one of the program's icons, `side` pixels square, in the secondary colour.
void setSecondaryIcon(QLabel* label, Style::Icon icon, int side);

// Fills the widget's background with one of the program's colour roles.
void fillBackground(QWidget* widget, Style::ColorRole role);

// The borderless "…" button that opens a row's actions menu, and that menu's two kinds of entry.
QToolButton* makeActionsButton(int side, int iconSide, QWidget* parent);
QAction* addEditAction(QMenu* menu, const QPalette& palette);
QAction* addDeleteAction(QMenu* menu, const QString& text);

// A filled circle whose colour is read at paint time, so a changed colour table shows at once.
class ColorDot final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ColorDot)
public:
    ColorDot(int diameter, ColorSource color, QWidget* parent);
    QColor color() const { return m_color(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ColorSource m_color;
};

// One line of text, elided at the end when it does not fit; text() keeps the whole of it.
class ElidedLabel final : public QLabel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ElidedLabel)
public:
    using QLabel::QLabel;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// Text on a rounded, filled background: the count badge and the duration pill.
class Capsule final : public QLabel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Capsule)
public:
    Capsule(const QString& text, ColorSource background, QMargins padding, int radius,
            QWidget* parent);
    QColor background() const { return m_background(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ColorSource m_background;
    int m_radius = 0;
};

// A thin horizontal line, optionally indented on the leading side.
class Divider final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Divider)
public:
    explicit Divider(int indent, QWidget* parent);
    int indent() const { return m_indent; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_indent = 0;
};

// A plain, borderless area that reports a click anywhere on it, like a button without a bezel;
// reachable with Tab and pressed with Space or Return.
class ClickableArea final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ClickableArea)
public:
    explicit ClickableArea(QWidget* parent);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_pressed = false;
};
