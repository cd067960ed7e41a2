#pragma once

#include <QByteArray>
#include <QString>
#include <QVariantMap>
#include <optional>

// The countdown as `hourlark status` prints it, from the timer object's properties.
struct TimerStatus {
    enum class Format {
        Title,  // "24:59 Write", what the panel item shows (also --format plain)
        Json,   // one object: remaining, initial, name, running, title
        Waybar, // waybar's custom-module JSON: text, tooltip, class, percentage
    };
    static std::optional<Format> formatNamed(const QString& name);

    qint64 remaining = 0;
    double endTime = 0; // seconds since the Unix epoch; 0 while stopped
    qint64 initial = 0;
    QString name;
    bool running = false;
    QString title;

    // Takes the properties present in `properties` (all, or the changed ones of a signal).
    void update(const QVariantMap& properties);
    // As it stands at `unixSeconds`: a running countdown counted down to its end (the timer
    // announces only starts, stops and edits, not its ticks).
    TimerStatus at(double unixSeconds) const;
    // The share of the length that has passed, 0 to 100.
    int percentElapsed() const;

    // One line, without its line break.
    QByteArray line(Format format) const;
    // What is printed while no Hourlark runs: an empty title, an empty JSON object, and a waybar
    // entry with no text, which hides the module.
    static QByteArray absentLine(Format format);
};
