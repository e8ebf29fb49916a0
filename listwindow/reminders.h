#pragma once

// Upcoming birthdays and anniversaries: every date of the address book that
// falls within the next 30 days, one line each, in the order of the data
// file (a record's birthday before its anniversary). The reminder popup and
// `corvane --upcoming` show the same lines.

#include <QDate>
#include <QString>
#include <array>
#include <optional>
#include <vector>

#include "datafile.h"

namespace corvane {

inline constexpr int kReminderDays = 30;

struct Reminder {
    int recordNumber;
    QString line;  // "Smith, John - birthday in 16 days (Jan 05, 2027)"
};

// The next occurrence of a stored date's month and day, today or later,
// and the days until it, when that is at most 30 days away. Dates of the
// year 1899 or earlier (0 is no date) never qualify. The 29th of February
// falls on the 28th in a year without it.
struct Occurrence {
    QDate date;
    int days;
};
std::optional<Occurrence> upcomingOccurrence(double oleDate, const QDate& today);

// The same, for many dates on one day: the days to every month and day of
// the year are worked out once, so that a whole address book is read at
// the speed of the disk.
class ReminderCalendar {
  public:
    explicit ReminderCalendar(const QDate& today);
    std::optional<Occurrence> occurrence(double oleDate) const;

  private:
    QDate m_today;
    std::array<std::array<qint8, 32>, 13> m_days{};  // by month and day; -1: too far
};

// The reminder line for `name`: the day count without leading zeros, and
// nothing at all for today, as the list has always shown it.
QString reminderLine(const QString& name, bool birthday, const Occurrence& when);

// Appends the reminders of `record` (record number `number`).
void addReminders(const ContactRecord& record, int number, const ReminderCalendar& calendar,
                  std::vector<Reminder>& out);

// Reads the whole data file and returns its reminders in `out`.
StoreStatus collectReminders(DataFile& store, const QDate& today, std::vector<Reminder>& out);

}  // namespace corvane
