#include "history/HistoryView.h"

#include "history/DaySection.h"
#include "history/MergedTaskRow.h"
#include "kit/Style.h"
#include "kit/Widgets.h"
#include "managers/ColorManager.h"

#include <QEvent>
#include <QHideEvent>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedLayout>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr int emptyStateSpacing = 20;
constexpr int emptyStateIconSide = 60;

// The controls under `root` that Tab stops at, in the order they were built.
QList<QWidget*> tabStops(const QWidget* root) {
    QList<QWidget*> stops;
    const auto children = root->findChildren<QWidget*>();
    for (QWidget* child : children) {
        if (child->focusPolicy() & Qt::TabFocus)
            stops.append(child);
    }
    return stops;
}

// A day's completions are newest first; equal instants keep the order they were added in.
void insertNewestFirst(QList<TaskEntry>& tasks, const TaskEntry& entry) {
    const auto older = std::find_if(tasks.cbegin(), tasks.cend(), [&](const TaskEntry& task) {
        return task.completionDate() < entry.completionDate();
    });
    tasks.insert(older - tasks.cbegin(), entry);
}

void addToDays(QList<DayGroup>& days, const TaskEntry& entry) {
    const Instant day = HistoryManager::startOfDay(entry.completionDate());
    const auto at =
        std::lower_bound(days.begin(), days.end(), day,
                         [](const DayGroup& group, Instant wanted) { return group.date > wanted; });
    if (at != days.end() && at->date == day)
        insertNewestFirst(at->tasks, entry);
    else
        days.insert(at, DayGroup{day, {entry}});
}

qsizetype indexIn(const QList<DayGroup>& days, Instant day) {
    // Newest day first: a binary search on the descending dates.
    const auto found =
        std::lower_bound(days.cbegin(), days.cend(), day,
                         [](const DayGroup& group, Instant wanted) { return group.date > wanted; });
    return found != days.cend() && found->date == day ? found - days.cbegin() : -1;
}

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

void HistoryView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_released)
        render();
}

// A window manager that unmaps the panel for a while (another workspace) does not close it.
void HistoryView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        release();
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
    if (m_released)
        return; // nothing is held; the next show groups afresh
    const QList<TaskEntry>& tasks = m_history.tasks();
    // Only a completion makes the list longer, by one entry after the ones seen so far.
    const bool completion = !m_regroup && tasks.size() == m_seenCount + 1 &&
                            (m_seenCount == 0 || tasks.at(m_seenCount - 1).id() == m_lastSeen);
    if (completion) {
        m_appended.append(tasks.constLast());
    } else {
        m_regroup = true;
        m_appended.clear();
    }
    noteSeen(tasks);
    // Several changes in one turn of the event loop are shown at once.
    if (m_updateQueued)
        return;
    m_updateQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_updateQueued = false;
            applyChanges();
        },
        Qt::QueuedConnection);
}

void HistoryView::noteSeen(const QList<TaskEntry>& tasks) {
    m_seenCount = tasks.size();
    m_lastSeen = tasks.isEmpty() ? QUuid() : tasks.constLast().id();
}

void HistoryView::applyChanges() {
    if (m_released)
        return;
    QList<DayGroup> days;
    if (m_regroup) {
        days = m_history.getTasksByDay();
    } else {
        days = m_days; // shares every day's list until one is changed
        for (const TaskEntry& entry : std::as_const(m_appended))
            addToDays(days, entry);
    }
    m_regroup = false;
    m_appended.clear();
    const DaySection* expandedBefore = m_expandedDay ? sectionFor(*m_expandedDay) : nullptr;
    adoptDays(std::move(days));
    if (DaySection* expanded = m_expandedDay ? sectionFor(*m_expandedDay) : nullptr;
        expanded && expanded != expandedBefore) {
        Style::fadeIn(expanded);
    }
}

void HistoryView::onColorsChanged() {
    // Dots, badges, slices and legend read their colour when painted.
    m_scroll->viewport()->update();
}

void HistoryView::render() {
    m_released = false;
    // Read first: a history still loading in the background arrives here without a signal.
    noteSeen(m_history.tasks());
    adoptDays(m_history.getTasksByDay());
}

// The scroll position stays: the list keeps its height while hidden, so the bar keeps its range.
void HistoryView::release() {
    if (m_released)
        return;
    m_kept.clear();
    for (const DaySection* section : std::as_const(m_live))
        m_kept.append(stateOf(section));
    // Kept above; the control must not pass the focus on as its section goes, which would scroll.
    if (QWidget* focused = window()->focusWidget(); focused && m_content->isAncestorOf(focused))
        focused->clearFocus();
    for (const qsizetype index : m_live.keys())
        discardSection(index);
    m_days = {};
    m_appended = {};
    m_regroup = false;
    m_anchor.reset();
    m_released = true;
}

