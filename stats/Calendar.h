#pragma once

namespace axlewise {

// Calendar days of the two-digit YEAR field. YEAR 0..99 stands for 2000..2099,
// where every fourth year, 0 included, is a leap year; no other YEAR is a
// calendar year.

// Days in the month (1..12) of the year (0..99); 0 when either is out of range.
int DaysInMonth(int year, int month);

// Whether the fields name a day of the calendar: YEAR 0..99, MONTH 1..12 and
// DAY 1..DaysInMonth.
bool IsCalendarDate(int year, int month, int day);

// Days since YEAR 0, 1 January, for a calendar date (0 for 00-01-01, 31 for
// 00-02-01, 366 for 01-01-01). Consecutive days have consecutive numbers, so a
// day axis is linear. Undefined for dates that are not calendar dates.
int DayNumber(int year, int month, int day);

struct CalendarDate {
    int year = 0;
    int month = 1;
    int day = 1;
};

// The date of a day number (inverse of DayNumber), for 0..36524.
CalendarDate DateOfDayNumber(int number);

}  // namespace axlewise
