#include "timer/MainContainerView.h"

#include "history/HistoryView.h"
#include "kit/Style.h"
#include "timer/SettingsView.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QToolButton* backButton() {
    auto* button = new QToolButton;
    button->setText(MainContainerView::tr("Back"));
    button->setFont(Style::font(Style::TextRole::Body));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true); // plain: no border or background
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

} // namespace

MainContainerView::MainContainerView(TimerManager& timer, HistoryManager& history,
                                     ColorManager& colors, QWidget* parent)
    : QWidget(parent)
    , m_timer(timer)
    , m_history(history)
    , m_colors(colors) {
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);

    m_layout->addWidget(buildHeader());
    m_headerDivider = new QFrame;
    m_headerDivider->setFrameShape(QFrame::HLine);
    m_headerDivider->setFrameShadow(QFrame::Sunken);
    m_layout->addWidget(m_headerDivider);
    m_header->hide();
    m_headerDivider->hide();

    setFixedSize(sizeFor(m_current));
    replaceScreen();
}

MainContainerView::NavigationDestination MainContainerView::currentView() const {
    return m_current;
}

QSize MainContainerView::sizeFor(NavigationDestination destination) {
    return destination == NavigationDestination::History ? QSize(400, 500) : QSize(350, 300);
}

void MainContainerView::showDestination(NavigationDestination destination) {
    if (destination == m_current)
        return;
    m_current = destination;
    const bool history = destination == NavigationDestination::History;
    m_header->setVisible(history);
    m_headerDivider->setVisible(history);
    setFixedSize(sizeFor(destination));
    replaceScreen();
    emit sizeChangeRequested(sizeFor(destination));
}

// Header bar: Back, the title, and an invisible copy of Back so the title sits in the middle.
QWidget* MainContainerView::buildHeader() {
    m_header = new QWidget;
    m_header->setObjectName(QStringLiteral("historyHeader"));
    m_header->setAutoFillBackground(true);
    auto* row = new QHBoxLayout(m_header);
    row->setContentsMargins(Style::standardMargin, 10, Style::standardMargin, 10);
    row->setSpacing(0);

    m_backButton = backButton();
    m_backButton->setObjectName(QStringLiteral("backButton"));
    connect(m_backButton, &QToolButton::clicked, this, &MainContainerView::onBackClicked);
    row->addWidget(m_backButton);
    row->addStretch(1);

    auto* title = new QLabel(tr("Task History"));
    title->setObjectName(QStringLiteral("historyTitle"));
    title->setFont(Style::font(Style::TextRole::Headline));
    row->addWidget(title);
    row->addStretch(1);

    m_backButtonMirror = backButton();
    m_backButtonMirror->setObjectName(QStringLiteral("backButtonMirror"));
    QSizePolicy keepsItsPlace = m_backButtonMirror->sizePolicy();
    keepsItsPlace.setRetainSizeWhenHidden(true);
    m_backButtonMirror->setSizePolicy(keepsItsPlace);
    m_backButtonMirror->hide();
    m_backButtonMirror->setFocusPolicy(Qt::NoFocus);
    m_backButtonMirror->setAccessibleName(QString()); // only a spacer; nobody should hear it
    row->addWidget(m_backButtonMirror);

    applyHeaderStyle();
    return m_header;
}

void MainContainerView::applyHeaderStyle() {
    const QColor background = Style::color(Style::ColorRole::ControlBackground, palette());
    QPalette header = m_header->palette();
    header.setColor(QPalette::Window, background);
    m_header->setPalette(header);

    const QColor accent = Style::accentOn(background, palette());
    for (QToolButton* button : {m_backButton, m_backButtonMirror}) {
        QPalette colors = button->palette();
        colors.setColor(QPalette::ButtonText, accent);
        button->setPalette(colors);
        button->setIcon(Style::icon(Style::Icon::ChevronLeft, accent));
    }
}

void MainContainerView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (m_header != nullptr && event->type() == QEvent::PaletteChange)
        applyHeaderStyle();
}

void MainContainerView::onHistoryRequested() {
    showDestination(NavigationDestination::History);
}

void MainContainerView::onBackClicked() {
    showDestination(NavigationDestination::Settings);
}

// Each screen is built afresh on every visit, so its own state (fields, the open day) starts over.
// The old one may be the sender of the click that brought us here, so it is deleted later.
void MainContainerView::replaceScreen() {
    if (m_screen) {
        m_screen->hide();
        m_screen->deleteLater();
    }
    if (m_current == NavigationDestination::Settings) {
        auto* panel = new SettingsView(m_timer, this);
        connect(panel, &SettingsView::historyRequested, this,
                &MainContainerView::onHistoryRequested);
        connect(panel, &SettingsView::dismissRequested, this, &MainContainerView::dismissRequested);
        m_screen = panel;
    } else {
        m_screen = new HistoryView(m_history, m_colors, this);
    }
    m_layout->addWidget(m_screen, 1);
    m_screen->show();
    Style::fadeIn(m_screen);
}
