#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QPalette>
#include <functional>

class QWidget;

// The program's type scale, colours and icons, derived from the desktop's font and palette so
// they follow light and dark themes.
namespace Style {

enum class TextRole { Headline, Body, Callout, Caption, Title2 };
QFont font(TextRole role);

enum class ColorRole { Primary, Secondary, Accent, ControlBackground, TextBackground };
QColor color(ColorRole role, const QPalette& palette);

// `palette` with `role` set to the colour role in each colour group, computed from that group's own
// colours. Computed once from the current group, a colour read before the window is first
// activated would carry the inactive group's colours into the active one.
QPalette withColor(QPalette palette, QPalette::ColorRole role, ColorRole color);

// The WCAG contrast ratio of two opaque colours, from 1 (the same) to 21 (black on white).
qreal contrastRatio(const QColor& a, const QColor& b);

// The accent colour for text and symbols on `background`. A dark theme's accent is often a deep
// selection colour that barely shows on a dark surface; it is then moved towards the text colour
// until it reads.
QColor accentOn(const QColor& background, const QPalette& palette);

// Fixed tints of the timer panel's buttons and display.
QColor green();
QColor red();
QColor blue();

// Icons drawn by this program, in the given colour, crisp at any device pixel ratio.
enum class Icon {
    ChevronLeft,
    ChevronUp,
    ChevronDown,
    Play,
    Stop,
    CounterClockwise,
    CheckmarkCircle,
    CheckmarkCircleFill,
    ArrowClockwise,
    Clock,
    ClockArrowCirclepath,
    ClockQuestionmark,
    Ellipsis,
    Pencil,
    Trash,
};
// In a rectangle wider than tall the drawing is a square placed by `alignment` (left, right or
// centred).
QIcon icon(Icon which, const QColor& color, Qt::Alignment alignment = Qt::AlignHCenter);

// Points to pixels: the program's sizes are given in points of a 96-dpi desktop.
constexpr int standardMargin = 16;
// The padding around rows, headers and the chart when no size is given.
constexpr int defaultPadding = 12;

// Brief transitions for expanding, collapsing, deleting and saving. Tests switch them off so
// they can assert the final state at once.
bool animationsEnabled();
void setAnimationsEnabled(bool enabled);
constexpr int animationMilliseconds = 180;

// Shows or hides `body` by animating its height; `done` runs once the change has finished.
void revealHeight(QWidget* body, bool show, const std::function<void()>& done = {});
// Fades a freshly rebuilt widget in, so a deletion or an edit does not just flash.
void fadeIn(QWidget* widget);

} // namespace Style
