#include "history/EditTaskSheet.h"

#include "kit/Overlay.h"
#include "kit/Style.h"
#include "kit/TaskNames.h"
#include "kit/Widgets.h"
#include "managers/HistoryManager.h"
#include "time/DurationText.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <limits>

namespace {

// The sheet's size at the usual fonts; taller fonts and styles make it grow.
constexpr QSize smallestSize(350, 250);

} // namespace

EditTaskSheet::EditTaskSheet(HistoryManager& history, TaskEntry task, QWidget* parent)
    : QWidget(parent)
    , m_history(history)
    , m_task(std::move(task)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(Style::standardMargin, Style::standardMargin, Style::standardMargin,
                               Style::standardMargin);
    layout->setSpacing(20);
    buildTitle(layout);
    layout->addWidget(new Divider(0, this));
    buildForm(layout);
    layout->addWidget(new Divider(0, this));
    buildButtons(layout);
    onTextChanged();
}

Overlay* EditTaskSheet::open(QWidget* inside, HistoryManager& history, const TaskEntry& task) {
    auto* sheet = new EditTaskSheet(history, task);
    auto* overlay = new Overlay(inside, sheet);
    connect(sheet, &EditTaskSheet::closeRequested, overlay, &Overlay::dismiss);
    return overlay;
}

std::optional<qint64> EditTaskSheet::parseMinutes(const QString& text) {
    qsizetype digitsFrom = 0;
    if (text.startsWith(QLatin1Char('+')) || text.startsWith(QLatin1Char('-'))) {
        digitsFrom = 1;
    }
    if (text.size() == digitsFrom) {
        return std::nullopt;
    }
    for (qsizetype i = digitsFrom; i < text.size(); ++i) {
        if (text[i] < QLatin1Char('0') || text[i] > QLatin1Char('9')) {
            return std::nullopt;
        }
    }
    bool fits = false;
    const qint64 minutes = text.toLongLong(&fits, 10);
    if (!fits || minutes < 1 || minutes > std::numeric_limits<qint64>::max() / 60) {
        return std::nullopt;
    }
    return minutes;
}

bool EditTaskSheet::canSave() const {
    return !m_name->text().isEmpty() && parseMinutes(m_minutes->text()).has_value();
}

QSize EditTaskSheet::sizeHint() const {
    return layout()->sizeHint().expandedTo(smallestSize);
}

void EditTaskSheet::buildTitle(QVBoxLayout* layout) {
    auto* title =
        makeLabel(tr("Edit Task"), Style::TextRole::Title2, Style::ColorRole::Primary, this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    title->setAlignment(Qt::AlignCenter);
    layout->addWidget(title);
}

void EditTaskSheet::buildForm(QVBoxLayout* layout) {
    auto* form = new QWidget(this);
    auto* groups = new QVBoxLayout(form);
    groups->setContentsMargins(Style::standardMargin, 0, Style::standardMargin, 0);
    groups->setSpacing(15);
    const auto addGroup = [&](const QString& label, QLineEdit* field) {
        auto* group = new QVBoxLayout;
        group->setSpacing(5);
        auto* caption =
            makeLabel(label, Style::TextRole::Caption, Style::ColorRole::Secondary, form);
        caption->setBuddy(field);
        field->setAccessibleName(label);
        group->addWidget(caption);
        group->addWidget(field);
        groups->addLayout(group);
    };

    m_name = new QLineEdit(m_task.taskName(), form);
    m_name->setObjectName(QStringLiteral("nameField"));
    m_name->setPlaceholderText(tr("Enter task name"));
    TaskNames::filterControls(m_name);
    addGroup(tr("Task Name"), m_name);

    m_minutes = new QLineEdit(DurationText::wholeMinutes(m_task.duration()), form);
    m_minutes->setObjectName(QStringLiteral("minutesField"));
    m_minutes->setPlaceholderText(tr("Minutes"));
    m_minutes->setFixedWidth(100);
    addGroup(tr("Duration (minutes)"), m_minutes);

    connect(m_name, &QLineEdit::textChanged, this, &EditTaskSheet::onTextChanged);
    connect(m_minutes, &QLineEdit::textChanged, this, &EditTaskSheet::onTextChanged);
    layout->addWidget(form);
}

void EditTaskSheet::buildButtons(QVBoxLayout* layout) {
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(Style::standardMargin, 0, Style::standardMargin, 0);
    buttons->setSpacing(15);
    buttons->addStretch();
    // Enter presses the focused button, as Space does; Return in a field still does nothing, since
    // no QDialog holds the buttons to make one of them its default.
    m_cancel = new QPushButton(tr("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("cancelButton"));
    m_cancel->setAutoDefault(true);
    buttons->addWidget(m_cancel);
    m_save = new ProminentButton(tr("Save"), this);
    m_save->setObjectName(QStringLiteral("saveButton"));
    m_save->setAutoDefault(true);
    buttons->addWidget(m_save);
    buttons->addStretch();
    layout->addLayout(buttons);

    connect(m_cancel, &QPushButton::clicked, this, &EditTaskSheet::closeRequested);
    connect(m_save, &QPushButton::clicked, this, &EditTaskSheet::onSave);
}

void EditTaskSheet::onSave() {
    const std::optional<qint64> minutes = parseMinutes(m_minutes->text());
    if (!minutes || m_name->text().isEmpty()) {
        return;
    }
    m_history.updateTask(m_task, m_name->text(), *minutes * 60);
    emit closeRequested();
}

void EditTaskSheet::onTextChanged() {
    m_save->setEnabled(canSave());
}
