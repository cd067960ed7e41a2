#include "kit/Overlay.h"

#include "kit/Popover.h"
#include "kit/Style.h"
#include "kit/TaskNames.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr int panelRadius = 10;
constexpr int confirmationWidth = 280;
constexpr int titleWidth = confirmationWidth - 2 * Style::standardMargin;

// What an overlay covers: the window, or inside a popover only its content, so the frame and
// shadow around it are not dimmed.
QWidget* coveredBy(QWidget* inside) {
    QWidget* window = inside->window();
    if (auto* popover = qobject_cast<Popover*>(window); popover && popover->content())
        return popover->content();
    return window;
}

QLabel* wrappedCentredLabel(const QString& text, Style::TextRole role, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignCenter);
    label->setFont(Style::font(role));
    return label;
}

} // namespace

Overlay::Overlay(QWidget* inside, QWidget* panel)
    : QWidget(coveredBy(inside))
    , m_panel(panel)
    , m_returnFocus(inside->window()->focusWidget()) {
    setAttribute(Qt::WA_DeleteOnClose);
    setFocusPolicy(Qt::StrongFocus);
    panel->setParent(this);
    panel->setAutoFillBackground(false);
    parentWidget()->installEventFilter(this);
    setGeometry(parentWidget()->rect());
    ensurePolished(); // the panel is measured in the fonts and style it will be shown in
    placePanel();
    show();
    raise();
    // Whatever had the focus below must not keep receiving keys while the overlay is up.
    QWidget* first = panel->nextInFocusChain();
    while (panel->isAncestorOf(first) && !(first->focusPolicy() & Qt::TabFocus)) {
        first = first->nextInFocusChain();
    }
    if (panel->isAncestorOf(first)) {
        first->setFocus(Qt::PopupFocusReason);
    } else {
        setFocus(Qt::PopupFocusReason);
    }
    Style::fadeIn(this);
}

bool Overlay::isOpenIn(const QWidget* window) {
    if (!window) {
        return false;
    }
    const auto overlays = window->findChildren<Overlay*>();
    return std::any_of(overlays.begin(), overlays.end(),
                       [](const Overlay* overlay) { return !overlay->m_dismissed; });
}

void Overlay::dismiss() {
    if (m_dismissed) {
        return;
    }
    m_dismissed = true;
    parentWidget()->removeEventFilter(this);
    hide();
    // The keyboard goes on from where it was, not from wherever Qt passes the focus to.
    if (m_returnFocus && m_returnFocus->isVisible())
        m_returnFocus->setFocus(Qt::OtherFocusReason);
    emit dismissed();
    deleteLater();
}

// Tab and Shift+Tab go round the panel's controls: what lies under the overlay is out of reach
// while it is up, for the keyboard as for the mouse.
bool Overlay::focusNextPrevChild(bool next) {
    QList<QWidget*> stops;
    for (QWidget* widget = m_panel->nextInFocusChain(); widget != m_panel;
         widget = widget->nextInFocusChain()) {
        if (m_panel->isAncestorOf(widget) && (widget->focusPolicy() & Qt::TabFocus) &&
            widget->isVisibleTo(m_panel) && widget->isEnabled())
            stops.append(widget);
    }
    if (stops.isEmpty())
        return true;
    const qsizetype count = stops.size();
    const qsizetype at = stops.indexOf(window()->focusWidget());
    const qsizetype to = at < 0 ? (next ? 0 : count - 1) : (at + (next ? 1 : count - 1)) % count;
    stops.at(to)->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

bool Overlay::event(QEvent* event) {
    // The panel's content asked for another size: a font, a style or a text changed.
    if (event->type() == QEvent::LayoutRequest)
        placePanel();
    return QWidget::event(event);
}

bool Overlay::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        setGeometry(parentWidget()->rect());
        placePanel();
    }
    return QWidget::eventFilter(watched, event);
}

