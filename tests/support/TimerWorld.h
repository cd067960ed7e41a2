#pragma once

// A countdown with everything it talks to held in memory; the clock moves only when told to.

#include "Fakes.h"
#include "managers/HistoryManager.h"
#include "managers/TimerManager.h"
#include "services/Notifier.h"
#include "services/StatusTitle.h"
#include "storage/PreferencesStore.h"
#include "time/Clock.h"

class FakeStatusTitle final : public StatusTitle {
public:
    QString title() const override { return m_title; }
    void setTitle(const QString& title) override {
        m_title = title;
        ++writes;
    }
    int writes = 0;

private:
    QString m_title;
};

struct TimerWorld {
    MemoryPreferencesStore store;
    HistoryManager history{store};
    RecordingNotifier notifier;
    ManualClock clock;
    FakeStatusTitle status;
    TimerManager timer{&status, &history, notifier, clock};

    // What the one-second timer does, one second of the clock at a time.
    void tick(int times = 1) {
        for (int i = 0; i < times; ++i) {
            clock.advance(1);
            timer.tick();
        }
    }
};
