#include "statusitem/StatusWindow.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QWidget>

namespace {
constexpr int cornerMargin = 8;
}

StatusWindow::StatusWindow(QObject* parent)
    : StatusItem(parent)
    , m_window(std::make_unique<QWidget>(nullptr, Qt::Tool | Qt::FramelessWindowHint |
                                                      Qt::WindowStaysOnTopHint))
    , m_button(new QPushButton(m_window.get())) {
    m_window->setWindowTitle(QCoreApplication::translate("StatusWindow", "Hourlark Status"));
    m_window->setAttribute(Qt::WA_ShowWithoutActivating);
    auto* layout = new QHBoxLayout(m_window.get());
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(m_button);
    // Both buttons are read on release, like a panel item; the filter sees them before
    // QPushButton turns the left one into a plain click.
    m_button->installEventFilter(this);
    m_button->setFocusPolicy(Qt::NoFocus);
    placeInCorner();
    m_window->show();
}

StatusWindow::~StatusWindow() = default;

QString StatusWindow::title() const {
    return m_button->text();
}

void StatusWindow::setTitle(const QString& title) {
    if (title == m_button->text())
        return;
    m_button->setText(title);
    // Proportional digits change the width from tick to tick; only a real change moves the window.
    if (m_window->sizeHint() != m_window->size())
        placeInCorner();
}

QRect StatusWindow::anchorRect() const {
    if (!m_window->isVisible())
        return {};
    return QRect(m_button->mapToGlobal(QPoint(0, 0)), m_button->size());
}

bool StatusWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_button && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint globalPos = mouse->globalPosition().toPoint();
        if (!m_button->rect().contains(mouse->position().toPoint()))
            return false;
        if (mouse->button() == Qt::LeftButton) {
            m_button->setDown(false);
            emit leftClicked(globalPos);
            return true;
        }
        if (mouse->button() == Qt::RightButton) {
            emit rightClicked(globalPos);
            return true;
        }
    }
    return StatusItem::eventFilter(watched, event);
}

// Where a panel item would be: the top-right corner of the primary screen's free area.
void StatusWindow::placeInCorner() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize size = m_window->sizeHint();
    m_window->resize(size);
    m_window->move(area.right() - size.width() - cornerMargin, area.top() + cornerMargin);
}
