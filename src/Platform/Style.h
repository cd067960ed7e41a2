#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>

class QPalette;
class QWidget;

// The program's type scale, colours and icons, derived from the desktop's font and palette so
// they follow light and dark themes.
namespace Style {

enum class TextRole { Headline, Body, Callout, Caption, Title2 };
QFont font(TextRole role);

enum class ColorRole { Primary, Secondary, Accent, ControlBackground, TextBackground };
QColor color(ColorRole role, const QPalette& palette);

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
QIcon icon(Icon which, const QColor& color);

// Points to pixels: the program's sizes are given in points of a 96-dpi desktop.
constexpr int standardMargin = 16;

} // namespace Style
