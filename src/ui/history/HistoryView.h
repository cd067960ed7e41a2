#pragma once

#include "managers/HistoryManager.h"

#include <QMap>
#include <QStringList>
#include <QUuid>
#include <QWidget>
#include <optional>

class ColorManager;
class DaySection;
class QScrollArea;
class QStackedLayout;

// The history screen: an empty-state message, or every day of the history, newest first, with at
// most one day expanded. Only the day sections in or near the visible area exist as widgets; a
// collapsed section has a fixed height, so the list is measured without building it.
//
// The days are grouped only while the screen is shown: hidden (the panel closed), it lets go of
// them and of every section, keeping only what it showed (open day and rows, scroll position,
// focus) to show the same again. A change while shown rebuilds only the sections of the days it
// touched; a completion is added to its day without grouping the history again.
class HistoryView final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HistoryView)
public:
    HistoryView(HistoryManager& history, ColorManager& colors, QWidget* parent = nullptr);

    std::optional<Instant> expandedDay() const { return m_expandedDay; }
    // The toggle rule: expands `day`, collapsing any other, or collapses it when it was expanded.
    void toggleDay(Instant day);

    // None while hidden: the days are grouped only while the screen is shown.
    qsizetype dayCount() const { return m_days.size(); }
    bool showsEmptyState() const;
    // The day sections that exist right now, top to bottom.
    QList<DaySection*> liveSections() const;
    DaySection* sectionFor(Instant day) const;
    // Scrolls until the section of the day exists and is visible.
    DaySection* revealDay(Instant day);
    QScrollArea* scrollArea() const { return m_scroll; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // What a section shows beyond its day's completions, carried over to the one rebuilt for it.
    struct SectionState {
        Instant day;
        QStringList openRows; // task names of the rows opened to their completions
        // The control with the focus: the row it is in (none: the section's own) and its place
        // among that row's or section's tab stops.
        std::optional<QString> focusRow;
        qsizetype focusStop = -1;
    };

    void buildEmptyState();
    void buildDayList();
    void onHistoryChanged();
    void onColorsChanged();
    void render();
    void release();
    void applyChanges();
    void adoptDays(QList<DayGroup> days);
    void noteSeen(const QList<TaskEntry>& tasks);
    SectionState stateOf(const DaySection* section) const;
    void restoreState(DaySection* section);
    void layoutSections();
    void placeSections();
    DaySection* createSection(qsizetype index);
    void discardSection(qsizetype index);
    static void discard(DaySection* section);
    qsizetype indexAt(int y, const QMap<qsizetype, int>& tall) const;
    qsizetype indexOf(Instant day) const;
    void keepAnchorInPlace();

    HistoryManager& m_history;
    ColorManager& m_colors;
    QStackedLayout* m_stack = nullptr;
    QWidget* m_emptyState = nullptr;
    QScrollArea* m_scroll = nullptr;
    QWidget* m_content = nullptr;
    QList<DayGroup> m_days;
    QMap<qsizetype, DaySection*> m_live;
    std::optional<Instant> m_expandedDay;
    // The day whose header was last clicked and where it sat in the viewport: the list scrolls so
    // it stays there while the days above open or close, until the user scrolls.
    struct Anchor {
        Instant day;
        int viewportY = 0;
    };
    std::optional<Anchor> m_anchor;
    // Hidden: nothing grouped or built; shown again, everything is grouped afresh.
    bool m_released = true;
    // The entries the days were built from: how many, and the id of the last. One more after the
    // same last is a completion; anything else groups the history again.
    qsizetype m_seenCount = 0;
    QUuid m_lastSeen;
    QList<TaskEntry> m_appended;
    bool m_regroup = false;
    QList<SectionState> m_kept;
    bool m_updateQueued = false;
    // A section was built since the days were last put in Tab order.
    bool m_tabOrderStale = false;
    bool m_layingOut = false;
    bool m_layoutAgain = false;
};
