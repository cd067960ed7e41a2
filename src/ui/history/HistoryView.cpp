#include "history/HistoryView.h"

#include "history/DaySection.h"
#include "kit/Style.h"
#include "kit/Widgets.h"
#include "managers/ColorManager.h"

#include <QEvent>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedLayout>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr int emptyStateSpacing = 20;
constexpr int emptyStateIconSide = 60;

} // namespace

HistoryView::HistoryView(HistoryManager& history, ColorManager& colors, QWidget* parent)
    : QWidget(parent)
    , m_history(history)
    , m_colors(colors) {
    m_stack = new QStackedLayout(this);
    buildEmptyState();
    buildDayList();
    connect(&m_history, &HistoryManager::tasksChanged, this, &HistoryView::onHistoryChanged);
    connect(&m_colors, &ColorManager::taskColorsChanged, this, &HistoryView::onColorsChanged);
    render();
}

void HistoryView::buildEmptyState() {
    m_emptyState = new QWidget(this);
    m_emptyState->setObjectName(QStringLiteral("emptyState"));
    auto* stack = new QVBoxLayout(m_emptyState);
    stack->setContentsMargins(Style::defaultPadding, Style::defaultPadding, Style::defaultPadding,
                              Style::defaultPadding);
    stack->setSpacing(emptyStateSpacing);
    stack->addStretch(1);

    auto* icon = new QLabel(m_emptyState);
    setSecondaryIcon(icon, Style::Icon::ClockQuestionmark, emptyStateIconSide);
    stack->addWidget(icon, 0, Qt::AlignHCenter);

    auto* title = makeLabel(tr("No Task History Yet"), Style::TextRole::Title2,
                            Style::ColorRole::Primary, m_emptyState);
    QFont semibold = title->font();
    semibold.setWeight(QFont::DemiBold);
    title->setFont(semibold);
    title->setObjectName(QStringLiteral("emptyTitle"));
    stack->addWidget(title, 0, Qt::AlignHCenter);

    auto* message = makeLabel(tr("Complete tasks to see them here"), Style::TextRole::Body,
                              Style::ColorRole::Secondary, m_emptyState);
    message->setObjectName(QStringLiteral("emptyMessage"));
    stack->addWidget(message, 0, Qt::AlignHCenter);
    stack->addStretch(1);
    m_stack->addWidget(m_emptyState);
}

void HistoryView::buildDayList() {
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("dayList"));
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The content is sized and filled by hand: only the sections near the visible area exist.
    m_scroll->setWidgetResizable(false);
    m_content = new QWidget;
    m_scroll->setWidget(m_content);
    m_scroll->verticalScrollBar()->setSingleStep(DaySection::collapsedHeight() / 2);
    m_scroll->viewport()->installEventFilter(this);
    m_content->installEventFilter(this);
    connect(m_scroll->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &HistoryView::layoutSections);
    connect(m_scroll->verticalScrollBar(), &QScrollBar::actionTriggered, this,
            [this] { m_anchor.reset(); });
    m_stack->addWidget(m_scroll);
}

bool HistoryView::showsEmptyState() const {
    return m_stack->currentWidget() == m_emptyState;
}

QList<DaySection*> HistoryView::liveSections() const {
    return m_live.values();
}

DaySection* HistoryView::sectionFor(Instant day) const {
    return m_live.value(indexOf(day), nullptr);
}

DaySection* HistoryView::revealDay(Instant day) {
    const qsizetype index = indexOf(day);
    if (index < 0) {
        return nullptr;
    }
    m_anchor.reset();
    // Collapsed sections above have the fixed height, and at most the expanded one is taller.
    int top = int(index) * DaySection::collapsedHeight();
    for (auto it = m_live.cbegin(); it != m_live.cend() && it.key() < index; ++it) {
        top += it.value()->sizeHint().height() - DaySection::collapsedHeight();
    }
    m_scroll->verticalScrollBar()->setValue(top);
    layoutSections();
    return sectionFor(day);
}

void HistoryView::toggleDay(Instant day) {
    // A day above that collapses in the same change would pull the clicked header up and out of
    // view; it stays where the user clicked it.
    if (const DaySection* clicked = sectionFor(day))
        m_anchor = Anchor{day, clicked->y() - m_scroll->verticalScrollBar()->value()};
    const std::optional<Instant> previous = m_expandedDay;
    m_expandedDay = previous == day ? std::nullopt : std::optional<Instant>(day);
    if (previous) {
        if (DaySection* section = sectionFor(*previous)) {
            section->setExpanded(false);
        }
    }
    if (m_expandedDay) {
        if (DaySection* section = sectionFor(*m_expandedDay)) {
            section->setExpanded(true);
        }
    }
    layoutSections();
}

bool HistoryView::eventFilter(QObject* watched, QEvent* event) {
    const bool viewportResized = watched == m_scroll->viewport() && event->type() == QEvent::Resize;
    const bool sectionResized = watched == m_content && event->type() == QEvent::LayoutRequest;
    if (viewportResized || sectionResized) {
        layoutSections();
    }
    return QWidget::eventFilter(watched, event);
}

void HistoryView::onHistoryChanged() {
    // Several changes in one turn of the event loop render once.
    if (m_renderQueued) {
        return;
    }
    m_renderQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_renderQueued = false;
            render();
            if (DaySection* expanded = m_expandedDay ? sectionFor(*m_expandedDay) : nullptr) {
                Style::fadeIn(expanded);
            }
        },
        Qt::QueuedConnection);
}

