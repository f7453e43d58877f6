#include "Period.h"

#include "Ids.h"

#include <QDateTime>
#include <QRegularExpression>

namespace ecr::reports {

Period DaysPeriod(QDate first, QDate last) {
    return {first.toString(QStringLiteral("yyyy-MM-dd")).toStdString() + " 00:00:00",
            last.toString(QStringLiteral("yyyy-MM-dd")).toStdString() + " 23:59:59"};
}

Period TodayPeriod() {
    const QDate today = QDate::currentDate();
    return DaysPeriod(today, today);
}

std::pair<QDate, QDate> PresetDays(Preset preset, QDate today) {
    const QDate monday = today.addDays(1 - today.dayOfWeek());
    const QDate firstOfMonth(today.year(), today.month(), 1);
    switch (preset) {
    case Preset::Today: return {today, today};
    case Preset::Yesterday: return {today.addDays(-1), today.addDays(-1)};
    case Preset::ThisWeek: return {monday, monday.addDays(6)};
    case Preset::LastWeek: return {monday.addDays(-7), monday.addDays(-1)};
    case Preset::ThisMonth: return {firstOfMonth, firstOfMonth.addMonths(1).addDays(-1)};
    case Preset::LastMonth: return {firstOfMonth.addMonths(-1), firstOfMonth.addDays(-1)};
    }
    return {today, today};
}

int PresetCaptionId(Preset preset) {
    switch (preset) {
    case Preset::Today: return msg::PresetToday;
    case Preset::Yesterday: return msg::PresetYesterday;
    case Preset::ThisWeek: return msg::PresetThisWeek;
    case Preset::LastWeek: return msg::PresetLastWeek;
    case Preset::ThisMonth: return msg::PresetThisMonth;
    case Preset::LastMonth: return msg::PresetLastMonth;
    }
    return msg::PresetToday;
}

std::optional<std::string> ParseReportTime(std::string_view text, bool endOfDay) {
    static const QRegularExpression re(
        QStringLiteral(R"(^(\d{4})-(\d{2})-(\d{2})(?: (\d{2}):(\d{2}):(\d{2}))?$)"));
    const auto m = re.match(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    if (!m.hasMatch()) return std::nullopt;
    const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    if (!date.isValid()) return std::nullopt;
    if (m.captured(4).isEmpty()) return std::string(text) + (endOfDay ? " 23:59:59" : " 00:00:00");
    if (!QTime::isValid(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt())) return std::nullopt;
    return std::string(text);
}

} // namespace ecr::reports
