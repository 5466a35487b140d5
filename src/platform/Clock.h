#pragma once

#include <QDate>
#include <QString>
#include <QTime>

namespace kestrana {

// Today's date and the time of day; tests fix them.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDate today() const = 0;
    virtual QTime now() const = 0;
};

class SystemClock : public Clock {
public:
    QDate today() const override { return QDate::currentDate(); }
    QTime now() const override { return QTime::currentTime(); }
};

class FixedClock : public Clock {
public:
    FixedClock(QDate date, QTime time) : date_(date), time_(time) {}
    QDate today() const override { return date_; }
    QTime now() const override { return time_; }
    void set(QDate date, QTime time) {
        date_ = date;
        time_ = time;
    }

private:
    QDate date_;
    QTime time_;
};

// Year, month and day with hyphens, zero-padded: 2007-03-05.
QString todayString(QDate date);

} // namespace kestrana
