#pragma once

#include <QObject>
#include <QString>

// The one thing the countdown needs of the status item: a title it can set.
class StatusTitle : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StatusTitle)
public:
    using QObject::QObject;
    virtual QString title() const = 0;
    virtual void setTitle(const QString& title) = 0;
};
