#pragma once

#include <QDate>
#include <QLocale>
#include <QPageSize>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

#include "engine/beam/beam.h"
#include "engine/code.h"
#include "engine/design.h"
#include "print/beampages.h"

class QPainter;

namespace printing {

// The chosen bar arrangement of the layout window, as the sheet shows it.
struct SheetLayout {
    QString arrangement;  // the arrangement in words
    QStringList checks;   // bars, real d, φMn, Mu/φMn, "Cumple"/"No cumple": one line each
    // Draws the section to scale inside the rectangle; called once for the sheet.
    std::function<void(QPainter&, const QRectF&)> draw;
};

// Everything the calculation sheet shows of the most recent completed design.
struct CalculationSheet {
    engine::DesignCode code = engine::DesignCode::Nsr98;
    engine::DesignInput inputs;
    QString report;    // the results report exactly as the window shows it, CR LF between lines
    QString fileName;  // the project file's name; empty when no file is in use
    std::optional<SheetLayout> layout;
    QDate date;  // the sheet's date; today when not valid
    // A designed beam: its pages (print/beampages.h) follow the section's, under the same header.
    struct Beam {
        engine::beam::BeamInput input;
        engine::beam::BeamDesign design;
    };
    std::optional<Beam> beam;
    // A project of several beams: the index of every one (print/beampages.h), then the pages of
    // each designed beam (a group's once, under its name), in place of `beam`'s.
    std::vector<BeamIndexRow> index;
    std::vector<Beam> beams;
    // False for a project with a beam and no section design: the sheet is the beam's pages.
    bool withSection = true;
};

// The paper of the territory: Letter where it is the usual office paper (the United States,
// Canada, Mexico, the Philippines and most of Central America, Colombia, Venezuela and Chile),
// A4 everywhere else.
QPageSize::PageSizeId sheetPageSize(QLocale::Territory territory);

// Writes the sheet as a PDF at `path`, on the paper of QLocale() and with its decimal separator.
// The PDF goes to a temporary file beside `path` that replaces it only once complete, so a
// failure leaves any older file whole. Returns an empty string on success, otherwise the
// message for the user, in Spanish.
QString writeCalculationSheet(const QString& path, const CalculationSheet& sheet);

}  // namespace printing
