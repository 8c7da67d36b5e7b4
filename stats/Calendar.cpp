#include "stats/Calendar.h"

namespace axlewise {

namespace {

constexpr int kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

bool IsLeap(int year) {
    return year % 4 == 0;
}

int DaysInYear(int year) {
    return IsLeap(year) ? 366 : 365;
}

}  // namespace

int DaysInMonth(int year, int month) {
    if (year < 0 || year > 99 || month < 1 || month > 12) {
        return 0;
    }
    return kMonthDays[month - 1] + (month == 2 && IsLeap(year) ? 1 : 0);
}

bool IsCalendarDate(int year, int month, int day) {
    return day >= 1 && day <= DaysInMonth(year, month);
}

int DayNumber(int year, int month, int day) {
    // Leap days of the years before: years 0, 4, ... below `year`.
    int number = 365 * year + (year + 3) / 4;
    for (int m = 1; m < month; ++m) {
        number += DaysInMonth(year, m);
    }
    return number + day - 1;
}

CalendarDate DateOfDayNumber(int number) {
    CalendarDate date;
    while (date.year < 99 && number >= DaysInYear(date.year)) {
        number -= DaysInYear(date.year);
        ++date.year;
    }
    while (date.month < 12 && number >= DaysInMonth(date.year, date.month)) {
        number -= DaysInMonth(date.year, date.month);
        ++date.month;
    }
    date.day = number + 1;
    return date;
}

}  // namespace axlewise
