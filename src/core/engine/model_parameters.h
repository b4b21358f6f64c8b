#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/settings/settings.h"

namespace marelos {

inline constexpr int kLastCompartment = 16;
using CompartmentValues = std::array<double, kLastCompartment + 1>;  // compartments 0..16

// The compartment model: half-times and supersaturation coefficients of compartments 0 to 16.
// Compartments 1 to 16 carry the literature values of the chosen model; compartment 0 is an
// optional extra compartment with the user's values.
struct ModelParameters {
    CompartmentValues halfTimeN2{};  // min
    CompartmentValues halfTimeHe{};  // min
    CompartmentValues aN2{};         // bar
    CompartmentValues bN2{};
    CompartmentValues aHe{};  // bar
    CompartmentValues bHe{};
    std::int16_t firstCompartment = 1;  // 0 when compartment 0 takes part
    std::int16_t model = 3;             // 1 ZH-L16A, 2 ZH-L16B, 3 ZH-L16C, 4 ZH-L12
    double timeFactor = 1.1;            // the progressivity's multiplier of elapsed time

    bool operator==(const ModelParameters&) const = default;
};

// The half-times of compartments 1 to 16 (the same for every model).
void LoadHalfTimes(ModelParameters& parameters, int model);
// The a and b coefficients of compartments 1 to 16 of a model; a number outside 1..4 changes
// nothing. Compartment 0 is never touched.
void LoadCoefficients(ModelParameters& parameters, int model);
// Every a (N2 and He) times aFactor and every b times bFactor, compartments 0 to 16.
void ScaleCoefficients(ModelParameters& parameters, double aFactor, double bFactor);
// The half-times of compartments 1 to 10 times the factor; 0 and 11 to 16 keep theirs.
void MultiplyHalfTimes(ModelParameters& parameters, double factor);

// The parameter set as the program sets it up at start: model, progressivity, compartment 0 and
// its switch from the settings, then the literature half-times and coefficients of the model.
ModelParameters ModelFromSettings(const Settings& settings);

// "Berechnen" of the options dialog: the literature coefficients scaled by the two factors
// (so scaling twice never compounds), and the message that reports them.
std::string RecalculateCoefficients(ModelParameters& parameters, double aFactor, double bFactor);

// The model chosen in the options dialog. When it differs from the current one, the literature
// values of the new model replace every scaled value and the returned message says so;
// otherwise nothing changes and the message is empty.
std::string ChangeModel(ModelParameters& parameters, int model);

// The progressivity chosen by its name in the options dialog: the first of the five names that
// equals the text sets the time factor; returns its number 1..5, or 0 (and changes nothing)
// when the text matches none.
int SelectProgressivity(ModelParameters& parameters, std::string_view name);

// The options dialog's compartment-0 values and switch.
void SetCompartment0(ModelParameters& parameters, const Compartment0Values& values, bool use);

// "ZH-L16A", "ZH-L16B", "ZH-L16C", "ZH-L12"; "" for any other number.
std::string ModelName(int model);
// "Sehr konservativ" ... "Sehr progressiv" for progressivity 1..5; "" otherwise.
std::string ProgressivityName(int decoMode);

// The two lines the calculation reports: "Dekompressionsmodell: ZH-L16C" and
// "Progressivität: Normal" (the first progressivity whose time factor is the current one).
std::string ModelMessage(const ModelParameters& parameters);
std::string ProgressivityMessage(const ModelParameters& parameters);

}  // namespace marelos
