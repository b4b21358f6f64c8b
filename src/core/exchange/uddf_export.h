#pragma once

#include <string>
#include <vector>

#include "core/exchange/uddf_dive.h"
#include "core/profile/dive_comment.h"
#include "core/profile/dive_profile.h"

namespace marelos {

// The mix a profile line breathes: the oxygen the calculation derives (99 - N2 - He), the
// nitrogen and helium of the line, and the 1 % the program leaves to the other gases as argon.
UddfMix MixOfLine(double n2Percent, double hePercent);

// The current profile as one dive of a log: a waypoint at the start and at the end of every
// line of the line table (the lines the profile file gets), then the `decompression` lines
// (profile-file lines of the computed decompression phase, may be empty), each mix defined
// once and switched to at the waypoint where the first line that breathes it begins. Date,
// time, number, site, buddy, notes and temperatures come from the comment where it holds them.
UddfLog ExportLog(const DiveProfile& profile, const std::vector<std::string>& decompression,
                  const CommentFields& comment);

}  // namespace marelos