void HistoryView::onColorsChanged() {
    // Dots, badges, slices and legend read their colour when painted.
    m_scroll->viewport()->update();
}

void HistoryView::render() {
    m_days = m_history.getTasksByDay();
    for (const qsizetype index : m_live.keys()) {
        discardSection(index);
    }
    if (m_history.tasks().isEmpty()) {
        m_stack->setCurrentWidget(m_emptyState);
        return;
    }
    m_stack->setCurrentWidget(m_scroll);
    // The expanded day always exists: its height is only known from its layout.
    if (const qsizetype expanded = m_expandedDay ? indexOf(*m_expandedDay) : -1; expanded >= 0) {
        createSection(expanded);
    }
    layoutSections();
}

void HistoryView::layoutSections() {
    if (m_layingOut) {
        m_layoutAgain = true;
        return;
    }
    m_layingOut = true;
    do {
        m_layoutAgain = false;
        placeSections();
    } while (m_layoutAgain);
    m_layingOut = false;
}

void HistoryView::placeSections() {
    if (m_days.isEmpty()) {
        m_content->resize(m_scroll->viewport()->width(), 0);
        return;
    }
    const int rowHeight = DaySection::collapsedHeight();
    const int width = m_scroll->viewport()->width();
    // Only live sections can be taller than a collapsed one.
    QMap<qsizetype, int> tall;
    for (auto it = m_live.cbegin(); it != m_live.cend(); ++it) {
        if (const int height = it.value()->sizeHint().height(); height != rowHeight) {
            tall.insert(it.key(), height);
        }
    }
    qint64 total = qint64(m_days.size()) * rowHeight;
    for (const int height : tall) {
        total += height - rowHeight;
    }
    m_content->resize(width, int(std::min<qint64>(total, QWIDGETSIZE_MAX)));

    // A screen's worth of sections above and below stays built, so scrolling shows no gaps.
    const int viewportHeight = m_scroll->viewport()->height();
    const int scrolled = m_scroll->verticalScrollBar()->value();
    const qsizetype first = indexAt(scrolled - viewportHeight / 2, tall);
    const qsizetype last = indexAt(scrolled + viewportHeight + viewportHeight / 2, tall);

    const qsizetype expanded = m_expandedDay ? indexOf(*m_expandedDay) : -1;
    for (const qsizetype index : m_live.keys()) {
        // Taller ones (the expanded day, one still collapsing) stay, so nothing above jumps.
        if ((index < first || index > last) && index != expanded && !tall.contains(index)) {
            discardSection(index);
        }
    }
    for (qsizetype index = first; index <= last; ++index) {
        if (!m_live.contains(index)) {
            createSection(index);
        }
    }

    int extra = 0;
    for (auto it = m_live.cbegin(); it != m_live.cend(); ++it) {
        const int height = tall.value(it.key(), rowHeight);
        it.value()->setGeometry(0, int(it.key()) * rowHeight + extra, width, height);
        extra += height - rowHeight;
    }
    keepAnchorInPlace();
}

// Runs while the sections are placed, until the bodies have finished opening and closing; a
// scroll it makes places them once more.
void HistoryView::keepAnchorInPlace() {
    if (!m_anchor)
        return;
    const Anchor anchor = *m_anchor;
    const DaySection* anchored = sectionFor(anchor.day);
    const auto live = m_live.values();
    if (!anchored || std::none_of(live.cbegin(), live.cend(),
                                  [](const DaySection* section) { return section->isResizing(); }))
        m_anchor.reset(); // the last placement this change needs
    if (!anchored)
        return;
    QScrollBar* bar = m_scroll->verticalScrollBar();
    const int wanted = std::clamp(anchored->y() - anchor.viewportY, bar->minimum(), bar->maximum());
    if (wanted != bar->value())
        bar->setValue(wanted);
}

DaySection* HistoryView::createSection(qsizetype index) {
    const DayGroup& day = m_days.at(index);
    const bool expanded = m_expandedDay == day.date;
    auto* section = new DaySection(day.date, day.tasks, m_history, m_colors, expanded, m_content);
    connect(section, &DaySection::toggleRequested, this,
            [this, date = day.date] { toggleDay(date); });
    connect(section, &DaySection::resizingFinished, this, &HistoryView::layoutSections);
    m_live.insert(index, section);
    section->resize(m_scroll->viewport()->width(), section->sizeHint().height());
    section->show();
    return section;
}

void HistoryView::discardSection(qsizetype index) {
    DaySection* section = m_live.take(index);
    section->hide();
    section->deleteLater();
}

qsizetype HistoryView::indexAt(int y, const QMap<qsizetype, int>& tall) const {
    const int rowHeight = DaySection::collapsedHeight();
    int extra = 0;
    for (auto it = tall.cbegin(); it != tall.cend(); ++it) {
        const int top = int(it.key()) * rowHeight + extra;
        if (y < top) {
            break;
        }
        if (y < top + it.value()) {
            return it.key();
        }
        extra += it.value() - rowHeight;
    }
    const qsizetype index = y < extra ? 0 : (y - extra) / rowHeight;
    return std::clamp<qsizetype>(index, 0, m_days.size() - 1);
}

qsizetype HistoryView::indexOf(Instant day) const {
    // Newest day first: a binary search on the descending dates.
    const auto found =
        std::lower_bound(m_days.cbegin(), m_days.cend(), day,
                         [](const DayGroup& group, Instant wanted) { return group.date > wanted; });
    return found != m_days.cend() && found->date == day ? found - m_days.cbegin() : -1;
}
