#pragma once

#include <QRectF>

#include "engine/beam/beam.h"
#include "engine/drawing/beamdrawing.h"

class QPainter;

// The despiece drawn with QPainter, for the screen, the printer and PDF alike. Every function
// draws as vectors inside `area`, with the painter's font for its texts, and draws nothing when
// the area or the beam has no size. The elevation, sections and schedule come from the same
// geometry the DXF file is written from (engine/drawing).
namespace beampainting {

// Any geometry, fitted into the area with one scale for x and y, y upwards.
void paintDrawing(QPainter& painter, const QRectF& area, const engine::drawing::Drawing& drawing);

// The elevation: lengths to scale, the height exaggerated as far as the area needs for the beam
// to be readable (the drawing says by how much), texts at the painter's font size. On paper (a
// printer or a PDF) its note states the scale the lengths come out at ("escala 1:87").
void paintElevation(QPainter& painter, const QRectF& area, const engine::beam::BeamDesign& design,
                    const engine::beam::BeamInput& input, char decimalSeparator);

// The part of the elevation from `from` to `to` (m along the beam), for a beam drawn over
// several pages: lines clipped at the area's edges, labels kept inside it.
void paintElevationPart(QPainter& painter, const QRectF& area,
                        const engine::beam::BeamDesign& design,
                        const engine::beam::BeamInput& input, char decimalSeparator, double from,
                        double to);

// The sections at every support and midspan, to scale, side by side.
void paintSections(QPainter& painter, const QRectF& area, const engine::beam::BeamDesign& design,
                   const engine::beam::BeamInput& input, char decimalSeparator);

// The bar schedule as a ruled table, stirrups included, with the masses under it and the
// bending shapes under them.
void paintSchedule(QPainter& painter, const QRectF& area, const engine::beam::BeamDesign& design,
                   char decimalSeparator);

// Every mark's bending shape with its measures, a sketch a mark, in as many columns as fit.
void paintBendingShapes(QPainter& painter, const QRectF& area,
                        const engine::beam::BeamDesign& design, char decimalSeparator);

// Mu− and Mu+ along the beam (negative moments above the axis, as drawn on the tension side)
// with φMn of the bars provided as step lines, the supports marked on the axis, axes in m and
// Tn-m, and a legend. When the design has its shear, the shear diagram (paintShear) takes the
// lower part of the area.
void paintEnvelope(QPainter& painter, const QRectF& area, const engine::beam::BeamDesign& design,
                   char decimalSeparator);

// Vu along the beam with φVn of the stirrups, both magnitudes in Tn, the supports shaded, axes
// and a legend.
void paintShear(QPainter& painter, const QRectF& area, const engine::beam::BeamDesign& design,
                char decimalSeparator);

}  // namespace beampainting
