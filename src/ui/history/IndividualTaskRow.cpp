#include "history/IndividualTaskRow.h"

#include "history/EditTaskSheet.h"
#include "kit/Overlay.h"
#include "kit/Style.h"
#include "kit/Widgets.h"
#include "managers/HistoryManager.h"

#include <QHBoxLayout>
#include <QMenu>
#include <QPainter>
#include <QToolButton>

namespace {

constexpr int sideMargin = 40;
constexpr int verticalMargin = 6;
constexpr int actionsWidth = 20;

} // namespace

IndividualTaskRow::IndividualTaskRow(TaskEntry task, QString taskName, HistoryManager& history,
                                     QWidget* parent)
    : QWidget(parent)
    , m_task(std::move(task))
    , m_taskName(std::move(taskName))
    , m_history(history) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(sideMargin, verticalMargin, sideMargin, verticalMargin);

    auto* time = makeLabel(HistoryText::shortTime(m_task.completionDate()),
                           Style::TextRole::Caption, Style::ColorRole::Secondary, this);
    time->setObjectName(QStringLiteral("time"));
    layout->addWidget(time);
    layout->addStretch(1);

    auto* trailing = new QHBoxLayout;
    trailing->setSpacing(8);
    auto* duration = makeLabel(m_task.formattedDuration(), Style::TextRole::Caption,
                               Style::ColorRole::Secondary, this);
    duration->setObjectName(QStringLiteral("duration"));
    trailing->addWidget(duration);
    const int captionSide = QFontMetrics(Style::font(Style::TextRole::Caption)).height();
    m_actions = makeActionsButton(actionsWidth, captionSide, this);
    // The "…" button is the one stop Tab makes on this row: its name says which completion.
    m_actions->setAccessibleName(
        tr("Actions for %1 at %2", "task, time of day").arg(m_taskName, time->text()));
    setAccessibleName(tr("%1, completed at %2, %3", "task, time of day, duration")
                          .arg(m_taskName, time->text(), duration->text()));
    trailing->addWidget(m_actions);
    layout->addLayout(trailing);
    buildActionsMenu();
}

void IndividualTaskRow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QColor background = Style::color(Style::ColorRole::ControlBackground, palette());
    background.setAlphaF(0.3);
    painter.fillRect(rect(), background);
}

void IndividualTaskRow::buildActionsMenu() {
    QMenu* menu = m_actions->menu();
    connect(addEditAction(menu, palette()), &QAction::triggered, this,
            &IndividualTaskRow::onEditRequested);
    connect(addDeleteAction(menu, tr("Delete")), &QAction::triggered, this,
            &IndividualTaskRow::onDeleteRequested);
}

void IndividualTaskRow::onEditRequested() {
    EditTaskSheet::open(this, m_history, m_task);
}

void IndividualTaskRow::onDeleteRequested() {
    auto* dialog = new ConfirmationDialog(
        this, tr("Delete this completion of '%1'?").arg(ConfirmationDialog::titleName(m_taskName)),
        tr("%1 - %2").arg(HistoryText::shortTime(m_task.completionDate()),
                          m_task.formattedDuration()),
        tr("Delete"));
    // The dialog carries what it deletes, so it still acts when this row has been rebuilt
    // meanwhile.
    connect(dialog, &ConfirmationDialog::confirmed, dialog,
            [&history = m_history, task = m_task] { history.deleteTask(task); });
}
