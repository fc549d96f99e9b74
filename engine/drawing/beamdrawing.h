#pragma once

#include <string>
#include <vector>

#include "engine/beam/barschedule.h"
#include "engine/beam/beam.h"

// The despiece of a designed beam as plain geometry, computed once and drawn by every output:
// the screen and the PDF paint it with QPainter, the DXF writer writes it entity by entity.
// Units are cm in the drawing's own plane, x to the right and y upwards; 1 unit = 1 cm when the
// vertical scale is 1, which is how the DXF file is written.
namespace engine::drawing {

// What an entity means; each output styles it and the DXF file names its layer after it.
enum class Layer { Concrete, Reinforcement, Stirrups, Dimensions, Text, Hatch };

// The DXF layer name: "CONCRETO", "REFUERZO", "ESTRIBOS", "COTAS", "TEXTO", "ACHURADO".
const char* layerName(Layer layer);

struct Point {
    double x = 0;
    double y = 0;
};

struct Polyline {
    Layer layer = Layer::Concrete;
    std::vector<Point> points;
    bool closed = false;
    bool filled = false;  // a concrete face shown shaded on screen and paper
    std::string mark;     // the bar mark a reinforcement line draws; empty otherwise
};

struct Circle {
    Layer layer = Layer::Reinforcement;
    Point centre;
    double radius = 0;
};

enum class Align { Left, Centre, Right };

// One line of text; `at` is the point of its baseline that `align` names. A text that describes
// a stretch along x (a bar's label) gives it, so that a view of part of the drawing can keep
// the text while the stretch is in view.
struct Text {
    Layer layer = Layer::Text;
    Point at;
    double height = 0;
    std::string text;
    Align align = Align::Left;
    double describesFrom = 0, describesTo = 0;  // equal: the anchor alone
};

// An area filled with the usual 45° section lines.
struct Hatch {
    Layer layer = Layer::Hatch;
    std::vector<Point> boundary;  // closed
};

// A linear dimension as drafters draw it: the distance between two points along x (or y),
// extension lines from the points to the dimension line, a 45° tick at each end and the text
// centred above the line. The DXF file writes it as a DIMENSION entity; the screen and paper
// draw the lines and the text that `explode` gives.
struct Dimension {
    Layer layer = Layer::Dimensions;
    Point from, to;       // the points measured
    double lineAt = 0;    // y of the dimension line (x when vertical)
    bool vertical = false;
    double textHeight = 0;
    std::string text;     // as written above the line ("5.00", "ln = 5.00 m")
};

struct Box {
    double left = 0, bottom = 0, right = 0, top = 0;
    double width() const { return right - left; }
    double height() const { return top - bottom; }
};

struct Drawing {
    std::vector<Polyline> lines;
    std::vector<Circle> circles;
    std::vector<Text> texts;
    std::vector<Hatch> hatches;
    std::vector<Dimension> dimensions;
    Box bounds;  // everything drawn; text widths estimated

