#pragma once

#include <cmath>
#include <string>

#include "engine/drawing/beamdrawing.h"
#include "engine/numbers.h"

// The pieces every drawing of the despiece is built from (lines, frames, texts, hooks, its
// bounds), shared by the beam's drawings and the CAD sheet's parts; not part of the public face.
namespace engine::drawing {

// Grows a box to hold a point; a box with left > right holds nothing yet.
inline void extend(Box& box, double x, double y) {
    box.left = std::min(box.left, x);
    box.right = std::max(box.right, x);
    box.bottom = std::min(box.bottom, y);
    box.top = std::max(box.top, y);
}

inline Box emptyBox() {
    constexpr double big = std::numeric_limits<double>::max();
    return {big, big, -big, -big};
}

inline bool isEmpty(const Box& box) {
    return box.left > box.right;
}

inline void computeBounds(Drawing& drawing) {
    Box box = emptyBox();
    for (const Polyline& line : drawing.lines)
        for (const Point& p : line.points) extend(box, p.x, p.y);
    for (const Hatch& hatch : drawing.hatches)
        for (const Point& p : hatch.boundary) extend(box, p.x, p.y);
    for (const Circle& c : drawing.circles) {
        extend(box, c.centre.x - c.radius, c.centre.y - c.radius);
        extend(box, c.centre.x + c.radius, c.centre.y + c.radius);
    }
    for (const Dimension& dimension : drawing.dimensions) {
        const Drawing parts = explode(dimension);
        extend(box, parts.bounds.left, parts.bounds.bottom);
        extend(box, parts.bounds.right, parts.bounds.top);
    }
    for (const Text& t : drawing.texts) {
        const double w = textWidth(t.text, t.height);
        const double left = t.align == Align::Left     ? t.at.x
                            : t.align == Align::Centre ? t.at.x - w / 2
                                                       : t.at.x - w;
        extend(box, left, t.at.y - t.height * 0.25);
        extend(box, left + w, t.at.y + t.height);
    }
    drawing.bounds = isEmpty(box) ? Box{} : box;
}

inline void addLine(Drawing& d, Layer layer, Point a, Point b) {
    d.lines.push_back({layer, {a, b}, false, false, {}});
}

inline void addRectangle(Drawing& d, Layer layer, double x0, double y0, double x1, double y1,
                         bool filled = false) {
    d.lines.push_back({layer, {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}, true, filled, {}});
}

inline void addText(Drawing& d, Point at, double height, std::string text,
                    Align align = Align::Left, Layer layer = Layer::Text) {
    d.texts.push_back({layer, at, height, std::move(text), align, at.x, at.x});
}

inline std::string metres(double value, char separator) {
    return formatFixed(value, 2, separator);
}

// A 135° hook's extension drawn from a point, at 45° into the core.
inline void addHook(Drawing& d, Point from, double length, double dx, double dy) {
    const double step = length / std::sqrt(2.0);
    addLine(d, Layer::Stirrups, from, {from.x + dx * step, from.y + dy * step});
}

}  // namespace engine::drawing
