#pragma once

#include <optional>
#include <string_view>

namespace engine {

// The design code a calculation follows. NSR-98 is the default: every figure and text of an
// NSR-98 run stays as it has always been.
enum class DesignCode { Nsr98, Nsr10 };

// "NSR-98" or "NSR-10", as menus, reports and files name the code.
constexpr std::string_view codeName(DesignCode code) {
    return code == DesignCode::Nsr10 ? "NSR-10" : "NSR-98";
}

// The code a name names, written exactly as codeName writes it; none for any other text.
constexpr std::optional<DesignCode> codeFromName(std::string_view name) {
    for (const DesignCode code : {DesignCode::Nsr98, DesignCode::Nsr10}) {
        if (name == codeName(code)) return code;
    }
    return std::nullopt;
}

// kg/cm2 to MPa, for the NSR-10 expressions written in MPa.
inline constexpr double mpaPerKgCm2 = 0.0980665;

// Strain of the concrete at the compression face when the section reaches its strength.
inline constexpr double ultimateConcreteStrain = 0.003;

// Modulus of elasticity of the reinforcing steel, kg/cm2, as each code takes it. NSR-98:
// 2,000,000 kg/cm2 (its expressions' 6000 is 0.003 Es). NSR-10: 200,000 MPa.
constexpr double steelModulus(DesignCode code) {
    return code == DesignCode::Nsr10 ? 200'000 / mpaPerKgCm2 : 2'000'000;
}

// Depth factor of the equivalent rectangular stress block for f'c in kg/cm2, never below 0.65.
// NSR-98: 0.85 up to 280 kg/cm2, less 0.05 per 70 kg/cm2 above.
// NSR-10: 0.85 up to 28 MPa, less 0.05 per 7 MPa above.
double beta1(DesignCode code, double fc);

// Minimum tension steel ratio for f'c and Fy in kg/cm2.
// NSR-98: max(0.8 sqrt(f'c) / Fy, 14 / Fy) in kg/cm2.
// NSR-10: max(0.25 sqrt(f'c) / Fy, 1.4 / Fy) in MPa.
double minimumSteelRatio(DesignCode code, double fc, double fy);

namespace nsr98 {

// 0.003 Es, kg/cm2: the 6000 of the NSR-98 expressions for the balanced ratio.
inline constexpr double ultimateSteelStress =
    ultimateConcreteStrain * steelModulus(DesignCode::Nsr98);
static_assert(ultimateSteelStress == 6000);

// The NSR-98 design's stress-block factor alfa for f'c in kg/cm2: 0.7225 up to 280, less 0.04 per
// 70 above, kept at its 560 value beyond (where beta 1 reaches its floor of 0.65).
double blockFactor(double fc);

}  // namespace nsr98

}  // namespace engine
