#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>
#include <variant>

// Ultimate-strength flexural design of a rectangular reinforced-concrete section,
// units kg, cm and tonne-force.
namespace engine {

// Strength reduction factor for flexure.
inline constexpr double phi = 0.9;

struct DesignInput {
    double b = 0;        // width, cm
    double h = 0;        // total height, cm
    double dPrime = 0;   // tension face to tension steel centroid (cover), cm
    double fc = 0;       // concrete compressive strength f'c, kg/cm2
    double fy = 0;       // steel yield stress, kg/cm2
    double mu = 0;       // factored moment, Tn-m
    double dSecond = 0;  // compression face to compression steel centroid, cm
    bool operator==(const DesignInput&) const = default;
};

// One of the seven inputs as every part of the program names it.
struct InputInfo {
    std::string_view key;     // in project files and beam schedules: "cover"
    std::string_view symbol;  // "d'"
    std::string_view name;    // the calculation sheet's name, before the symbol: "Recubrimiento"
    // In messages about a project file's value: "recubrimiento del acero a tensión".
    std::string_view description;
    std::string_view unit;  // "cm"
    double DesignInput::*value;
};

// The seven inputs in the order the window, project files and beam schedules list them:
// b, h, d', f'c, Fy, Mu, d''.
inline constexpr std::array<InputInfo, 7> inputs{{
    {"b", "b", "Ancho", "ancho", "cm", &DesignInput::b},
    {"h", "h", "Altura", "alto", "cm", &DesignInput::h},
    {"cover", "d'", "Recubrimiento", "recubrimiento del acero a tensión", "cm",
     &DesignInput::dPrime},
    {"fc", "f'c", "Resistencia del concreto", "resistencia del concreto", "kg/cm2",
     &DesignInput::fc},
    {"fy", "Fy", "Fluencia del acero", "fluencia del acero", "kg/cm2", &DesignInput::fy},
    {"mu", "Mu", "Momento último", "momento último", "Tn-m", &DesignInput::mu},
    {"cover2", "d''", "Recubrimiento", "recubrimiento del acero a compresión", "cm",
     &DesignInput::dSecond},
}};

// The values of the seven inputs in the order of `inputs`.
using InputValues = std::array<double, inputs.size()>;
constexpr DesignInput designInput(const InputValues& v) {
    DesignInput input;
    for (std::size_t i = 0; i < inputs.size(); ++i) input.*inputs[i].value = v[i];
    return input;
}

enum class SectionKind { Singly, Doubly };

// The NSR-98 design (chapter C-3): the generic names of the first code the program followed.
namespace nsr98 {

struct DesignResult {
    double d = 0;   // effective depth, cm
    double m = 0;   // Fy / (0.85 f'c)
    double ku = 0;  // Mu / (b d^2), Tn/cm2
    double alfa = 0;
    double beta = 0;
    double rho = 0;  // required steel ratio
    double rhoMax = 0;
    double rhoB = 0;  // balanced
    double rhoMin = 0;
    double kMax = 0;    // Tn/cm2
    double mMax = 0;    // Tn-m
    double deltaM = 0;  // Mu - Mmax, Tn-m
    SectionKind kind = SectionKind::Singly;
    double as = 0;       // tension steel area, cm2
    double asPrime = 0;  // compression steel area, cm2 (doubly reinforced only, else 0)
};

}  // namespace nsr98

enum class DesignError {
    Cover,           // h - d' <= 0
    EffectiveDepth,  // doubly reinforced and the compression steel cannot work
    Arithmetic,      // an input or a result is not a finite number
    InvalidInput,    // b <= 0, f'c <= 0, Fy <= 0, d' < 0, d'' < 0 or Mu < 0
};

// The message the user reads for `error`, the same in the window and on the command line.
std::string_view designErrorMessage(DesignError error);

// The message for a field that holds no number.
inline constexpr std::string_view notANumberMessage =
    "Se ha generado un error, por favor ingrese valores numericos al programa";

// What is wrong with the inputs before any arithmetic, checked in this order: an input that is
// not finite (Arithmetic), h - d' <= 0 (Cover), then the impossible inputs (InvalidInput).
// None when the design can go ahead.
std::optional<DesignError> inputError(const DesignInput& input);

namespace nsr98 {

using DesignOutcome = std::variant<DesignResult, DesignError>;

// The inputs are checked by inputError first. Above f'c = 560 kg/cm2 the stress-block factors keep
// their 560 values, the floor of 0.65 on beta 1.
DesignOutcome design(const DesignInput& input);

}  // namespace nsr98

}  // namespace engine
