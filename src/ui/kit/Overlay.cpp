#include "kit/Overlay.h"

#include "kit/Style.h"

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
    : QWidget(inside->window())
    , m_panel(panel) {
    setAttribute(Qt::WA_DeleteOnClose);
    setFocusPolicy(Qt::StrongFocus);
    panel->setParent(this);
    panel->setAutoFillBackground(false);
    parentWidget()->installEventFilter(this);
    setGeometry(parentWidget()->rect());
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
    const auto overlays = window->findChildren<Overlay*>(Qt::FindDirectChildrenOnly);
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
    emit dismissed();
    deleteLater();
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
    QSize wanted = m_panel->sizeHint().expandedTo(m_panel->minimumSize());
    if (m_panel->hasHeightForWidth()) {
        wanted.setWidth(qMin(wanted.width(), available.width()));
        wanted.setHeight(m_panel->heightForWidth(wanted.width()));
    }
    wanted = wanted.boundedTo(available).boundedTo(m_panel->maximumSize());
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

QWidget* ConfirmationDialog::buildPanel(const QString& title, const QString& message,
                                        const QString& destructiveAction) {
    auto* panel = new QWidget;
    panel->setFixedWidth(confirmationWidth);
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

    // Destructive action first, then "Cancel", one under the other.
    auto* destructive = new QPushButton(destructiveAction, panel);
    destructive->setObjectName(QStringLiteral("destructiveButton"));
    destructive->setAutoDefault(false);
    QPalette warning = destructive->palette();
    warning.setColor(QPalette::ButtonText, Style::red());
    destructive->setPalette(warning);
    layout->addWidget(destructive);

    auto* cancel = new QPushButton(QStringLiteral("Cancel"), panel);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setAutoDefault(false);
    layout->addWidget(cancel);
    return panel;
}
