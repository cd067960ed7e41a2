#include "timer/SettingsView.h"

#include "control/TimerCommands.h"
#include "kit/Style.h"
#include "kit/TaskNames.h"
#include "kit/Widgets.h"
#include "managers/TimerManager.h"
#include "time/DurationText.h"

#include <QEvent>
#include <QFontDatabase>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSpacerItem>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

namespace {

QFrame* divider() {
    auto* line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

// 12 points between the blocks, which give way before any control does when the desktop's fonts
// make the panel taller than the popover.
QSpacerItem* gap() {
    return new QSpacerItem(0, 12, QSizePolicy::Minimum, QSizePolicy::Preferred);
}

QVBoxLayout* stack(QWidget* block, int spacing, int horizontalMargin, int verticalMargin) {
    auto* layout = new QVBoxLayout(block);
    layout->setSpacing(spacing);
    layout->setContentsMargins(horizontalMargin, verticalMargin, horizontalMargin, verticalMargin);
    return layout;
}

QLabel* caption(const QString& text) {
    auto* label = new QLabel(text);
    label->setFont(Style::font(Style::TextRole::Caption));
    return label;
}

QLineEdit* field(const QString& name, const QString& placeholder) {
    auto* edit = new QLineEdit;
    edit->setObjectName(name);
    edit->setPlaceholderText(placeholder);
    return edit;
}

// A caption over its field; a field of fixed width keeps to the leading edge.
QVBoxLayout* labelledField(QLabel* caption, QLineEdit* field, Qt::Alignment alignment = {}) {
    auto* group = new QVBoxLayout;
    group->setSpacing(5);
    group->addWidget(caption);
    group->addWidget(field, 0, alignment);
    caption->setBuddy(field);
    // The caption names the field; the placeholder would vanish from the name once typed over.
    field->setAccessibleName(caption->text());
    return group;
}

// A fixed tint, the same whether the window is active or not. Only touches the palette when the
// colour changes: the display is re-rendered every second.
void setTint(QWidget* widget, QPalette::ColorRole role, const QColor& tint) {
    if (widget->testAttribute(Qt::WA_SetPalette) &&
        widget->palette().color(QPalette::Active, role) == tint)
        return;
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Active, role, tint);
    palette.setColor(QPalette::Inactive, role, tint);
    widget->setPalette(palette);
}

// Back to the colours the widget inherits, group by group.
void clearTint(QWidget* widget) {
    if (widget->testAttribute(Qt::WA_SetPalette))
        widget->setPalette(QPalette());
}

void setButtonFace(QPushButton* button, const QString& title, Style::Icon icon,
                   const QColor& tint) {
    button->setText(title);
    button->setIcon(Style::icon(icon, tint));
    setTint(button, QPalette::ButtonText, tint);
}

} // namespace

SettingsView::SettingsView(TimerManager& timer, QWidget* parent)
    : QWidget(parent)
    , m_timer(timer) {
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(0);
    layout->setContentsMargins(10, 10, 10, 10);
    const auto addDivider = [layout] {
        layout->addItem(gap());
        layout->addWidget(divider());
        layout->addItem(gap());
    };
    layout->addWidget(buildCountdownBlock());
    addDivider();
    layout->addWidget(buildInputsBlock());
    addDivider();
    layout->addWidget(buildButtonsBlock());
    layout->addStretch(1);

    // The fields' first texts are not edits: the handlers are connected only afterwards.
    m_minutesField->setText(DurationText::wholeMinutes(TimerManager::defaultLength));
    connect(m_nameField, &QLineEdit::textChanged, this, &SettingsView::onNameEdited);
    connect(m_minutesField, &QLineEdit::textChanged, this, &SettingsView::onMinutesEdited);

    for (auto changed : {&TimerManager::timeRemainingChanged, &TimerManager::customTextChanged,
                         &TimerManager::isRunningChanged, &TimerManager::initialTimeChanged})
        connect(&m_timer, changed, this, &SettingsView::onModelChanged);

    applyStyle();
}

// Countdown block: the remaining time and, when there is one, the model's task name.
QWidget* SettingsView::buildCountdownBlock() {
    auto* block = new QWidget;
    QVBoxLayout* layout = stack(block, 8, 0, 8);

    m_timeLabel = new QLabel;
    m_timeLabel->setObjectName(QStringLiteral("timeDisplay"));
    QFont display = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    display.setStyleHint(QFont::Monospace);
    display.setPointSizeF(48 * 72.0 / 96.0); // 48 points of a 96-dpi desktop
    display.setBold(true);
    m_timeLabel->setFont(display);
    m_timeLabel->setAlignment(Qt::AlignCenter);
    // Read out as a time ("29 minutes 59 seconds remaining"), not as digits and a colon.
    m_timeLabel->setAccessibleDescription(tr("Time remaining"));
    layout->addWidget(m_timeLabel);

    m_nameLabel = new QLabel;
    m_nameLabel->setObjectName(QStringLiteral("taskNameDisplay"));
    m_nameLabel->setFont(Style::font(Style::TextRole::Headline));
    m_nameLabel->setAlignment(Qt::AlignCenter);
    // A long name is elided to the panel's width rather than widening the popover.
    m_nameLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    layout->addWidget(m_nameLabel);
    return block;
}

