#pragma once

#include "managers/HistoryManager.h"

#include <QMap>
#include <QWidget>
#include <optional>

class ColorManager;
class DaySection;
class QScrollArea;
class QStackedLayout;

// The history screen: an empty-state message, or every day of the history, newest first, with at
// most one day expanded. Only the day sections in or near the visible area exist as widgets; a
// collapsed section has a fixed height, so the list is measured without building it.
class HistoryView final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HistoryView)
public:
    HistoryView(HistoryManager& history, ColorManager& colors, QWidget* parent = nullptr);

    std::optional<Instant> expandedDay() const { return m_expandedDay; }
    // The toggle rule: expands `day`, collapsing any other, or collapses it when it was expanded.
    void toggleDay(Instant day);

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

private:
    void buildEmptyState();
    void buildDayList();
    void onHistoryChanged();
    void onColorsChanged();
    void render();
    void layoutSections();
    void placeSections();
    DaySection* createSection(qsizetype index);
    void discardSection(qsizetype index);
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
    bool m_renderQueued = false;
    bool m_layingOut = false;
    bool m_layoutAgain = false;
};
