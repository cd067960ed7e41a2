#include "cli/TimerStatus.h"

#include "cli/Cli.h"
#include "time/DurationText.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cmath>

std::optional<TimerStatus::Format> TimerStatus::formatNamed(const QString& name) {
    if (name == u"plain")
        return Format::Title;
    if (name == u"json")
        return Format::Json;
    if (name == u"waybar")
        return Format::Waybar;
    return std::nullopt;
}

void TimerStatus::update(const QVariantMap& properties) {
    for (auto it = properties.cbegin(); it != properties.cend(); ++it) {
        if (it.key() == u"TimeRemaining")
            remaining = it.value().toLongLong();
        else if (it.key() == u"EndTime")
            endTime = it.value().toDouble();
        else if (it.key() == u"InitialLength")
            initial = it.value().toLongLong();
        else if (it.key() == u"TaskName")
            name = it.value().toString();
        else if (it.key() == u"Running")
            running = it.value().toBool();
        else if (it.key() == u"Title")
            title = it.value().toString();
    }
}

TimerStatus TimerStatus::at(double unixSeconds) const {
    if (!running || !(endTime > 0))
        return *this;
    // A second that has begun still counts, as on the panel; an end that has passed leaves 0
    // until the completion is announced.
    const double left = std::ceil(endTime - unixSeconds);
    TimerStatus counted = *this;
    counted.remaining = left > 0 ? qint64(std::min(left, 9.2e18)) : 0;
    // The title the timer sent is right for the time it sent; another time needs another title.
    if (counted.remaining != remaining) {
        counted.title = DurationText::countdown(counted.remaining);
        if (!name.isEmpty())
            counted.title += u' ' + name;
    }
    return counted;
}

int TimerStatus::percentElapsed() const {
    if (initial <= 0)
        return 0;
    const double passed = double(initial - remaining) / double(initial);
    return std::clamp(int(passed * 100), 0, 100);
}

QByteArray TimerStatus::line(Format format) const {
    switch (format) {
    case Format::Title:
        return title.toUtf8();
    case Format::Json:
        return QJsonDocument(QJsonObject{{QStringLiteral("remaining"), remaining},
                                         {QStringLiteral("initial"), initial},
                                         {QStringLiteral("name"), name},
                                         {QStringLiteral("running"), running},
                                         {QStringLiteral("title"), title}})
            .toJson(QJsonDocument::Compact);
    case Format::Waybar: {
        const QString times =
            Cli::tr("%1 left of %2")
                .arg(DurationText::countdown(remaining), DurationText::countdown(initial));
        const QString state =
            running ? Cli::tr("Running: %1").arg(times) : Cli::tr("Stopped: %1").arg(times);
        return QJsonDocument(
                   QJsonObject{
                       {QStringLiteral("text"), title},
                       {QStringLiteral("tooltip"), name.isEmpty() ? state : name + u'\n' + state},
                       {QStringLiteral("class"),
                        running ? QStringLiteral("running") : QStringLiteral("stopped")},
                       {QStringLiteral("percentage"), percentElapsed()}})
            .toJson(QJsonDocument::Compact);
    }
    }
    return {};
}

QByteArray TimerStatus::absentLine(Format format) {
    switch (format) {
    case Format::Title:
        return {};
    case Format::Json:
        return QByteArrayLiteral("{}");
    case Format::Waybar:
        return QJsonDocument(
                   QJsonObject{{QStringLiteral("text"), QString()},
                               {QStringLiteral("tooltip"), Cli::tr("Hourlark is not running")},
                               {QStringLiteral("class"), QStringLiteral("stopped")},
                               {QStringLiteral("percentage"), 0}})
            .toJson(QJsonDocument::Compact);
    }
    return {};
}
