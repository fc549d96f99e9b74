#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/beam/beam.h"

// The texts of a continuous beam's design: the bar schedule as a terminal or a sheet shows it
// (Spanish, numbers with the decimal separator passed in) and the whole design as JSON.
namespace engine::beam {

// A mark's shape: "recta", "gancho 90° izq.", "gancho 90° der." or "2 ganchos 90°"; the
// schedule gives the hooks' leg and bend in columns of their own.
std::string shapeText(const BarMark& mark);

// A zone's kind as the JSON names it: "confinamiento", "traslapo" or "resto".
std::string_view zoneKindName(ZoneKind kind);

// The stirrup zones of each span as the site reads them, one line a span (and one for its
// crossties): "Vano 1: E1 N° 3: 1 a 0.05, 11 a 0.10, resto a 0.20 (cada extremo)".
std::vector<std::string> zoneLines(const BeamDesign& design, char decimalSeparator);

// The schedule's heading, two lines without their LF: the beam's name, its spans, code, class
// and overall length; its section, materials and the placing assumed (clear cover, stirrup,
// largest aggregate).
std::vector<std::string> scheduleHeading(const BeamDesign& design, char decimalSeparator);

// The schedule, one LF-ended line each: the heading; the bars
// (Marca, Barra, Cantidad, Forma, Longitud (m), Masa (kg), then the face, layer and the ends of
// the straight part); the stirrup marks as bent and cut and each span's zones (zoneLines); the
// mass per bar size (stirrups included) and in total, the stirrups' share, the concrete of the
// spans and the steel per m3; the steel, the strengths and the shear at each support face;
// every check with "Cumple" or "No cumple" (composed with the same separator); the notes.
std::string scheduleText(const BeamDesign& design, char decimalSeparator);

// The design as one JSON object and a LF: name, code, class, length, faces (with the shear ve,
// vc, phi_vn), bars, stirrups {mark, bar, legs, count, width, height, hook, length, mass},
// zones {span, mark, kind, start, end, spacing, count}, profile (with vu, phi_vn), checks
// (with the article), mass {total, stirrups, by_bar}, concrete, passes. Lengths along the beam
// in m (bar depths, stirrup dimensions and spacings in cm), areas in cm2, moments in Tn-m and
// shears in Tn as magnitudes, masses in kg; numbers in their shortest round-trip text with a
// point, null for one that is not finite; `span` and `x` of a check null when it has none, its
// `text` the full line with a point.
std::string designJson(const BeamDesign& design);

}  // namespace engine::beam
