#pragma once

#include "kit/Style.h"
#include "time/Instant.h"

#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <functional>
#include <optional>

class QAbstractButton;
class QAction;
class QMenu;
class QToolButton;

// Texts shared by the history screens; durations are DurationText's.
namespace HistoryText {
// The locale's short time of day ("15:45", "3:45 PM").
QString shortTime(Instant instant);
} // namespace HistoryText

using ColorSource = std::function<QColor()>;

// A label in one of the program's text styles and colour roles.
QLabel* makeLabel(const QString& text, Style::TextRole role, Style::ColorRole color,
                  QWidget* parent);

// A button's icon beside its title, set a little further from the title than styles place it.
void setLabelIcon(QAbstractButton* button, Style::Icon icon, const QColor& color);

// Shows one of the program's icons, `side` pixels square, in the secondary colour.
void setSecondaryIcon(QLabel* label, Style::Icon icon, int side);

// Fills the widget's background with one of the program's colour roles.
void fillBackground(QWidget* widget, Style::ColorRole role);

// Makes Tab go through the controls of each of `parts` in turn, each part's own in the order they
// were built, which is their order on screen. A widget built later than its neighbours (a day
// opened, a list scrolled to) joins the end of its window's focus chain, where Tab reaches it last.
void chainTabOrder(const QList<QWidget*>& parts);

// The borderless "…" button that opens a row's actions menu, and that menu's two kinds of entry.
QToolButton* makeActionsButton(int side, int iconSide, QWidget* parent);
QAction* addEditAction(QMenu* menu, const QPalette& palette);
QAction* addDeleteAction(QMenu* menu, const QString& text);

// A filled circle whose colour is read at paint time, so a changed colour table shows at once.
// Its accessible name is the task it stands for: the colour alone tells a screen reader nothing.
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

// One line of text, elided at the end when it does not fit, and drawn as an isolated run (it shows
// task names); text() keeps the whole of it.
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

// The prominent button: filled with the accent colour whatever the style, and faded while
// disabled. It draws itself because styles paint buttons their own way, and several ignore the
// palette's button colour, or give the disabled state the enabled colours once a palette sets them.
class ProminentButton final : public QPushButton {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ProminentButton)
public:
    ProminentButton(const QString& text, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor fill() const;
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
// reachable with Tab and pressed with Space or Return. Assistive technologies see a button, with
// an expanded or collapsed state when it opens something; the Menu key or Shift+F10 asks for its
// actions menu.
class ClickableArea final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ClickableArea)
public:
    explicit ClickableArea(QWidget* parent);

    // Whether activating it opens and closes something, and whether that is open now.
    std::optional<bool> expanded() const { return m_expanded; }
    void setExpanded(std::optional<bool> expanded);

    void click();

signals:
    void clicked();
    void menuRequested();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_pressed = false;
    std::optional<bool> m_expanded;
};
