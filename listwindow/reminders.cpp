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
    const std::optional<DateTimeParts> stored = oleToDateTime(oleDate);
    if (!stored || stored->year <= 1899) {
        return std::nullopt;
    }
    QDate next = inYear(today.year(), stored->month, stored->day);
    if (next < today) {
        next = inYear(today.year() + 1, stored->month, stored->day);
    }
    const auto days = static_cast<int>(today.daysTo(next));
    if (days < 0 || days > kReminderDays) {
        return std::nullopt;
    }
    return Occurrence{next, days};
}

QString reminderLine(const QString& name, bool birthday, const Occurrence& when) {
    const double ole =
        oleFromDateTime({when.date.year(), when.date.month(), when.date.day(), 0, 0, 0});
    return name +
           (birthday ? QStringLiteral(" - birthday in ") : QStringLiteral(" - anniversary in ")) +
           (when.days == 0 ? QString() : QString::number(when.days)) + QStringLiteral(" days (") +
           formatRecordDate(ole) + u')';
}

void addReminders(const ContactRecord& record, int number, const QDate& today,
                  std::vector<Reminder>& out) {
    for (const bool birthday : {true, false}) {
        const auto when =
            upcomingOccurrence(record.date(birthday ? Field::Birthday : Field::Anniversary), today);
        if (when) {
            out.push_back(
                {number, reminderLine(recordText(record, Field::FullName), birthday, *when)});
        }
    }
}

StoreStatus collectReminders(DataFile& store, const QDate& today, std::vector<Reminder>& out) {
    if (StoreStatus opened = store.OpenDataFile(); !opened.ok()) {
        return opened;
    }
    for (int i = 1; i <= store.RecordCount(); ++i) {
        if (StoreStatus read = store.ReadRecord(i); !read.ok()) {
            (void)store.CloseDataFile();
            return read;
        }
        addReminders(store.CurrentRecord(), i, today, out);
    }
    return store.CloseDataFile();
}

}  // namespace corvane
