#include "history/MergedTaskRow.h"

#include "history/EditTaskSheet.h"
#include "history/IndividualTaskRow.h"
#include "kit/Overlay.h"
#include "kit/Style.h"
#include "kit/Widgets.h"
#include "managers/ColorManager.h"
#include "managers/HistoryManager.h"
#include "time/DurationText.h"

#include <QHBoxLayout>
#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int dotDiameter = 8;
constexpr int dotTopPadding = 6;
constexpr int actionsSide = 24;
constexpr int completionDividerIndent = 40;

} // namespace

MergedTaskRow::MergedTaskRow(MergedTask mergedTask, HistoryManager& history, ColorManager& colors,
                             std::function<void()> onDeleteAll, QWidget* parent)
    : QWidget(parent)
    , m_mergedTask(std::move(mergedTask))
    , m_history(history)
    , m_colors(colors)
    , m_onDeleteAll(std::move(onDeleteAll)) {
    m_colors.colorForTask(m_mergedTask.taskName); // assign now, not while painting
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    buildRow();
}

QWidget* MergedTaskRow::rowArea() const {
    return m_row;
}

QColor MergedTaskRow::taskColor() const {
    return m_colors.colorForTask(m_mergedTask.taskName);
}

void MergedTaskRow::buildRow() {
    auto* row = new ClickableArea(this);
    row->setObjectName(QStringLiteral("row"));
    m_row = row;
    if (m_mergedTask.count < 2) {
        row->unsetCursor();
    }
    auto* line = new QHBoxLayout(row);
    line->setContentsMargins(Style::defaultPadding, Style::defaultPadding, Style::defaultPadding,
                             Style::defaultPadding);
    line->setSpacing(12);
    const auto addTopAligned = [line](QLayout* part) {
        line->addLayout(part);
        line->setAlignment(part, Qt::AlignTop);
    };
    addTopAligned(buildColorDot(row));
    addTopAligned(buildTitles(row));
    line->addStretch(1);
    addTopAligned(buildTrailing(row));
    connect(row, &ClickableArea::clicked, this, &MergedTaskRow::onRowClicked);
    connect(row, &ClickableArea::menuRequested, this, &MergedTaskRow::onMenuRequested);
    describeRow();
    m_layout->addWidget(row);
}

QLayout* MergedTaskRow::buildColorDot(QWidget* row) {
    auto* holder = new QVBoxLayout;
    holder->setContentsMargins(0, dotTopPadding, 0, 0);
    auto* dot = new ColorDot(
        dotDiameter, [this] { return taskColor(); }, row);
    dot->setObjectName(QStringLiteral("dot"));
    dot->setAccessibleName(m_mergedTask.taskName);
    holder->addWidget(dot);
    return holder;
}

QLayout* MergedTaskRow::buildTitles(QWidget* row) {
    auto* titles = new QVBoxLayout;
    titles->setSpacing(4);

    auto* nameLine = new QHBoxLayout;
    nameLine->setSpacing(8);
    auto* name = new ElidedLabel(m_mergedTask.taskName, row);
    name->setObjectName(QStringLiteral("name"));
    name->setTextFormat(Qt::PlainText);
    QFont medium = Style::font(Style::TextRole::Body);
    medium.setWeight(QFont::Medium);
    name->setFont(medium);
    nameLine->addWidget(name);
    if (m_mergedTask.count >= 2) {
        auto* badge = new Capsule(
            QStringLiteral("×%1").arg(m_mergedTask.count),
            [this] {
                QColor tint = taskColor();
                tint.setAlphaF(0.7);
                return tint;
            },
            QMargins(6, 2, 6, 2), 4, row);
        badge->setObjectName(QStringLiteral("badge"));
        badge->setFont(Style::font(Style::TextRole::Caption));
        QPalette white = badge->palette();
        white.setColor(QPalette::WindowText, Qt::white);
        badge->setPalette(white);
        nameLine->addWidget(badge);
    }
    titles->addLayout(nameLine);

    const QString subtitle = m_mergedTask.count == 1
                                 ? HistoryText::shortTime(m_mergedTask.lastCompletionDate)
                                 : tr("%n completions", nullptr, int(m_mergedTask.count));
    auto* subtitleLabel =
        makeLabel(subtitle, Style::TextRole::Caption, Style::ColorRole::Secondary, row);
    subtitleLabel->setObjectName(QStringLiteral("subtitle"));
    titles->addWidget(subtitleLabel);
    return titles;
}

