#include "kit/Widgets.h"

#include "kit/TaskNames.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDateTime>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QToolButton>

namespace HistoryText {

QString shortTime(Instant instant) {
    // The C locale's "short" time still carries seconds; the common short style has none.
    const QLocale locale;
    const QTime time = instant.toDateTime().time();
    if (locale.language() == QLocale::C) {
        return time.toString(QStringLiteral("HH:mm"));
    }
    return locale.toString(time, QLocale::ShortFormat);
}

} // namespace HistoryText

namespace {

// What a screen reader needs of the kit's own widgets: the clickable area is a button that may
// expand, the dot a picture named after its task.
class ClickableAreaAccessible final : public QAccessibleWidget {
public:
    explicit ClickableAreaAccessible(ClickableArea* area)
        : QAccessibleWidget(area, QAccessible::Button) {}

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        if (const std::optional<bool> expanded = area()->expanded()) {
            state.expandable = true;
            state.expanded = *expanded;
            state.collapsed = !*expanded;
        }
        return state;
    }

    QStringList actionNames() const override {
        return QAccessibleWidget::actionNames() << pressAction() << showMenuAction();
    }

    void doAction(const QString& action) override {
        if (action == pressAction())
            area()->click();
        else if (action == showMenuAction())
            emit area()->menuRequested();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    ClickableArea* area() const { return static_cast<ClickableArea*>(widget()); }
};

QAccessibleInterface* kitAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String("ClickableArea"))
        return new ClickableAreaAccessible(static_cast<ClickableArea*>(object));
    if (className == QLatin1String("ColorDot"))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Graphic);
    return nullptr;
}

void installAccessibleFactory() {
    static const bool installed = [] {
        QAccessible::installFactory(kitAccessible);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace

QLabel* makeLabel(const QString& text, Style::TextRole role, Style::ColorRole color,
                  QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setFont(Style::font(role));
    label->setPalette(Style::withColor(label->palette(), QPalette::WindowText, color));
    return label;
}

void setLabelIcon(QAbstractButton* button, Style::Icon icon, const QColor& color) {
    // The styles leave 4 pixels between icon and title, and a drawn icon fills its square: the
    // icon gets a wider box with the spare room on the side that faces the title.
    const int side = button->style()->pixelMetric(QStyle::PM_ButtonIconSize, nullptr, button);
    const bool leftToRight = button->layoutDirection() == Qt::LeftToRight;
    button->setIconSize(QSize(side + side / 2, side));
    button->setIcon(Style::icon(icon, color, leftToRight ? Qt::AlignLeft : Qt::AlignRight));
}

void setSecondaryIcon(QLabel* label, Style::Icon icon, int side) {
    label->setPixmap(Style::icon(icon, Style::color(Style::ColorRole::Secondary, label->palette()))
                         .pixmap(QSize(side, side), label->devicePixelRatioF()));
}

void fillBackground(QWidget* widget, Style::ColorRole role) {
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, Style::color(role, palette));
    widget->setPalette(palette);
}

void chainTabOrder(const QList<QWidget*>& parts) {
    QWidget* previous = nullptr;
    for (QWidget* part : parts) {
        // Depth first, each widget's children in the order they were made.
        QList<QWidget*> widgets = part->findChildren<QWidget*>();
        widgets.prepend(part);
        for (QWidget* widget : std::as_const(widgets)) {
            if (!(widget->focusPolicy() & Qt::TabFocus))
                continue;
            if (previous)
                QWidget::setTabOrder(previous, widget);
            previous = widget;
        }
    }
}

QToolButton* makeActionsButton(int side, int iconSide, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QStringLiteral("actionsButton"));
    button->setAutoRaise(true);
    button->setPopupMode(QToolButton::InstantPopup);
    button->setStyleSheet(QStringLiteral("QToolButton { border: none; padding: 0; }"
                                         "QToolButton::menu-indicator { image: none; width: 0; }"));
    button->setIcon(Style::icon(Style::Icon::Ellipsis,
                                Style::color(Style::ColorRole::Secondary, parent->palette())));
    button->setIconSize(QSize(iconSide, iconSide));
    button->setFixedSize(side, side);
    button->setCursor(Qt::PointingHandCursor);
    button->setToolTip(QCoreApplication::translate("Widgets", "Actions"));
    button->setAccessibleName(button->toolTip());
    button->setMenu(new QMenu(button));
    return button;
}

QAction* addEditAction(QMenu* menu, const QPalette& palette) {
    return menu->addAction(
        Style::icon(Style::Icon::Pencil, Style::color(Style::ColorRole::Secondary, palette)),
        QCoreApplication::translate("Widgets", "Edit"));
}