// Inputs block: the task name and the length in minutes.
QWidget* SettingsView::buildInputsBlock() {
    auto* block = new QWidget;
    QVBoxLayout* layout = stack(block, 10, Style::standardMargin, 0);

    m_nameCaption = caption(tr("Task Name"));
    m_nameField = field(QStringLiteral("taskNameField"), tr("Enter task name"));
    TaskNames::filterControls(m_nameField);
    layout->addLayout(labelledField(m_nameCaption, m_nameField));

    m_minutesCaption = caption(tr("Time (minutes)"));
    m_minutesField = field(QStringLiteral("minutesField"), tr("Minutes"));
    m_minutesField->setFixedWidth(100);
    layout->addLayout(labelledField(m_minutesCaption, m_minutesField, Qt::AlignLeft));
    return block;
}

// Buttons block: Start/Stop, Reset and Complete in equal widths, then View History.
QWidget* SettingsView::buildButtonsBlock() {
    auto* block = new QWidget;
    QVBoxLayout* layout = stack(block, 10, Style::standardMargin, 0);

    auto* row = new QHBoxLayout;
    row->setSpacing(15);
    m_startStopButton = new QPushButton;
    m_startStopButton->setObjectName(QStringLiteral("startStopButton"));
    m_resetButton = new QPushButton(tr("Reset"));
    m_resetButton->setObjectName(QStringLiteral("resetButton"));
    m_completeButton = new QPushButton(tr("Complete"));
    m_completeButton->setObjectName(QStringLiteral("completeButton"));
    for (QPushButton* button : {m_startStopButton, m_resetButton, m_completeButton}) {
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        row->addWidget(button, 1);
    }
    connect(m_startStopButton, &QPushButton::clicked, this, &SettingsView::onStartStopClicked);
    connect(m_resetButton, &QPushButton::clicked, this, &SettingsView::onResetClicked);
    connect(m_completeButton, &QPushButton::clicked, this, &SettingsView::onCompleteClicked);
    layout->addLayout(row);

    layout->addSpacing(8);
    m_historyButton = new QPushButton(tr("View History"));
    m_historyButton->setObjectName(QStringLiteral("historyButton"));
    m_historyButton->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(m_historyButton, &QPushButton::clicked, this, &SettingsView::historyRequested);
    layout->addWidget(m_historyButton);
    return block;
}

QString SettingsView::spokenRemaining(qint64 seconds) {
    const qint64 minutes = std::max<qint64>(0, seconds) / 60;
    const int rest = int(std::max<qint64>(0, seconds) % 60);
    // %n takes an int; a countdown is at most 600 minutes.
    const int shownMinutes = int(std::min<qint64>(minutes, std::numeric_limits<int>::max()));
    if (minutes == 0)
        return tr("%n seconds remaining", nullptr, rest);
    if (rest == 0)
        return tr("%n minutes remaining", nullptr, shownMinutes);
    return tr("%1 %2 remaining", "minutes, then seconds")
        .arg(tr("%n minutes", nullptr, shownMinutes), tr("%n seconds", nullptr, rest));
}

QString SettingsView::truncatedName(const QString& text) {
    return TaskRules::truncatedName(text);
}

QString SettingsView::numericCharacters(const QString& text) {
    QList<uint> kept;
    for (const uint codePoint : text.toUcs4()) {
        if (QChar::isNumber(char32_t(codePoint)))
            kept.append(codePoint);
    }
    return kept.size() == text.size()
               ? text
               : QString::fromUcs4(reinterpret_cast<const char32_t*>(kept.constData()),
                                   kept.size());
}

