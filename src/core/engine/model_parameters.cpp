#include "model_parameters.h"

#include "core/text/number_format.h"

namespace marelos {
namespace {

// Index 0 holds nothing: the tables start with compartment 1.
constexpr CompartmentValues kHalfTimeN2 = {0,     4.0,   8.0,   12.5,  18.5,  27.0,
                                           38.3,  54.3,  77.0,  109.0, 146.0, 187.0,
                                           239.0, 305.0, 390.0, 498.0, 635.0};
constexpr CompartmentValues kHalfTimeHe = {0,     1.51,  3.02,  4.72,  6.99, 10.21,
                                           14.48, 20.53, 29.11, 41.2,  55.2, 70.7,
                                           90.2,  115.2, 147.2, 188.0, 240.0};

struct CoefficientTable {
    CompartmentValues aN2, bN2, aHe, bHe;
};

constexpr CompartmentValues kBN2ZhL16 = {0,      0.505,  0.6514, 0.7222, 0.7825, 0.8126,
                                         0.8434, 0.8693, 0.891,  0.9092, 0.9222, 0.9319,
                                         0.9403, 0.9477, 0.9544, 0.9602, 0.9653};
constexpr CompartmentValues kAHeZhL16 = {0,      1.7424, 1.383,  1.1919, 1.0458, 0.922,
                                         0.8205, 0.7305, 0.6502, 0.595,  0.5545, 0.5333,
                                         0.5189, 0.5181, 0.5176, 0.5172, 0.5119};
constexpr CompartmentValues kBHeZhL16 = {0,      0.4245, 0.5747, 0.6527, 0.7223, 0.7582,
                                         0.7957, 0.8279, 0.8553, 0.8757, 0.8903, 0.8997,
                                         0.9073, 0.9122, 0.9171, 0.9217, 0.9267};

constexpr std::array<CoefficientTable, 4> kCoefficients = {{
    // ZH-L16A
    {{0, 1.2599, 1.0, 0.8618, 0.7562, 0.6667, 0.5933, 0.5282, 0.4701, 0.4187, 0.3798, 0.3497,
      0.3223, 0.2971, 0.2737, 0.2523, 0.2327},
     kBN2ZhL16,
     kAHeZhL16,
     kBHeZhL16},
    // ZH-L16B
    {{0, 1.2599, 1.0, 0.8618, 0.7562, 0.6667, 0.56, 0.4947, 0.45, 0.4187, 0.3798, 0.3497, 0.3223,
      0.285, 0.2737, 0.2523, 0.2327},
     kBN2ZhL16,
     kAHeZhL16,
     kBHeZhL16},
    // ZH-L16C
    {{0, 1.2599, 1.0, 0.8618, 0.7562, 0.62, 0.5043, 0.441, 0.4, 0.375, 0.35, 0.3295, 0.3065, 0.2835,
      0.261, 0.248, 0.2327},
     kBN2ZhL16,
     kAHeZhL16,
     kBHeZhL16},
    // ZH-L12
    {{0, 2.2, 1.5, 1.05, 0.9, 0.75, 0.6, 0.45, 0.43, 0.43, 0.43, 0.43, 0.35, 0.23, 0.23, 0.23,
      0.23},
     {0, 0.82, 0.82, 0.825, 0.8354, 0.845, 0.86, 0.87, 0.89, 0.89, 0.931, 0.931, 0.943, 0.962,
      0.962, 0.962, 0.962},
     {0, 2.2, 1.5, 1.05, 0.9, 0.75, 0.6, 0.45, 0.43, 0.43, 0.47, 0.47, 0.47, 0.47, 0.47, 0.47,
      0.47},
     {0, 0.82, 0.82, 0.825, 0.835, 0.845, 0.86, 0.87, 0.89, 0.9, 0.925, 0.925, 0.925, 0.925, 0.925,
      0.925, 0.925}},
}};

constexpr std::array<const char*, 5> kModelNames = {"", "ZH-L16A", "ZH-L16B", "ZH-L16C", "ZH-L12"};
constexpr std::array<const char*, 6> kProgressivityNames = {
    "", "Sehr konservativ", "Konservativ", "Normal", "Progressiv", "Sehr progressiv"};

void CopyCompartments(CompartmentValues& to, const CompartmentValues& from) {
    for (int c = 1; c <= kLastCompartment; ++c)
        to[c] = from[c];
}

}  // namespace

void LoadHalfTimes(ModelParameters& parameters, int /*model: every model shares them*/) {
    CopyCompartments(parameters.halfTimeN2, kHalfTimeN2);
    CopyCompartments(parameters.halfTimeHe, kHalfTimeHe);
}

void LoadCoefficients(ModelParameters& parameters, int model) {
    if (model < 1 || model > 4) return;
    const CoefficientTable& table = kCoefficients[static_cast<std::size_t>(model - 1)];
    CopyCompartments(parameters.aN2, table.aN2);
    CopyCompartments(parameters.bN2, table.bN2);
    CopyCompartments(parameters.aHe, table.aHe);
    CopyCompartments(parameters.bHe, table.bHe);
}

void ScaleCoefficients(ModelParameters& parameters, double aFactor, double bFactor) {
    for (int c = 0; c <= kLastCompartment; ++c) {
        parameters.aN2[c] = parameters.aN2[c] * aFactor;
        parameters.aHe[c] = parameters.aHe[c] * aFactor;
        parameters.bN2[c] = parameters.bN2[c] * bFactor;
        parameters.bHe[c] = parameters.bHe[c] * bFactor;
    }
}

void MultiplyHalfTimes(ModelParameters& parameters, double factor) {
    for (int c = 1; c <= 10; ++c) {
        parameters.halfTimeN2[c] = parameters.halfTimeN2[c] * factor;
        parameters.halfTimeHe[c] = parameters.halfTimeHe[c] * factor;
    }
}

ModelParameters ModelFromSettings(const Settings& settings) {
    ModelParameters parameters;
    parameters.model = settings.decoModel;
    parameters.timeFactor = ProgressivityTimeFactor(settings.decoMode);
    SetCompartment0(parameters, settings.compartment0, settings.firstCompartment == 0);
    LoadHalfTimes(parameters, parameters.model);
    LoadCoefficients(parameters, parameters.model);
    return parameters;
}

std::string RecalculateCoefficients(ModelParameters& parameters, double aFactor, double bFactor) {
    LoadCoefficients(parameters, parameters.model);
    ScaleCoefficients(parameters, aFactor, bFactor);
    return "a- unb-Faktoren wurden neu berechnet. Faktoren: " + FormatGeneral(aFactor) + " und " +
           FormatGeneral(bFactor);
}

std::string ChangeModel(ModelParameters& parameters, int model) {
    if (model == parameters.model) return {};
    parameters.model = static_cast<std::int16_t>(model);
    LoadCoefficients(parameters, model);
    LoadHalfTimes(parameters, model);
    return "Das Dekompressionsmodell wurde geändert. Es werden nun die Literaturwerte für das "
           "Modell " +
           ModelName(model) +
           " geladen. Etwaige vorher durch den Benutzer vorgenommene Änderungen an "
           "Halbwertszeiten und Übersättigungstoleranzen (a-, b-Werte) gehen verloren und "
           "müssen ggf. neu gesetzt werden.";
}

int SelectProgressivity(ModelParameters& parameters, std::string_view name) {
    for (int mode = 1; mode <= 5; ++mode) {
        if (ProgressivityName(mode) == name) {
            parameters.timeFactor = ProgressivityTimeFactor(mode);
            return mode;
        }
    }
    return 0;
}

void SetCompartment0(ModelParameters& parameters, const Compartment0Values& values, bool use) {
    parameters.halfTimeN2[0] = values.halfTimeN2;
    parameters.aN2[0] = values.aN2;
    parameters.bN2[0] = values.bN2;
    parameters.halfTimeHe[0] = values.halfTimeHe;
    parameters.aHe[0] = values.aHe;
    parameters.bHe[0] = values.bHe;
    parameters.firstCompartment = use ? 0 : 1;
}

std::string ModelName(int model) {
    return model >= 1 && model <= 4 ? kModelNames[static_cast<std::size_t>(model)] : "";
}

std::string ProgressivityName(int decoMode) {
    return decoMode >= 1 && decoMode <= 5 ? kProgressivityNames[static_cast<std::size_t>(decoMode)]
                                          : "";
}

std::string ModelMessage(const ModelParameters& parameters) {
    return "Dekompressionsmodell: " + ModelName(parameters.model);
}

std::string ProgressivityMessage(const ModelParameters& parameters) {
    for (int mode = 1; mode <= 5; ++mode) {
        if (ProgressivityTimeFactor(mode) == parameters.timeFactor) {
            return "Progressivität: " + ProgressivityName(mode);
        }
    }
    return "Progressivität: ";
}

}  // namespace marelos
