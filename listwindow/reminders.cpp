#include "reminders.h"

#include "oledate.h"
#include "recordtext.h"

namespace corvane {
namespace {

// The date with `month` and `day` in `year`; the 29th of February of a
// year without it is the 28th, so that its reminder still comes, on time.
QDate inYear(int year, int month, int day) {
    const QDate date(year, month, day);
    return date.isValid() ? date : QDate(year, month, 28);
}

}  // namespace

std::optional<Occurrence> upcomingOccurrence(double oleDate, const QDate& today) {
    return ReminderCalendar(today).occurrence(oleDate);
}

ReminderCalendar::ReminderCalendar(const QDate& today) : m_today(today) {
    for (auto& month : m_days) {
        month.fill(-1);
    }
    // Every month and day of a leap year, so that the 29th of February has
    // its place too.
    for (QDate day(2000, 1, 1); day.year() == 2000; day = day.addDays(1)) {
        QDate next = inYear(today.year(), day.month(), day.day());
        if (next < today) {
            next = inYear(today.year() + 1, day.month(), day.day());
        }
        const auto days = today.daysTo(next);
        if (days >= 0 && days <= kReminderDays) {
            m_days[day.month()][day.day()] = static_cast<qint8>(days);
        }
    }
}

std::optional<Occurrence> ReminderCalendar::occurrence(double oleDate) const {
    const std::optional<DateTimeParts> stored = oleToDateTime(oleDate);
    if (!stored || stored->year <= 1899) {
        return std::nullopt;
    }
    const int days = m_days[stored->month][stored->day];
    if (days < 0) {
        return std::nullopt;
    }
    return Occurrence{m_today.addDays(days), days};
}

QString reminderLine(const QString& name, bool birthday, const Occurrence& when) {
    const double ole =
        oleFromDateTime({when.date.year(), when.date.month(), when.date.day(), 0, 0, 0});
    return name +
           (birthday ? QStringLiteral(" - birthday in ") : QStringLiteral(" - anniversary in ")) +
           (when.days == 0 ? QString() : QString::number(when.days)) + QStringLiteral(" days (") +
           formatRecordDate(ole) + u')';
}

void addReminders(const ContactRecord& record, int number, const ReminderCalendar& calendar,
                  std::vector<Reminder>& out) {
    for (const bool birthday : {true, false}) {
        const auto when =
            calendar.occurrence(record.date(birthday ? Field::Birthday : Field::Anniversary));
        if (when) {
            out.push_back(
                {number, reminderLine(recordText(record, Field::FullName), birthday, *when)});
        }
    }
}

StoreStatus collectReminders(DataFile& store, const QDate& today, std::vector<Reminder>& out) {
    const ReminderCalendar calendar(today);
    return store.UseDataFile([&] {
        for (int i = 1; i <= store.RecordCount(); ++i) {
            if (StoreStatus read = store.ReadRecord(i); !read.ok()) {
                return read;
            }
            addReminders(store.CurrentRecord(), i, calendar, out);
        }
        return StoreStatus::success();
    });
}

}  // namespace corvane
