#pragma once

#include <string>

namespace marelos {

// The name a downloaded or imported dive is stored under, without ".mrp":
// "Tauchgang 2003-Juli-12 14 Uhr 05" (four-digit year, German month name, two-digit day).
std::string DatedDiveName(int year, int month, int day, int hour, int minute);

}  // namespace marelos