std::optional<qint64> SettingsView::parseMinutes(const QString& text) {
    if (text.isEmpty())
        return std::nullopt;
    constexpr qint64 largest = std::numeric_limits<qint64>::max();
    qint64 value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        const int digit = c.unicode() - u'0';
        if (value > (largest - digit) / 10)
            return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

void SettingsView::onNameEdited(const QString& text) {
    const QString name = truncatedName(text);
    if (name != text) {
        m_nameField->setText(name); // comes back here with the cut text
        return;
    }
    m_timer.setCustomText(name);
    m_timer.updateDisplay();
}

void SettingsView::onMinutesEdited(const QString& text) {
    if (m_refilling || m_timer.isRunning())
        return;
    const QString numeric = numericCharacters(text);
    if (numeric != text) {
        m_minutesField->setText(numeric);
        return;
    }
    // Empty, or a number this cannot hold (other scripts' digits, more than 64 bits): the field
    // keeps what was typed and the model keeps its length.
    const std::optional<qint64> minutes = parseMinutes(text);
    if (!minutes)
        return;
    if (*minutes > maximumMinutes)
        m_minutesField->setText(QString::number(maximumMinutes));
    else if (*minutes < minimumMinutes)
        m_minutesField->setText(QString::number(minimumMinutes));
    else
        m_timer.setInitialTime(*minutes); // leading zeros stay in the field
}

void SettingsView::onStartStopClicked() {
    if (m_timer.isRunning()) {
        m_timer.stopTimer();
        return;
    }
    m_timer.startTimer();
    emit dismissRequested();
}

void SettingsView::onResetClicked() {
    m_timer.resetTimer();
    m_minutesField->setText(DurationText::wholeMinutes(TimerManager::defaultLength));
    m_nameField->setText(QString());
}

void SettingsView::onCompleteClicked() {
    TimerCommands::complete(m_timer);
}

// Several properties change in one operation (a reset touches all four); one render covers them.
// A hidden panel skips the ticks and renders when it is shown again.
void SettingsView::onModelChanged() {
    if (m_renderQueued || !isVisible())
        return;
    m_renderQueued = true;
    QMetaObject::invokeMethod(this, &SettingsView::render, Qt::QueuedConnection);
}

void SettingsView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous())
        refillFields();
    render();
}

void SettingsView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (m_completeButton == nullptr)
        return;
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange ||
        event->type() == QEvent::FontChange)
        applyStyle();
}

void SettingsView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    render();
}

// The fields follow the model each time the panel shows. The minutes text written here is the
// model's own length, so it skips the edit handler: going through it would restart a stopped
// countdown from its full length just because the panel was opened.
void SettingsView::refillFields() {
    m_refilling = true;
    m_minutesField->setText(DurationText::wholeMinutes(m_timer.initialTime()));
    m_refilling = false;
    m_nameField->setText(m_timer.customText());
}

void SettingsView::render() {
    m_renderQueued = false;
    const bool running = m_timer.isRunning();

    m_timeLabel->setText(DurationText::countdown(m_timer.timeRemaining()));
    m_timeLabel->setAccessibleName(spokenRemaining(m_timer.timeRemaining()));
    // Idle, the primary colour is simply the text colour the display inherits.
    if (running)
        setTint(m_timeLabel, QPalette::WindowText, Style::green());
    else
        clearTint(m_timeLabel);

    const QString& name = m_timer.customText();
    m_nameLabel->setVisible(!name.isEmpty());
    const QMargins margins = layout()->contentsMargins();
    const int width = std::max(0, this->width() - margins.left() - margins.right());
    m_nameLabel->setText(
        TaskNames::isolated(m_nameLabel->fontMetrics().elidedText(name, Qt::ElideRight, width)));
    m_nameLabel->setToolTip(name);

    if (m_buttonShowsRunning != running) {
        m_buttonShowsRunning = running;
        if (running)
            setButtonFace(m_startStopButton, tr("Stop"), Style::Icon::Stop, Style::red());
        else
            setButtonFace(m_startStopButton, tr("Start"), Style::Icon::Play, Style::green());
    }
    m_minutesField->setEnabled(!running);
    m_completeButton->setEnabled(running);
}

void SettingsView::applyStyle() {
    // A 48-point line box is mostly air above and below the digits; sized to the digits, the
    // display leaves room for the rest of the panel.
    const QFontMetrics display(m_timeLabel->font());
    m_timeLabel->setFixedHeight(display.tightBoundingRect(QStringLiteral("00:00")).height() + 8);

    const QPalette secondary =
        Style::withColor(palette(), QPalette::WindowText, Style::ColorRole::Secondary);
    for (QLabel* label : {m_nameLabel, m_nameCaption, m_minutesCaption})
        label->setPalette(secondary);
    const QColor plain = palette().color(QPalette::Active, QPalette::ButtonText);
    setLabelIcon(m_resetButton, Style::Icon::CounterClockwise, plain);
    setLabelIcon(m_historyButton, Style::Icon::ClockArrowCirclepath, plain);
    setButtonFace(m_completeButton, tr("Complete"), Style::Icon::CheckmarkCircleFill,
                  Style::blue());
    m_buttonShowsRunning.reset(); // the Start/Stop face is redrawn in the new colours
    render();
    equaliseButtonWidths();
}

// The three buttons share the row equally whatever their titles; Start and Stop swap in place
// without the row shifting.
void SettingsView::equaliseButtonWidths() {
    QPushButton probe;
    probe.setFont(m_startStopButton->font());
    probe.setIconSize(m_startStopButton->iconSize());
    probe.setIcon(m_completeButton->icon());
    int widest = 0;
    for (const QString& title : {tr("Start"), tr("Stop"), tr("Reset"), tr("Complete")}) {
        probe.setText(title);
        widest = std::max(widest, probe.sizeHint().width());
    }
    for (QPushButton* button : {m_startStopButton, m_resetButton, m_completeButton})
        button->setMinimumWidth(widest);
}
