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

// Depth factor of the equivalent rectangular stress block for f'c in kg/cm2, never below 0.65.
// NSR-98: 0.85 up to 280 kg/cm2, less 0.05 per 70 kg/cm2 above.
// NSR-10: 0.85 up to 28 MPa, less 0.05 per 7 MPa above.
double beta1(DesignCode code, double fc);

// Minimum tension steel ratio for f'c and Fy in kg/cm2.
// NSR-98: max(0.8 sqrt(f'c) / Fy, 14 / Fy) in kg/cm2.
// NSR-10: max(0.25 sqrt(f'c) / Fy, 1.4 / Fy) in MPa.
double minimumSteelRatio(DesignCode code, double fc, double fy);

}  // namespace engine
