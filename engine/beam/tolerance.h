#pragma once

// The allowances of the designer's comparisons. Figures reached along two paths (a sum of
// spans and a multiple of 5 cm, an area and the area it must reach) differ by rounding where
// they are equal in exact arithmetic; each comparison allows one of these so that equal counts
// as equal.
namespace engine::beam {

// Lengths (m, cm), areas (cm2), masses (kg) and the shares of a strength (relative): a demand
// met exactly, a bar exactly as long as the stock, a layer exactly as wide as the space.
inline constexpr double tiny = 1e-9;

// Positions along the beam against the 5 cm grid and the support faces (m): x / 0.05 and the
// sums of the spans carry more rounding than one product.
inline constexpr double onGrid = 1e-7;

// The steel ratio against its limit 0.025, exactly as written.
inline constexpr double ratioTiny = 1e-12;

// Masses of whole arrangements (kg), summed over many bars: lighter only by more than this;
// also the least divisor where a strength may be zero, and a lap's start past the last.
inline constexpr double coarse = 1e-6;

}  // namespace engine::beam
