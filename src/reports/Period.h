// The period of a report: two stored-time texts "yyyy-MM-dd hh:mm:ss",
// both ends included. The journal's time column holds the same text, so
// text order is time order and the ends bind as plain values.
#pragma once

#include <QDate>

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace ecr::reports {

struct Period {
    std::string start;
    std::string end;
};

// From 00:00:00 of the first day to 23:59:59 of the last.
Period DaysPeriod(QDate first, QDate last);
// Today, the default of every report.
Period TodayPeriod();

// The presets beside the period pickers. Weeks start on Monday.
enum class Preset { Today, Yesterday, ThisWeek, LastWeek, ThisMonth, LastMonth };
inline constexpr Preset kPresets[] = {Preset::Today,    Preset::Yesterday, Preset::ThisWeek,
                                      Preset::LastWeek, Preset::ThisMonth, Preset::LastMonth};
std::pair<QDate, QDate> PresetDays(Preset preset, QDate today);
// Catalogue id of the preset's name.
int PresetCaptionId(Preset preset);

// "YYYY-MM-DD" or "YYYY-MM-DD HH:MM:SS" as a stored time; a date alone means
// 00:00:00, or 23:59:59 when endOfDay. Nothing for any other text or a date
// or time that does not exist.
std::optional<std::string> ParseReportTime(std::string_view text, bool endOfDay);

} // namespace ecr::reports
