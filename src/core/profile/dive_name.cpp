#include "core/profile/dive_name.h"

#include <array>

#include "core/text/number_format.h"

namespace marelos {

namespace {
constexpr std::array<const char*, 12> kMonthNames = {
    "Januar", "Februar", "März",      "April",   "Mai",      "Juni",
    "Juli",   "August",  "September", "Oktober", "November", "Dezember"};
}  // namespace

std::string DatedDiveName(int year, int month, int day, int hour, int minute) {
    // A month byte outside 1..12 (a damaged memory) still gives a usable, distinct name.
    const std::string monthName = month >= 1 && month <= 12
                                      ? kMonthNames[static_cast<std::size_t>(month - 1)]
                                      : PadZero(month, 2);
    return "Tauchgang " + PadZero(year, 4) + "-" + monthName + "-" + PadZero(day, 2) + " " +
           PadZero(hour, 2) + " Uhr " + PadZero(minute, 2);
}

}  // namespace marelos