void Overlay::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), QColor(0, 0, 0, 90));
    QPainterPath panelShape;
    panelShape.addRoundedRect(QRectF(m_panel->geometry()), panelRadius, panelRadius);
    painter.fillPath(panelShape, palette().color(QPalette::Window));
    painter.setPen(QPen(Style::color(Style::ColorRole::Secondary, palette()), 0.5));
    painter.drawPath(panelShape);
}

void Overlay::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        dismiss();
        return;
    }
    QWidget::keyPressEvent(event);
}

void Overlay::mousePressEvent(QMouseEvent* event) {
    // The dimmed layer swallows clicks so nothing underneath reacts while a sheet is open.
    event->accept();
}

void Overlay::placePanel() {
    const int margin = Style::standardMargin / 2;
    const QSize available = size() - QSize(2 * margin, 2 * margin);
    QSize wanted = m_panel->sizeHint()
                       .expandedTo(m_panel->minimumSize())
                       .boundedTo(m_panel->maximumSize())
                       .boundedTo(available);
    // Wrapped text is as tall as the width it finally gets makes it.
    if (m_panel->hasHeightForWidth())
        wanted.setHeight(qMin(m_panel->heightForWidth(wanted.width()), available.height()));
    m_panel->setGeometry(
        QRect(QPoint((width() - wanted.width()) / 2, (height() - wanted.height()) / 2), wanted));
}

ConfirmationDialog::ConfirmationDialog(QWidget* inside, const QString& title,
                                       const QString& message, const QString& destructiveAction)
    : Overlay(inside, buildPanel(title, message, destructiveAction)) {
    m_destructive = findChild<QPushButton*>(QStringLiteral("destructiveButton"));
    m_cancel = findChild<QPushButton*>(QStringLiteral("cancelButton"));
    connect(m_destructive, &QPushButton::clicked, this, [this] {
        emit confirmed();
        dismiss();
    });
    connect(m_cancel, &QPushButton::clicked, this, &Overlay::dismiss);
    m_cancel->setFocus(Qt::PopupFocusReason);
}

QString ConfirmationDialog::titleName(const QString& name) {
    const QFont font = Style::font(Style::TextRole::Headline);
    // Room for the quotes and the question mark around it.
    const int room = titleWidth - QFontMetrics(font).horizontalAdvance(QStringLiteral("''?")) - 2;
    return TaskNames::isolatedOnOneLine(name, font, room);
}

QWidget* ConfirmationDialog::buildPanel(const QString& title, const QString& message,
                                        const QString& destructiveAction) {
    auto* panel = new QWidget;
    panel->setFixedWidth(confirmationWidth);
    panel->setAccessibleName(title);
    panel->setAccessibleDescription(message);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(Style::standardMargin, Style::standardMargin, Style::standardMargin,
                               Style::standardMargin);
    layout->setSpacing(8);

    auto* titleLabel = wrappedCentredLabel(title, Style::TextRole::Headline, panel);
    titleLabel->setObjectName(QStringLiteral("title"));
    layout->addWidget(titleLabel);

    auto* messageLabel = wrappedCentredLabel(message, Style::TextRole::Callout, panel);
    messageLabel->setObjectName(QStringLiteral("message"));
    QPalette dimmed = messageLabel->palette();
    dimmed.setColor(QPalette::WindowText, Style::color(Style::ColorRole::Secondary, dimmed));
    messageLabel->setPalette(dimmed);
    layout->addWidget(messageLabel);
    layout->addSpacing(6);

    // Destructive action first, then "Cancel", one under the other. Enter presses the focused
    // one, as Space does.
    auto* destructive = new QPushButton(destructiveAction, panel);
    destructive->setObjectName(QStringLiteral("destructiveButton"));
    destructive->setAutoDefault(true);
    QPalette warning = destructive->palette();
    warning.setColor(QPalette::ButtonText, Style::red());
    destructive->setPalette(warning);
    layout->addWidget(destructive);

    auto* cancel = new QPushButton(tr("Cancel"), panel);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setAutoDefault(true);
    layout->addWidget(cancel);
    return panel;
}
