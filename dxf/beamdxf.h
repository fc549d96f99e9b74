#pragma once

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "engine/beam/beam.h"
#include "engine/drawing/beamdrawing.h"

// The despiece of a designed beam as a DXF drawing for CAD: the elevation at true scale, the
// sections at every support and midspan, and the bar schedule, from the same geometry the
// windows and the PDF draw (engine/drawing). Units cm ($INSUNITS 5, 1 drawing unit = 1 cm);
// layers CONCRETO, REFUERZO, ESTRIBOS, COTAS, TEXTO and ACHURADO; each bar mark of the
// elevation one polyline on REFUERZO whose length is the length of one bar as cut, written in
// the order of the schedule; texts as TEXT entities in the text style QUINTARAL; dimensions as
// DIMENSION entities on COTAS, each with the block of its lines and text.
namespace dxfexport {

// Writes the drawing at `path` through a temporary file beside it (a new name, made without
// following links, with the permissions of the file it replaces) that replaces it only once
// complete, so that a failure or a signal leaves no partial file and any older file whole. A
// symbolic link's file is replaced, not the link; a device or a pipe is written directly; a
// read-only file is refused. Returns an empty text on success, otherwise the message for the
// user, in Spanish. `info` gives the title block what the beam does not know.
std::string writeBeamDxf(const std::string& path, const engine::beam::BeamDesign& design,
                         const engine::beam::BeamInput& input, char decimalSeparator = '.',
                         const engine::drawing::SheetInfo& info = {});

// A beam of a building's drawing: its design and the beam as typed, named as its sheet is titled.
struct SheetBeam {
    engine::beam::BeamDesign design;
    engine::beam::BeamInput input;
};

// Several beams in one drawing, each beam's whole sheet below the one before and headed by the
// beam's name, written as writeBeamDxf writes one.
std::string writeBeamsDxf(const std::string& path, const std::vector<SheetBeam>& beams,
                          char decimalSeparator = '.',
                          const engine::drawing::SheetInfo& info = {});

// Beams' names as file names: letters, digits, blanks and "-_.()=" kept, anything else "_",
// never starting with a dot; a name taken before (in any letter case) gets " (2)", " (3)", ...
class FileNames {
  public:
    std::string take(std::string_view name);

  private:
    std::set<std::string> taken_;
};

}  // namespace dxfexport
