#pragma once

#include "model/TaskEntry.h"

#include <QWidget>
#include <optional>

class HistoryManager;
class Overlay;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

// Changes the name and the duration (in whole minutes) of one completion.
class EditTaskSheet final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(EditTaskSheet)
public:
    EditTaskSheet(HistoryManager& history, TaskEntry task, QWidget* parent = nullptr);

    // Shows a sheet for `task` over the window of `inside`; it closes itself on Save or Cancel.
    static Overlay* open(QWidget* inside, HistoryManager& history, const TaskEntry& task);

    // The minutes a text stands for: an optionally signed run of ASCII digits whose value is at
    // least 1 and small enough that the value in seconds still fits in 64 bits.
    static std::optional<qint64> parseMinutes(const QString& text);
    bool canSave() const;

    QSize sizeHint() const override;

signals:
    void closeRequested();

private:
    void buildTitle(QVBoxLayout* layout);
    void buildForm(QVBoxLayout* layout);
    void buildButtons(QVBoxLayout* layout);
    void onSave();
    void onTextChanged();

    HistoryManager& m_history;
    TaskEntry m_task;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_minutes = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_save = nullptr;
};