// Sections whose day still has exactly the same completions stay as they are; those of changed
// days are built again with what they showed; those of days gone go.
void HistoryView::adoptDays(QList<DayGroup> days) {
    QMap<qsizetype, DaySection*> kept;
    QList<std::pair<qsizetype, DaySection*>> changed;
    QList<std::pair<qsizetype, DaySection*>> gone; // with the old index
    for (auto it = m_live.cbegin(); it != m_live.cend(); ++it) {
        const qsizetype index = indexIn(days, it.value()->date());
        if (index < 0)
            gone.append({it.key(), it.value()});
        else if (days.at(index).tasks == m_days.at(it.key()).tasks)
            kept.insert(index, it.value());
        else
            changed.append({index, it.value()});
    }
    m_days = std::move(days);
    m_live = kept;
    if (m_days.isEmpty()) {
        for (const auto& [index, section] : std::as_const(changed))
            discard(section);
        for (const auto& [index, section] : std::as_const(gone))
            discard(section);
        m_kept.clear();
        m_stack->setCurrentWidget(m_emptyState);
        layoutSections();
        return;
    }
    if (m_stack->currentWidget() != m_scroll) {
        m_stack->setCurrentWidget(m_scroll);
        // Placed now rather than on the next layout pass: the sections to build depend on its size.
        m_stack->setGeometry(contentsRect());
    }
    for (const auto& [index, old] : std::as_const(changed)) {
        m_kept.append(stateOf(old));
        createSection(index); // takes the focus, if the old one had it
        discard(old);
    }
    // The expanded day always exists: its height is only known from its layout.
    if (const qsizetype expanded = m_expandedDay ? indexOf(*m_expandedDay) : -1;
        expanded >= 0 && !m_live.contains(expanded)) {
        createSection(expanded);
    }
    layoutSections();
    m_kept.clear();
    const QWidget* focused = window()->focusWidget();
    for (const auto& [index, section] : std::as_const(gone)) {
        // The focus goes to the day now in its place rather than wherever Qt would send it.
        if (focused && section->isAncestorOf(focused) && !m_live.isEmpty()) {
            const auto near = m_live.lowerBound(index);
            (near != m_live.cend() ? near.value() : m_live.last())->header()->setFocus();
        }
        discard(section);
    }
}

HistoryView::SectionState HistoryView::stateOf(const DaySection* section) const {
    SectionState state{section->date(), {}, {}, -1};
    const auto rows = section->findChildren<MergedTaskRow*>();
    for (const MergedTaskRow* row : rows) {
        if (row->isExpanded())
            state.openRows.append(row->mergedTask().taskName);
    }
    QWidget* focused = window()->focusWidget();
    if (!focused || !section->isAncestorOf(focused))
        return state;
    const QWidget* scope = section;
    for (QWidget* up = focused->parentWidget(); up != section; up = up->parentWidget()) {
        if (const auto* row = qobject_cast<MergedTaskRow*>(up)) {
            state.focusRow = row->mergedTask().taskName;
            scope = row;
        }
    }
    state.focusStop = tabStops(scope).indexOf(focused);
    return state;
}

// Opens the rows that were open, at once, and gives the focus back to the control that had it,
// or to the header when it is gone.
void HistoryView::restoreState(DaySection* section) {
    const auto kept =
        std::find_if(m_kept.cbegin(), m_kept.cend(),
                     [section](const SectionState& s) { return s.day == section->date(); });
    if (kept == m_kept.cend())
        return;
    const auto rows = section->findChildren<MergedTaskRow*>();
    const bool animated = Style::animationsEnabled();
    Style::setAnimationsEnabled(false);
    for (MergedTaskRow* row : rows) {
        if (!row->isExpanded() && kept->openRows.contains(row->mergedTask().taskName)) {
            if (auto* area = qobject_cast<ClickableArea*>(row->rowArea()))
                area->click();
            // Measured up to the section now, so the list is placed right before it is painted.
            for (QWidget* up = row; up != m_content; up = up->parentWidget()) {
                if (QLayout* layout = up->layout())
                    layout->activate();
            }
        }
    }
    Style::setAnimationsEnabled(animated);
    if (kept->focusStop < 0)
        return;
    const QWidget* scope = section;
    if (kept->focusRow) {
        const auto row = std::find_if(rows.cbegin(), rows.cend(), [&](const MergedTaskRow* r) {
            return r->mergedTask().taskName == *kept->focusRow;
        });
        scope = row != rows.cend() ? static_cast<const QWidget*>(*row) : section;
    }
    const QList<QWidget*> stops = tabStops(scope);
    QWidget* target = scope == section && kept->focusRow ? nullptr : stops.value(kept->focusStop);
    (target ? target : section->header())->setFocus();
}

void HistoryView::layoutSections() {
    if (m_released)
        return; // the list keeps its height, and the scroll bar its place, until shown again
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
    // A section built now joins the end of the window's focus chain, after the days below it
    // that were built before; Tab goes through the days in their order on screen.
    if (m_tabOrderStale) {
        m_tabOrderStale = false;
        const QList<DaySection*> live = m_live.values();
        chainTabOrder(QList<QWidget*>(live.cbegin(), live.cend()));
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
    m_tabOrderStale = true;
    section->show();
    restoreState(section);
    section->resize(m_scroll->viewport()->width(), section->sizeHint().height());
    return section;
}

void HistoryView::discardSection(qsizetype index) {
    discard(m_live.take(index));
}

void HistoryView::discard(DaySection* section) {
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
    return indexIn(m_days, day);
}
