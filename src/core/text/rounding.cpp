#include "rounding.h"

#include <cmath>
#include <limits>

namespace marelos {
namespace {

template <class T>
T RoundToLimited(double value) {
    if (std::isnan(value)) return 0;
    const double rounded = RoundHalfEven(value);
    if (rounded <= static_cast<double>(std::numeric_limits<T>::min()))
        return std::numeric_limits<T>::min();
    if (rounded >= static_cast<double>(std::numeric_limits<T>::max()))
        return std::numeric_limits<T>::max();
    return static_cast<T>(rounded);
}

}  // namespace

double RoundHalfEven(double value) {
    const double below = Int(value);
    const double fraction = value - below;
    if (fraction < 0.5) return below;
    if (fraction > 0.5) return below + 1.0;
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

std::int16_t RoundToInt16(double value) {
    return RoundToLimited<std::int16_t>(value);
}

std::int32_t RoundToInt32(double value) {
    return RoundToLimited<std::int32_t>(value);
}

double RoundTo(double value, int digits) {
    const double scale = std::pow(10.0, digits);
    return Int(scale * value + 0.05) / scale;
}

}  // namespace marelos
