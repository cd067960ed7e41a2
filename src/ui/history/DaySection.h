#pragma once

#include "model/TaskEntry.h"

#include <QList>
#include <QWidget>

class ClickableArea;
class ColorManager;
class HistoryManager;
class QLabel;
class QVBoxLayout;

// One day of the history: a header with the day's name, counts and total time, and, while
// expanded, the day's chart and one row per task name.
class DaySection final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DaySection)
public:
    DaySection(Instant date, QList<TaskEntry> tasks, HistoryManager& history, ColorManager& colors,
               bool isExpanded, QWidget* parent = nullptr);

    Instant date() const { return m_date; }
    bool isExpanded() const { return m_expanded; }
    // Shows or hides the body; the history screen decides, the section only follows.
    void setExpanded(bool expanded);
    // Whether a body is still opening or closing.
    bool isResizing() const { return m_resizing > 0; }

    // The height of a collapsed section (header and closing line), the same for every day, so a
    // long list can be measured without building it.
    static int collapsedHeight();

    QWidget* header() const;
    QWidget* body() const { return m_body; }

signals:
    void toggleRequested();
    // A body finished opening or closing.
    void resizingFinished();

private:
    void onBodyResized();
    void buildHeader();
    void buildBody();
    QWidget* buildMergedRows(QWidget* body);
    void updateChevron();

    Instant m_date;
    QList<TaskEntry> m_tasks;
    HistoryManager& m_history;
    ColorManager& m_colors;
    QVBoxLayout* m_layout = nullptr;
    ClickableArea* m_header = nullptr;
    QLabel* m_chevron = nullptr;
    QWidget* m_body = nullptr;
    bool m_expanded = false;
    int m_resizing = 0;
};
