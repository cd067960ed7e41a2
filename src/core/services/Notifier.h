#pragma once

#include <QString>

// Posts a desktop notification with the desktop's event sound.
class Notifier {
public:
    virtual ~Notifier() = default;
    virtual void notify(const QString& title, const QString& body) = 0;
};
