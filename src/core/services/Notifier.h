#pragma once

#include <QList>
#include <QString>

// Posts a desktop notification with the desktop's event sound.
class Notifier {
public:
    virtual ~Notifier() = default;
    virtual void notify(const QString& title, const QString& body) = 0;
};

// Remembers what was posted; for tests.
class RecordingNotifier final : public Notifier {
public:
    struct Posted {
        QString title;
        QString body;
        bool operator==(const Posted&) const = default;
    };
    void notify(const QString& title, const QString& body) override {
        posted.append({title, body});
    }
    QList<Posted> posted;
};