QAction* addDeleteAction(QMenu* menu, const QString& text) {
    return menu->addAction(Style::icon(Style::Icon::Trash, Style::red()), text);
}

ColorDot::ColorDot(int diameter, ColorSource color, QWidget* parent)
    : QWidget(parent)
    , m_color(std::move(color)) {
    installAccessibleFactory();
    setFixedSize(diameter, diameter);
}

void ColorDot::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(m_color());
    painter.drawEllipse(QRectF(rect()));
}

QSize ElidedLabel::minimumSizeHint() const {
    return QSize(fontMetrics().horizontalAdvance(QStringLiteral("W…")),
                 QLabel::sizeHint().height());
}

void ElidedLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.setFont(font());
    const QRect area = contentsRect();
    // Isolated: it shows task names, whose direction controls must not reach the ellipsis.
    painter.drawText(
        area, int(alignment()) | Qt::TextSingleLine,
        TaskNames::isolated(fontMetrics().elidedText(text(), Qt::ElideRight, area.width())));
}

Capsule::Capsule(const QString& text, ColorSource background, QMargins padding, int radius,
                 QWidget* parent)
    : QLabel(text, parent)
    , m_background(std::move(background))
    , m_radius(radius) {
    setTextFormat(Qt::PlainText);
    setContentsMargins(padding);
    setAlignment(Qt::AlignCenter);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void Capsule::paintEvent(QPaintEvent* event) {
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath shape;
        shape.addRoundedRect(QRectF(rect()), m_radius, m_radius);
        painter.fillPath(shape, m_background());
    }
    QLabel::paintEvent(event);
}

ProminentButton::ProminentButton(const QString& text, QWidget* parent)
    : QPushButton(text, parent) {
    setAccessibleName(text);
}

QColor ProminentButton::fill() const {
    // The active group's accent: a sheet keeps the popover open while it is inactive, and the
    // button should not turn grey then.
    const QColor accent = palette().color(QPalette::Active, QPalette::Highlight);
    if (isDown())
        return accent.darker(115);
    if (underMouse() && isEnabled())
        return accent.lighter(108);
    return accent;
}

void ProminentButton::paintEvent(QPaintEvent*) {
    constexpr qreal radius = 5;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled())
        painter.setOpacity(0.4);
    const QRectF shape = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill());
    painter.drawRoundedRect(shape, radius, radius);
    const QColor ink = palette().color(QPalette::Active, QPalette::HighlightedText);
    if (hasFocus()) {
        QColor ring = ink;
        ring.setAlphaF(0.7);
        painter.setPen(QPen(ring, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(shape.adjusted(2, 2, -2, -2), radius - 2, radius - 2);
    }
    painter.setPen(ink);
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextShowMnemonic, text());
}

Divider::Divider(int indent, QWidget* parent)
    : QWidget(parent)
    , m_indent(indent) {
    setFixedHeight(1);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void Divider::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QColor line = palette().color(QPalette::WindowText);
    line.setAlphaF(0.14);
    painter.fillRect(QRect(m_indent, 0, width() - m_indent, 1), line);
}

ClickableArea::ClickableArea(QWidget* parent)
    : QWidget(parent) {
    installAccessibleFactory();
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
}

void ClickableArea::setExpanded(std::optional<bool> expanded) {
    if (expanded == m_expanded)
        return;
    m_expanded = expanded;
    QAccessible::State changed;
    changed.expanded = true;
    changed.collapsed = true;
    QAccessibleStateChangeEvent event(this, changed);
    QAccessible::updateAccessibility(&event);
}

void ClickableArea::click() {
    emit clicked();
}

void ClickableArea::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_pressed = true;
        update();
    }
}

void ClickableArea::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_pressed) {
        return;
    }
    m_pressed = false;
    update();
    if (rect().contains(event->position().toPoint())) {
        emit clicked();
    }
}

void ClickableArea::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit clicked();
        return;
    case Qt::Key_Menu:
        emit menuRequested();
        return;
    case Qt::Key_F10:
        if (event->modifiers() == Qt::ShiftModifier) {
            emit menuRequested();
            return;
        }
        break;
    default:
        break;
    }
    QWidget::keyPressEvent(event);
}

void ClickableArea::contextMenuEvent(QContextMenuEvent* event) {
    // The Menu key arrives as a key press above as well; only the mouse is handled here.
    if (event->reason() == QContextMenuEvent::Mouse)
        emit menuRequested();
}

void ClickableArea::paintEvent(QPaintEvent*) {
    if (!m_pressed && !hasFocus()) {
        return;
    }
    QPainter painter(this);
    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
    if (!m_pressed) {
        return;
    }
    QColor shade = palette().color(QPalette::WindowText);
    shade.setAlphaF(0.08);
    painter.fillRect(rect(), shade);
}
