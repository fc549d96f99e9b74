#include "engine/code.h"

#include <algorithm>
#include <cmath>

namespace engine {

double beta1(DesignCode code, double fc) {
    double value = 0.85;
    if (code == DesignCode::Nsr10) {
        const double fcMpa = fc * mpaPerKgCm2;
        if (fcMpa > 28) value = 0.85 - 0.05 * (fcMpa - 28) / 7;
    } else if (fc > 280) {
        value = 0.85 - 0.05 * (fc - 280) / 70;
    }
    return std::max(value, 0.65);
}

double minimumSteelRatio(DesignCode code, double fc, double fy) {
    if (code == DesignCode::Nsr10) {
        const double fcMpa = fc * mpaPerKgCm2;
        const double fyMpa = fy * mpaPerKgCm2;
        return std::max(0.25 * std::sqrt(fcMpa) / fyMpa, 1.4 / fyMpa);
    }
    return std::max(0.8 * std::sqrt(fc) / fy, 14 / fy);
}

namespace nsr98 {

double blockFactor(double fc) {
    const double fcFactors = fc > 560 ? 560 : fc;
    return fcFactors > 280 ? 0.7225 - (fcFactors - 280) * 0.04 / 70 : 0.7225;
}

}  // namespace nsr98

}  // namespace engine
