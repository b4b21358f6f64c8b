#pragma once

#include <string>

#include "core/profile/dive_profile.h"
#include "core/text/number_format.h"

namespace marelos {

// A line of the profile table as a transcript notes it: depth, t.delta, t.total, N2 %, He %.
inline std::string LineText(const ProfileLine& l) {
    return FormatGeneral(l.depth) + " " + FormatGeneral(l.tDelta) + " " + FormatGeneral(l.tTotal) +
           " " + FormatGeneral(l.n2Percent) + " " + FormatGeneral(l.hePercent);
}

// A point: minute/depth/N2 %/He %.
inline std::string PointText(const ProfilePoint& p) {
    return std::to_string(p.time) + "/" + std::to_string(p.depth) + "/" +
           std::to_string(p.n2Percent) + "/" + FormatGeneral(p.hePercent);
}

}  // namespace marelos
