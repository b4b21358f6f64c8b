#pragma once

#include <optional>
#include <string>
#include <vector>

namespace marelos {

// A dive log as the exchange format holds it, in its own units: seconds, metres, Kelvin and
// gas fractions. The reader fills it from a file and the writer writes it; turning it into a
// profile and back is the work of uddf_import and uddf_export.

// A breathing gas of the log: fractions of oxygen, nitrogen, helium and the rest (argon).
struct UddfMix {
    std::string id;
    std::string name;
    double o2 = 0.21;
    double n2 = 0.79;
    double he = 0;
    double ar = 0;
};

// A point of the recorded or planned dive; `switchMix` names the mix breathed from here on.
struct UddfWaypoint {
    double seconds = 0;
    double depth = 0;
    std::string switchMix;
    std::optional<double> temperature;  // Kelvin
};

struct UddfDive {
    std::string id;
    std::string number;    // the diver's dive number, as written
    std::string dateTime;  // ISO 8601, "2024-05-18T09:42:00"
    std::string site;      // the name of the site the dive links to
    std::string buddy;     // the names of the buddies the dive links to
    std::string notes;
    std::optional<double> airTemperature;     // Kelvin
    std::optional<double> lowestTemperature;  // Kelvin, of the water
    std::vector<UddfWaypoint> waypoints;
};

struct UddfLog {
    std::vector<UddfMix> mixes;
    std::vector<UddfDive> dives;
};

}  // namespace marelos
