#include "core/engine/model_parameters.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "tests/core/engine/outputs_test_support.h"
#include "tests/fakes/transcript.h"

namespace marelos {
namespace {

ModelParameters FreshModel(int decoModel = 3) {
    Settings settings;
    settings.decoModel = static_cast<std::int16_t>(decoModel);
    return ModelFromSettings(settings);
}

// Half-time, a and b of N2 and He of every compartment, then the time factor.
std::string Table(const ModelParameters& m) {
    std::string out;
    char line[160];
    for (int c = 0; c <= kLastCompartment; ++c) {
        std::snprintf(line, sizeof line, "%d\t%.10g %.10g %.10g\t%.10g %.10g %.10g\n", c,
                      m.halfTimeN2[c], m.aN2[c], m.bN2[c], m.halfTimeHe[c], m.aHe[c], m.bHe[c]);
        out += line;
    }
    return out + "first " + std::to_string(m.firstCompartment) + " time factor " +
           std::to_string(m.timeFactor) + "\n";
}

// The literature tables of the four models (compartment 0 with its defaults), and what each
// change leaves, compared with tests/data/model_parameters.txt: changing the model loads its
// table and says so once; scaling starts from the literature values every time except for
// compartment 0, which scales its own; multiplying the half-times leaves compartments 0 and
// 11 to 16 and has no reset in between; a model outside 1 to 4 changes nothing.
TEST(ModelParameters, TablesAndChangesAgainstTheirGoldenFile) {
    std::string out;
    for (int model = 1; model <= 4; ++model)
        out += "## " + ModelMessage(FreshModel(model)) + "\n" + Table(FreshModel(model));
    ModelParameters model = FreshModel(3);
    MultiplyHalfTimes(model, 2);
    out += "## ZH-L16C, half-times times 2, then ZH-L16A: " + ChangeModel(model, 1) + "\n";
    out += "## and again: " + ChangeModel(model, 1) + "\n" + Table(model);
    model = FreshModel(3);
    model.aN2[0] = 0.3;
    RecalculateCoefficients(model, 1.1, 1.1);
    out +=
        "## compartment 0 a 0.3, " + RecalculateCoefficients(model, 1.1, 0.9) + "\n" + Table(model);
    RecalculateCoefficients(model, 1, 1);
    LoadCoefficients(model, 7);
    out += "## factors 1 and 1, model 7\n" + Table(model);
    model = FreshModel();
    MultiplyHalfTimes(model, 2);
    MultiplyHalfTimes(model, 2);
    out += "## half-times times 2 twice\n" + Table(model);
    LoadHalfTimes(model, 3);
    out += "## half-times loaded\n" + Table(model);
    ExpectGolden("model_parameters.txt", out);
}

// A name that matches none (small letters) changes nothing.
TEST(ModelParameters, ProgressivityNamesFollowTheTimeFactor) {
    Transcript t;
    ModelParameters model = FreshModel();
    for (int mode = 1; mode <= 5; ++mode) {
        model.timeFactor = ProgressivityTimeFactor(mode);
        t.Note("mode " + std::to_string(mode), ProgressivityMessage(model));
    }
    for (const char* name : {"Konservativ", "konservativ"}) {
        const int mode = SelectProgressivity(model, name);
        t.Note(name, mode, model.timeFactor);
    }
}

}  // namespace
}  // namespace marelos
