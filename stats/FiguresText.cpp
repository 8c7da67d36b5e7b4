#include "stats/FiguresText.h"

#include <cstdio>

namespace axlewise {

std::string ShareText(std::int64_t tenths) {
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + "%";
}

std::string PassageText(const Passage& passage) {
    return ClockText(passage.clock);
}

std::string DateText(int year, int month, int day) {
    char text[40];
    std::snprintf(text, sizeof text, "%02d-%02d-%02d", year, month, day);
    return text;
}

std::string TruckNumbersText(const std::vector<TruckRef>& trucks, TruckIndex all) {
    std::string text;
    for (const TruckRef& truck : trucks) {
        text += (text.empty() ? "" : ", ") + std::to_string(truck.number);
    }
    if (all > static_cast<TruckIndex>(trucks.size())) {
        text += ", ...";
    }
    return text;
}

std::string LaneText(const LaneFigures& lane) {
    return "lane " + std::to_string(lane.lane) + ", direction " + std::to_string(lane.direction);
}

std::string PercentilesText(const Percentiles& p) {
    return "min " + std::to_string(p.min) + ", p10 " + std::to_string(p.p10) + ", p50 " +
           std::to_string(p.p50) + ", p90 " + std::to_string(p.p90) + ", max " +
           std::to_string(p.max);
}

}  // namespace axlewise
