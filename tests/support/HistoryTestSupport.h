#pragma once

// Shared set-up of the history screen tests: isolated stores, entries at given local times, and
// the clicks and look-ups the screens' tests all make.

#include "Fakes.h"
#include "history/EditTaskSheet.h"
#include "kit/Overlay.h"
#include "managers/ColorManager.h"
#include "managers/HistoryManager.h"
#include "model/TaskEntry.h"
#include "model/TaskEntryJson.h"
#include "storage/PreferencesStore.h"

#include <QAbstractButton>
#include <QDateTime>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QUuid>
#include <QWidget>
#include <memory>

// The widget drawn at the given size on a transparent image, so untouched pixels keep alpha 0.
inline QImage renderedOnTransparent(QWidget& widget, QSize size) {
    widget.resize(size);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

// The stored history the store starts from; saving thousands of entries one by one would
// rewrite the whole file each time.
inline PreferencesStore& preloaded(MemoryPreferencesStore& store, const QList<TaskEntry>& tasks) {
    if (!tasks.isEmpty())
        store.values.insert(QStringLiteral("TaskHistoryData"), *encodeTaskHistory(tasks));
    return store;
}

struct HistoryFixture {
    explicit HistoryFixture(const QList<TaskEntry>& stored = {})
        : history(preloaded(historyStore, stored)) {}
    MemoryPreferencesStore historyStore;
    MemoryPreferencesStore colorStore;
    HistoryManager history;
    ColorManager colors{colorStore};
};

// A completion that ended at `completedAt` (local time) after `seconds`.
inline TaskEntry entryAt(const QString& name, qint64 seconds, const QDateTime& completedAt) {
    const Instant end = Instant::fromDateTime(completedAt);
    return TaskEntry(QUuid::createUuid(), name, seconds, end.addingSeconds(-double(seconds)), end,
                     end);
}

// Today at the given time, minus `daysAgo` days.
inline QDateTime localTime(int daysAgo, int hour, int minute = 0) {
    return QDateTime(QDate::currentDate().addDays(-daysAgo), QTime(hour, minute));
}

inline Instant dayOf(int daysAgo) {
    return HistoryManager::startOfDay(Instant::fromDateTime(localTime(daysAgo, 12)));
}

inline QString labelText(const QWidget* in, const QString& name) {
    const auto* label = in->findChild<QLabel*>(name);
    return label ? label->text() : QStringLiteral("<no label %1>").arg(name);
}

// A label's text as it reads: without the invisible marks that isolate a task name and keep it on
// one line, and with no-break spaces as spaces.
inline QString shownText(const QWidget* in, const QString& name) {
    QString text = labelText(in, name);
    text.remove(QChar(0x2068)).remove(QChar(0x2069)).remove(QChar(0x2060));
    return text.replace(QChar(0x00A0), u' ');
}

// Clicks the named button inside `in`, as the user would.
inline void clickButton(const QWidget* in, const QString& name) {
    QTest::mouseClick(in->findChild<QAbstractButton*>(name), Qt::LeftButton);
}

// The texts of a row's actions menu, in order.
inline QStringList menuTexts(const QToolButton* button) {
    QStringList texts;
    for (const QAction* action : button->menu()->actions())
        texts.append(action->text());
    return texts;
}

// Chooses an item of a row's actions menu, as a click on it would.
inline bool chooseMenuItem(const QToolButton* button, const QString& text) {
    for (QAction* action : button->menu()->actions()) {
        if (action->text() == text) {
            action->trigger();
            return true;
        }
    }
    return false;
}

// The confirmation open in a window, if any (one that is closing no longer counts).
inline ConfirmationDialog* openConfirmation(const QWidget* window) {
    for (ConfirmationDialog* dialog : window->findChildren<ConfirmationDialog*>()) {
        if (dialog->isVisible())
            return dialog;
    }
    return nullptr;
}

// Types the minutes into the edit sheet open in `window` and saves.
inline void saveEditedMinutes(const QWidget* window, const QString& minutes) {
    const auto* sheet = window->findChild<EditTaskSheet*>();
    sheet->findChild<QLineEdit*>(QStringLiteral("minutesField"))->setText(minutes);
    clickButton(sheet, QStringLiteral("saveButton"));
}