    void add(const Drawing& other, double dx, double dy);
};

// The lines and the text a dimension is drawn with; its text keeps the stretch it measures, so
// that a view of part of the drawing keeps it while that stretch is in view.
Drawing explode(const Dimension& dimension);
// The drawing with every dimension replaced by its lines and text.
Drawing exploded(const Drawing& drawing);

// Text heights of a drawing, in its units: the body's (labels, tables), the small texts'
// (dimensions, notes under a section) and the titles'.
struct TextHeights {
    double body = 10, small = 8, title = 12;
    TextHeights() = default;
    TextHeights(double body, double small, double title) : body(body), small(small), title(title) {}
    // A body height alone: the small texts and the titles in the usual proportion to it.
    TextHeights(double body) : body(body), small(0.8 * body), title(1.2 * body) {}
};

// Proportions of the elevation. The text height and the lane step (the gap between bars of one
// layer that overlap, laps among them) are in drawing units, so that the screen can keep its
// font size whatever the scale.
struct ElevationStyle {
    double verticalScale = 1;  // heights drawn this many times their size; lengths true
    double textHeight = 10;
    double smallTextHeight = 8;  // dimensions
    double laneStep = 2;
    char decimalSeparator = '.';
    std::string scale;  // "1:50" when the drawing is plotted at a known scale; stated in the notes
};

// Width of a text as drawn, estimated from its length (the outputs' fonts differ).
double textWidth(const std::string& text, double height);

// The label of a mark: "S2: 2 N° 6 L = 7.35 m".
std::string markLabel(const beam::BarMark& mark, char decimalSeparator);

// The beam seen from the side: the supports hatched, the outline, every mark as a line at its
// face and layer from its start to its end with its hooks, laps as overlapping lines, a row per
// mark with its label and its cut-offs measured from the support faces, the clear spans
// dimensioned, and the vertical scale stated when it is not 1. x = 0 at the beam's left end,
// y = 0 at its bottom face.
Drawing elevation(const beam::BeamDesign& design, const beam::BeamInput& input,
                  const ElevationStyle& style);

// The stirrups of a span as the site reads them, as the schedule's zone lines give them
// without the span's name: "E1 N° 3: 1 a 0.05, 11 a 0.10, resto a 0.20 (cada extremo)", and a
// line for its crossties. Span from 1.
std::vector<std::string> zoneTexts(const beam::BeamDesign& design, int span,
                                   char decimalSeparator);

// Where the sections are cut: the centre of every support and the middle of every span, in m,
// left to right, with their letters ("A", "B", ...) and titles ("Apoyo 1", "Vano 1, centro").
// The elevation marks each cut with its letter; the section is titled "A-A (Apoyo 1)".
struct SectionCut {
    double x = 0;
    std::string title;
    std::string letter;
};
std::vector<SectionCut> sectionCuts(const beam::BeamDesign& design);

// The section at a cut, `scale` times its size: the outline, the hoop with its 135° hooks and
// any crossties there, every bar there at its place, and b × h, the bars of each face and the
// stirrups there in words. Its top-left corner at (0, 0), extending downwards.
Drawing section(const beam::BeamDesign& design, const beam::BeamInput& input,
                const SectionCut& cut, const TextHeights& text, char decimalSeparator,
                double scale = 1);

// Every cut in a grid of `columns` cuts a row (0: all in one row), left to right and then
// downwards, two text heights apart.
Drawing sections(const beam::BeamDesign& design, const beam::BeamInput& input,
                 const TextHeights& text, char decimalSeparator, int columns = 0,
                 double scale = 1);

// The bar schedule as a ruled table of the drawn schedule's columns, the stirrup marks after
// the bars, then the mass per bar size and in total (stirrups included). Top-left corner at
// (0, 0), extending downwards.
Drawing schedule(const beam::BeamDesign& design, const TextHeights& text, char decimalSeparator);

// Every mark's bending shape as the bender reads it, a small sketch a mark (not to scale) in a
// grid of `columns` a row: a longitudinal bar's straight length, its hooks' legs and inside bend
// diameter; a hoop's outside width and height with its 135° hooks and their extension; a
// crosstie's height with its 135° and 90° hooks. Dimensions in cm. Top-left corner at (0, 0).
Drawing bendingShapes(const beam::BeamDesign& design, const TextHeights& text,
                      char decimalSeparator, int columns = 4);

// The columns of the schedule the drawings show (Marca, Barra, Cantidad, Forma, Longitud (m),
// Masa (kg)), for tables on screen too.
const std::vector<const beam::ScheduleColumn*>& scheduleColumns();
// The rows of the schedule as texts, a cell per column a mark, the stirrup marks after the
// bars (for tables on screen).
std::vector<std::vector<std::string>> scheduleCells(const beam::BeamDesign& design,
                                                    char decimalSeparator);
// Column titles of the schedule.
const std::vector<std::string>& scheduleHeader();

// What the title block says that the beam does not know, from the caller: the project's name,
// the date and the sheet ("1 de 3"); any may be empty.
struct SheetInfo {
    std::string project, date, sheet;
};

// The scales the CAD sheet is drawn for: the elevation, the schedule and the title block at
// 1:50, the sections twice their size (1:25 when plotted at 1:50). Texts 2.5 mm and titles
// 3.5 mm high on paper at 1:50.
inline constexpr double cadPlotScale = 50;
inline constexpr double cadSectionScale = 2;
TextHeights cadTextHeights();

// The whole sheet for CAD: the elevation at true scale with the section cuts marked, the
// sections under it, the schedule and the bending shapes under them, the general notes and the
// title block at the bottom.
Drawing cadSheet(const beam::BeamDesign& design, const beam::BeamInput& input,
                 char decimalSeparator, const SheetInfo& info = {});

// The general notes of the sheet: clear cover, materials, laps, hooks and stirrups, units.
std::vector<std::string> generalNotes(const beam::BeamDesign& design,
                                      const beam::BeamInput& input, char decimalSeparator);

}  // namespace engine::drawing
