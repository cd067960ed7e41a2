#include "history/TaskPieChartView.h"

#include "history/CustomPieChartView.h"
#include "kit/SectorChart.h"
#include "kit/Style.h"
#include "kit/Widgets.h"
#include "managers/ColorManager.h"
#include "model/MergedTask.h"
#include "time/DurationText.h"

#include <QHBoxLayout>
#include <QVBoxLayout>
#include <limits>

namespace {

// Whole percent, truncated. Integer arithmetic: through doubles 29 of 100 would come out as 28.
qint64 percentOf(qint64 part, qint64 total) {
    if (total <= 0) {
        return 0;
    }
    if (part >= 0 && total <= std::numeric_limits<qint64>::max() / 100) {
        return part / total * 100 + part % total * 100 / total;
    }
    return qint64(double(part) / double(total) * 100.0);
}

} // namespace

TaskPieChartView::TaskPieChartView(QList<TaskEntry> tasks, ColorManager& colors, QWidget* parent)
    : QWidget(parent)
    , m_tasks(std::move(tasks))
    , m_colors(colors) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(Style::defaultPadding, Style::defaultPadding, Style::defaultPadding,
                               Style::defaultPadding);
    layout->setSpacing(15);
    if (m_tasks.isEmpty()) {
        buildEmptyText(layout);
        return;
    }
    buildPie(layout);
    buildLegend(layout);
}

QList<TaskGroup> TaskPieChartView::groupedTasks(const QList<TaskEntry>& tasks) {
    const qint64 dayTotal = totalDuration(tasks);
    QList<TaskGroup> groups;
    for (const NameTotal& total : totalsByName(tasks)) {
        groups.append({total.name, total.duration, percentOf(total.duration, dayTotal)});
    }
    return groups;
}

void TaskPieChartView::buildEmptyText(QVBoxLayout* layout) {
    auto* text = makeLabel(tr("No tasks for this day"), Style::TextRole::Caption,
                           Style::ColorRole::Secondary, this);
    text->setObjectName(QStringLiteral("emptyText"));
    text->setContentsMargins(Style::defaultPadding, Style::defaultPadding, Style::defaultPadding,
                             Style::defaultPadding);
    layout->addWidget(text);
}

void TaskPieChartView::buildPie(QVBoxLayout* layout) {
    const auto colorForTask = [&colors = m_colors](const QString& name) {
        return colors.colorForTask(name);
    };
#ifdef HOURLARK_SECTOR_CHART
    QList<SectorChart::Mark> marks;
    marks.reserve(m_tasks.size());
    for (const TaskEntry& task : m_tasks) {
        marks.append({task.taskName(), double(task.duration())});
    }
    QWidget* pie = new SectorChart(std::move(marks), colorForTask, this);
#else
    QWidget* pie = new CustomPieChartView(m_tasks, colorForTask, this);
#endif
    pie->setObjectName(QStringLiteral("pie"));
    pie->setAccessibleName(tr("Time per task"));
    pie->setAccessibleDescription(tr("The same shares are listed below the chart."));
    pie->setFixedHeight(pieHeight);
    pie->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    layout->addWidget(pie);
}

void TaskPieChartView::buildLegend(QVBoxLayout* layout) {
    auto* legend = new QWidget(this);
    legend->setObjectName(QStringLiteral("legend"));
    auto* rows = new QVBoxLayout(legend);
    rows->setContentsMargins(0, 5, 0, 0);
    rows->setSpacing(8);
    for (const TaskGroup& group : groupedTasks(m_tasks)) {
        auto* row = new QWidget(legend);
        row->setObjectName(QStringLiteral("legendRow"));
        auto* line = new QHBoxLayout(row);
        line->setContentsMargins(0, 0, 0, 0);
        m_colors.colorForTask(group.name); // assign now, not while painting
        auto* dot = new ColorDot(
            10, [&colors = m_colors, name = group.name] { return colors.colorForTask(name); }, row);
        dot->setAccessibleName(group.name);
        line->addWidget(dot);
        auto* name = new ElidedLabel(group.name, row);
        name->setObjectName(QStringLiteral("name"));
        name->setFont(Style::font(Style::TextRole::Caption));
        line->addWidget(name, 1);
        auto* duration = makeLabel(DurationText::legendTotal(group.totalDuration),
                                   Style::TextRole::Caption, Style::ColorRole::Secondary, row);
        duration->setObjectName(QStringLiteral("duration"));
        line->addWidget(duration);
        auto* percent = makeLabel(tr("(%1%)", "share of the day's time").arg(group.percentage),
                                  Style::TextRole::Caption, Style::ColorRole::Secondary, row);
        percent->setObjectName(QStringLiteral("percentage"));
        percent->setFixedWidth(percentWidth);
        percent->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        line->addWidget(percent);
        // One entry for a screen reader, rather than four fragments to piece together.
        row->setAccessibleName(tr("%1: %2, %3%", "legend entry: task, time, share")
                                   .arg(group.name, duration->text())
                                   .arg(group.percentage));
        rows->addWidget(row);
    }
    layout->addWidget(legend);
}
