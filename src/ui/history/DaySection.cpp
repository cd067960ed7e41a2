#include "history/DaySection.h"

#include "history/MergedTaskRow.h"
#include "history/TaskPieChartView.h"
#include "kit/Style.h"
#include "kit/Widgets.h"
#include "managers/HistoryManager.h"
#include "model/MergedTask.h"
#include "time/DurationText.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

namespace {

constexpr int titleSpacing = 4;
constexpr int labelSpacing = 12;
constexpr int rowDividerIndent = 16;

int captionLineHeight() {
    return QFontMetrics(Style::font(Style::TextRole::Caption)).height();
}

int headerHeight() {
    const int title = QFontMetrics(Style::font(Style::TextRole::Headline)).height();
    return 2 * Style::defaultPadding + title + titleSpacing + captionLineHeight();
}

// %n takes an int; a day never holds more completions than that.
int countOf(qint64 count) {
    return int(std::min<qint64>(count, std::numeric_limits<int>::max()));
}

QWidget* iconLabel(Style::Icon icon, const QString& text, const QString& name, QWidget* parent) {
    auto* label = new QWidget(parent);
    auto* line = new QHBoxLayout(label);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(3);
    auto* image = new QLabel(label);
    setSecondaryIcon(image, icon, captionLineHeight() - 2);
    line->addWidget(image);
    auto* words = makeLabel(text, Style::TextRole::Caption, Style::ColorRole::Secondary, label);
    words->setObjectName(name);
    line->addWidget(words);
    return label;
}

} // namespace

DaySection::DaySection(Instant date, QList<TaskEntry> tasks, HistoryManager& history,
                       ColorManager& colors, bool isExpanded, QWidget* parent)
    : QWidget(parent)
    , m_date(date)
    , m_tasks(std::move(tasks))
    , m_history(history)
    , m_colors(colors)
    , m_expanded(isExpanded) {
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    buildHeader();
    if (m_expanded) {
        buildBody();
    }
    m_layout->addWidget(new Divider(0, this));
}

int DaySection::collapsedHeight() {
    return headerHeight() + 1;
}

QWidget* DaySection::header() const {
    return m_header;
}

void DaySection::setExpanded(bool expanded) {
    if (expanded == m_expanded) {
        return;
    }
    m_expanded = expanded;
    updateChevron();
    ++m_resizing;
    if (expanded) {
        buildBody(); // a body still collapsing keeps going and removes itself
        m_body->setMaximumHeight(0);
        Style::revealHeight(m_body, true, [this] { onBodyResized(); });
        return;
    }
    QWidget* closing = m_body;
    m_body = nullptr;
    Style::revealHeight(closing, false, [this, closing] {
        m_layout->removeWidget(closing);
        closing->hide();
        closing->deleteLater();
        onBodyResized();
    });
}

void DaySection::onBodyResized() {
    if (--m_resizing == 0)
        emit resizingFinished();
}

void DaySection::buildHeader() {
    m_header = new ClickableArea(this);
    m_header->setObjectName(QStringLiteral("header"));
    m_header->setFixedHeight(headerHeight());
    fillBackground(m_header, Style::ColorRole::ControlBackground);

    auto* line = new QHBoxLayout(m_header);
    line->setContentsMargins(Style::defaultPadding, Style::defaultPadding, Style::defaultPadding,
                             Style::defaultPadding);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(titleSpacing);
    auto* title = makeLabel(HistoryManager::formatDay(m_date), Style::TextRole::Headline,
                            Style::ColorRole::Primary, m_header);
    title->setObjectName(QStringLiteral("title"));
    texts->addWidget(title);

    const QString taskCount = tr("%n tasks", nullptr, countOf(uniqueTaskCount(m_tasks)));
    const QString completionCount = tr("%n completions", nullptr, countOf(m_tasks.size()));
    const QString total = DurationText::dayTotal(totalDuration(m_tasks));
    auto* counts = new QHBoxLayout;
    counts->setSpacing(labelSpacing);
    counts->addWidget(
        iconLabel(Style::Icon::CheckmarkCircle, taskCount, QStringLiteral("taskCount"), m_header));
    counts->addWidget(iconLabel(Style::Icon::ArrowClockwise, completionCount,
                                QStringLiteral("completionCount"), m_header));
    counts->addWidget(
        iconLabel(Style::Icon::Clock, total, QStringLiteral("totalDuration"), m_header));
    counts->addStretch();
    texts->addLayout(counts);
    line->addLayout(texts, 1);

    m_chevron = new QLabel(m_header);
    m_chevron->setObjectName(QStringLiteral("chevron"));
    line->addWidget(m_chevron);
    updateChevron();
    // The header is what a screen reader lands on: the whole line in one name, and whether the
    // day is open as its state.
    m_header->setAccessibleName(tr("%1: %2, %3, total %4", "day, tasks, completions, total time")
                                    .arg(title->text(), taskCount, completionCount, total));
    m_header->setAccessibleDescription(tr("Shows the day's chart and tasks"));
    connect(m_header, &ClickableArea::clicked, this, &DaySection::toggleRequested);
    m_layout->addWidget(m_header);
}

void DaySection::updateChevron() {
    setSecondaryIcon(m_chevron, m_expanded ? Style::Icon::ChevronUp : Style::Icon::ChevronDown,
                     captionLineHeight());
    m_chevron->setProperty("pointsUp", m_expanded);
    m_header->setExpanded(m_expanded);
}

void DaySection::buildBody() {
    m_body = new QWidget(this);
    m_body->setObjectName(QStringLiteral("body"));
    fillBackground(m_body, Style::ColorRole::TextBackground);

    auto* stack = new QVBoxLayout(m_body);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    stack->addWidget(new TaskPieChartView(m_tasks, m_colors, m_body));
    stack->addWidget(new Divider(0, m_body));
    stack->addWidget(buildMergedRows(m_body));
    // Just above the closing divider.
    m_layout->insertWidget(1, m_body);
    // Shown and laid out at once, so the list measures the expanded height in this same turn.
    m_body->show();
    m_layout->activate();
    chainTabOrder({m_header, m_body}); // the rows next after the header, not after later days
}

QWidget* DaySection::buildMergedRows(QWidget* body) {
    auto* rows = new QWidget(body);
    auto* list = new QVBoxLayout(rows);
    list->setContentsMargins(0, 0, 0, 0);
    list->setSpacing(0);
    const QList<MergedTask> merged = mergedTasks(m_tasks);
    for (const MergedTask& task : merged) {
        // Deletes exactly this name's completions of this day, whatever happens to the row.
        auto deleteAll = [&history = m_history, tasks = task.originalTasks] {
            history.deleteTasks(tasks);
        };
        list->addWidget(new MergedTaskRow(task, m_history, m_colors, deleteAll, rows));
        if (task.id != merged.last().id) {
            list->addWidget(new Divider(rowDividerIndent, rows));
        }
    }
    return rows;
}
