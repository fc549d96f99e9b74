#pragma once

#include <QWidget>
#include <vector>

#include "engine/barscheck.h"
#include "engine/layout.h"
#include "engine/run.h"

class QPainter;

// What the section drawing shows, in cm: the outline, the stirrup and the bars as placed.
struct SectionGeometry {
    double b = 0;
    double h = 0;
    double clearCover = 0;       // face to the outside of the stirrup
    double stirrupDiameter = 0;  // 0: no stirrup drawn
    double d = 0;                // depth dimensioned as d (the real one when bars are placed)
    std::vector<engine::PlacedBar> tensionBars;
    std::vector<engine::PlacedBar> compressionBars;
};

// The section of a design with the stirrup of the settings and, when given, the bars as the
// check placed them (d is then the real depth to the tension bars).
SectionGeometry sectionGeometry(const engine::CompletedDesign& design,
                                const engine::LayoutSettings& settings,
                                const engine::BarsCheck* check);

// Draws `section` to scale in `area` with the painter's font for the labels; nothing for a
// section without a positive size. Serves the window, the printer and the PDF alike.
void paintSection(QPainter& painter, const QRectF& area, const SectionGeometry& section);

// A rectangular section drawn to scale with its stirrup, every bar as a circle of its diameter
// at its place, and the dimensions b, h and d. paint() serves the screen, the printer and PDF
// alike: it draws as vectors, keeps the proportions and fills the rectangle it is given.
class SectionDrawing : public QWidget {
    Q_OBJECT
  public:
    explicit SectionDrawing(QWidget* parent = nullptr);

    void setSection(const SectionGeometry& section);
    const SectionGeometry& section() const { return section_; }

    // Draws in `area` with the painter's font for the labels; nothing for a section without
    // a positive size.
    void paint(QPainter& painter, const QRectF& area) const;

    QSize sizeHint() const override { return {320, 360}; }
    QSize minimumSizeHint() const override { return {160, 180}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    SectionGeometry section_;
};