QLayout* MergedTaskRow::buildTrailing(QWidget* row) {
    auto* trailing = new QHBoxLayout;
    trailing->setSpacing(8);
    auto* pill = new Capsule(
        DurationText::mergedTotalClock(m_mergedTask.totalDuration),
        [row] { return Style::color(Style::ColorRole::ControlBackground, row->palette()); },
        QMargins(8, 4, 8, 4), 6, row);
    pill->setObjectName(QStringLiteral("duration"));
    pill->setFont(Style::font(Style::TextRole::Callout));
    QPalette secondary = pill->palette();
    secondary.setColor(QPalette::WindowText, Style::color(Style::ColorRole::Secondary, secondary));
    pill->setPalette(secondary);
    trailing->addWidget(pill);
    m_actions = makeActionsButton(actionsSide, actionsSide - 6, row);
    m_actions->setAccessibleName(tr("Actions for %1").arg(m_mergedTask.taskName));
    trailing->addWidget(m_actions);
    buildActionsMenu();
    return trailing;
}

void MergedTaskRow::buildActionsMenu() {
    QMenu* menu = m_actions->menu();
    if (m_mergedTask.count == 1) {
        connect(addEditAction(menu, palette()), &QAction::triggered, this,
                &MergedTaskRow::onEditRequested);
    }
    const QString deleteText =
        m_mergedTask.count == 1 ? tr("Delete") : tr("Delete All (%1)").arg(m_mergedTask.count);
    connect(addDeleteAction(menu, deleteText), &QAction::triggered, this,
            &MergedTaskRow::onDeleteAllRequested);
}

void MergedTaskRow::buildCompletions() {
    m_completions = new QWidget(this);
    m_completions->setObjectName(QStringLiteral("completions"));
    auto* list = new QVBoxLayout(m_completions);
    list->setContentsMargins(0, 0, 0, 0);
    list->setSpacing(0);
    const QList<TaskEntry>& tasks = m_mergedTask.originalTasks;
    for (qsizetype i = 0; i < tasks.size(); ++i) {
        list->addWidget(
            new IndividualTaskRow(tasks[i], m_mergedTask.taskName, m_history, m_completions));
        if (i + 1 < tasks.size()) {
            list->addWidget(new Divider(completionDividerIndent, m_completions));
        }
    }
    m_layout->addWidget(m_completions);
    chainTabOrder({m_row, m_completions}); // each completion next after its row's "…"
}

void MergedTaskRow::onRowClicked() {
    if (m_mergedTask.count <= 1) {
        return;
    }
    m_expanded = !m_expanded;
    m_row->setExpanded(m_expanded);
    if (m_expanded) {
        if (!m_completions) {
            buildCompletions();
        }
        m_completions->setMaximumHeight(0);
        m_completions->show();
        m_layout->activate();
        Style::revealHeight(m_completions, true);
    } else {
        Style::revealHeight(m_completions, false);
    }
}

// One name says what the row holds; a row of several completions opens and closes, and says so.
void MergedTaskRow::describeRow() {
    const QString total = DurationText::mergedTotalClock(m_mergedTask.totalDuration);
    if (m_mergedTask.count < 2) {
        m_row->setAccessibleName(tr("%1, completed at %2, %3", "task, time of day, duration")
                                     .arg(m_mergedTask.taskName,
                                          HistoryText::shortTime(m_mergedTask.lastCompletionDate),
                                          total));
        return;
    }
    m_row->setAccessibleName(tr("%1, %2, total %3", "task, completions, total duration")
                                 .arg(m_mergedTask.taskName,
                                      tr("%n completions", nullptr, int(m_mergedTask.count)),
                                      total));
    m_row->setAccessibleDescription(tr("Lists each completion"));
    m_row->setExpanded(m_expanded);
}

// The Menu key or Shift+F10 on the row opens the same menu as its "…" button, below the button.
void MergedTaskRow::onMenuRequested() {
    m_actions->menu()->popup(m_actions->mapToGlobal(QPoint(0, m_actions->height())));
}

void MergedTaskRow::onEditRequested() {
    if (m_mergedTask.count == 1) {
        EditTaskSheet::open(this, m_history, m_mergedTask.originalTasks.first());
    }
}

void MergedTaskRow::onDeleteAllRequested() {
    // Plural whatever the count: "Delete all 1 completions" is the program's own wording.
    const int count = int(m_mergedTask.count);
    auto* dialog = new ConfirmationDialog(
        this,
        tr("Delete all %n completions of '%1'?", nullptr, count)
            .arg(ConfirmationDialog::titleName(m_mergedTask.taskName)),
        tr("This will delete all %n completions of this task.", nullptr, count), tr("Delete All"));
    // The dialog holds its own copy of the action, so it still works if this row is rebuilt.
    connect(dialog, &ConfirmationDialog::confirmed, dialog, [action = m_onDeleteAll] {
        if (action) {
            action();
        }
    });
}
