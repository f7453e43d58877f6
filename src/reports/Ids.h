// Catalogue ids of the reports' own texts.
#pragma once

namespace ecr::reports::msg {

inline constexpr int StartTime = 111095;
inline constexpr int EndTime = 111096;
inline constexpr int NoData = 111193;
inline constexpr int MessageTitle = 111115;
inline constexpr int ExportDone = 111196;
inline constexpr int DepartZero = 111629;

inline constexpr int PresetToday = 120300;
inline constexpr int PresetYesterday = 120301;
inline constexpr int PresetThisWeek = 120302;
inline constexpr int PresetLastWeek = 120303;
inline constexpr int PresetThisMonth = 120304;
inline constexpr int PresetLastMonth = 120305;
inline constexpr int HourlyTitle = 120306;
inline constexpr int Hour = 120307;
inline constexpr int HourlyChart = 120308;
inline constexpr int DepartmentChart = 120309;
inline constexpr int Top25Chart = 120310;
inline constexpr int PageOf = 120311;          // "Page %1 of %2"
inline constexpr int DepartRequired = 120312;
inline constexpr int NothingToPrint = 120313;
inline constexpr int FitWidth = 120314;
inline constexpr int WholePage = 120315;
inline constexpr int Presets = 120316;         // label of the preset list
inline constexpr int CannotWrite = 120317;     // "Cannot write %1: %2"
inline constexpr int SummaryItem = 120318;
inline constexpr int SummaryValue = 120319;

} // namespace ecr::reports::msg
