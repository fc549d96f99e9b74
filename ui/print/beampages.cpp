#include "print/beampages.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <memory>

#include "beamdrawing/beampainting.h"
#include "common/enginetext.h"
#include "engine/beam/calcsheet.h"
#include "engine/numbers.h"

namespace printing {
namespace {

namespace eb = engine::beam;
namespace dr = engine::drawing;

// About this much beam on a landscape page keeps the texts and the bars apart at the sheet's
// font size; a longer beam is split at the supports.
constexpr double metresPerPage = 12.5;

const QColor failingColour(192, 0, 0);

QString metres(double value, char separator) {
    return fromEngine(engine::formatFixed(value, 2, separator));
}

// The stretches of beam drawn on one page each: whole spans, cut at the centres of supports.
std::vector<std::pair<double, double>> elevationPieces(const eb::BeamDesign& design) {
    const std::vector<double>& f = design.faceX;
    const std::size_t spans = f.size() / 2;
    std::vector<std::pair<double, double>> pieces;
    double from = 0;
    double previousCut = 0;
    bool pieceHasSpan = false;
    for (std::size_t k = 0; k < spans; ++k) {
        const double cut = k + 1 == spans ? design.length : (f[2 * k + 1] + f[2 * k + 2]) / 2;
        if (pieceHasSpan && cut - from > metresPerPage) {
            pieces.emplace_back(from, previousCut);
            from = previousCut;
        }
        pieceHasSpan = true;
        previousCut = cut;
    }
    pieces.emplace_back(from, design.length);
    return pieces;
}

QFont titleFont(const QFont& font) {
    QFont bold = font;
    bold.setBold(true);
    bold.setPointSizeF(font.pointSizeF() * 1.15);
    return bold;
}

// The height the page's title takes above what the page paints.
double titleHeight(const QFont& font, QPaintDevice* device) {
    return QFontMetricsF(titleFont(font), device).lineSpacing() * 1.6;
}

// The title at the top of a page's body, in bold; returns the rest of the body.
QRectF paintTitle(QPainter& painter, const QRectF& body, const QString& title, const QFont& font) {
    const QFont bold = titleFont(font);
    const QFontMetricsF fm(bold, painter.device());
    painter.setFont(bold);
    painter.setPen(Qt::black);
    painter.drawText(QPointF(body.left(), body.top() + fm.ascent()),
                     fm.elidedText(title, Qt::ElideRight, body.width()));
    painter.setFont(font);
    return body.adjusted(0, titleHeight(font, painter.device()), 0, 0);
}

// Device pixels a centimetre of drawing takes at 1:N.
double pixelsPerCentimetre(QPaintDevice* device, int scale) {
    return device->logicalDpiX() / 2.54 / scale;
}

// The texts' height in device pixels the drawings take from the font, as the painting sizes
// them.
double textPixels(const QFont& font, QPaintDevice* device) {
    return QFontMetricsF(font, device).height() * 0.72;
}

// A piece of a flowing page: its height, and how it paints itself in a strip of the body.
struct Piece {
    double height = 0;
    std::function<void(QPainter&, const QRectF& strip)> paint;
    bool keepWithNext = false;
    // A table's row: its header, painted again at the top of a page the row starts.
    std::shared_ptr<const Piece> header;
};

// Pieces of text: wrapped to the width, in `colour`.
Piece textPiece(const QString& text, const QFont& font, QPaintDevice* device, double width,
                QColor colour = Qt::black, bool keepWithNext = false, double before = 0) {
    const int wrap = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
    const QFontMetricsF fm(font, device);
    const double height = fm.boundingRect(QRectF(0, 0, width, 1e9), wrap, text).height();
    return {before + height + fm.lineSpacing() * 0.25,
            [=](QPainter& painter, const QRectF& strip) {
                painter.setFont(font);
                painter.setPen(colour);
                painter.drawText(QRectF(strip.left(), strip.top() + before, strip.width(), height),
                                 wrap, text);
            },
            keepWithNext, nullptr};
}

Piece headingPiece(const QString& text, const QFont& font, QPaintDevice* device, double width) {
    const QFontMetricsF fm(font, device);
    return textPiece(text, titleFont(font), device, width, Qt::black, true, fm.lineSpacing() * 0.6);
}

// The label and value lines of the section and materials, values right-aligned in a column.
std::vector<Piece> linePieces(const std::vector<eb::SheetLine>& lines, const QFont& font,
                              QPaintDevice* device) {
    const QFontMetricsF fm(font, device);
    double labelWidth = 0, valueWidth = 0;
    for (const eb::SheetLine& line : lines) {
        labelWidth = std::max(labelWidth, fm.horizontalAdvance(fromEngine(line.label)));
        valueWidth = std::max(valueWidth, fm.horizontalAdvance(fromEngine(line.value)));
    }
    const double indent = fm.averageCharWidth() * 2;
    const double valueRight = indent + labelWidth + fm.averageCharWidth() * 3 + valueWidth;
    std::vector<Piece> pieces;
    for (const eb::SheetLine& line : lines) {
        const QString label = fromEngine(line.label), value = fromEngine(line.value),
                      unit = fromEngine(line.unit);
        pieces.push_back({fm.lineSpacing() * 1.1, [=](QPainter& painter, const QRectF& strip) {
                              const double baseline = strip.top() + fm.ascent();
                              painter.setFont(font);
                              painter.setPen(Qt::black);
                              painter.drawText(QPointF(strip.left() + indent, baseline), label);
                              painter.drawText(QPointF(strip.left() + valueRight -
                                                           fm.horizontalAdvance(value),
                                                       baseline),
                                               value);
                              painter.drawText(
                                  QPointF(strip.left() + valueRight + fm.averageCharWidth(),
                                          baseline),
                                  unit);
                          },
                          false, nullptr});
    }
    return pieces;
}

// A ruled table as pieces: the header (painted again on each page the table runs on) and a
// piece a row. Columns as wide as their texts; a table wider than `width` takes a smaller font.
std::vector<Piece> tablePieces(const eb::SheetTable& table, QFont font, QPaintDevice* device,
                               double width) {
    const auto widths = [&](const QFont& f) {
        const QFontMetricsF fm(f, device);
        std::vector<double> result(table.header.size(), 0);
        for (std::size_t c = 0; c < table.header.size(); ++c) {
            for (const QString& line : fromEngine(table.header[c]).split(QLatin1Char('\n')))
                result[c] = std::max(result[c], fm.horizontalAdvance(line));
            for (const auto& row : table.rows)
                if (c < row.size())
                    result[c] = std::max(result[c], fm.horizontalAdvance(fromEngine(row[c])));
            result[c] += fm.averageCharWidth() * 3;
        }
        return result;
    };
    std::vector<double> columns = widths(font);
    double total = 0;
    for (const double w : columns) total += w;
    if (total > width) {
        font.setPointSizeF(font.pointSizeF() * width / total * 0.98);
        columns = widths(font);
        total = 0;
        for (const double w : columns) total += w;
    }
    const QFontMetricsF fm(font, device);
    const double rowHeight = fm.lineSpacing() * 1.35;
    int headerLines = 1;
    for (const std::string& title : table.header)
        headerLines = std::max<int>(headerLines, int(fromEngine(title).count(QLatin1Char('\n'))) + 1);
    const double pen = std::max(1.0, fm.lineSpacing() / 30);

    // Cells centred in their columns, the rule under each row.
    const auto paintRow = [=](QPainter& painter, const QRectF& strip, const QStringList& cells,
                              double height, bool bold) {
        QFont cellFont = font;
        cellFont.setBold(bold);
        painter.setFont(cellFont);
        painter.setPen(Qt::black);
        double left = strip.left();
        for (qsizetype c = 0; c < cells.size() && std::size_t(c) < columns.size(); ++c) {
            painter.drawText(QRectF(left, strip.top(), columns[std::size_t(c)], height),
                             Qt::AlignCenter, cells[c]);
            left += columns[std::size_t(c)];
        }
        painter.setPen(QPen(Qt::black, pen));
        painter.drawLine(QPointF(strip.left(), strip.top() + height),
                         QPointF(strip.left() + total, strip.top() + height));
    };
    QStringList headerCells;
    for (const std::string& title : table.header) headerCells << fromEngine(title);
    const double headerHeight = fm.lineSpacing() * (headerLines + 0.5);
    auto header = std::make_shared<Piece>(Piece{
        headerHeight,
        [=](QPainter& painter, const QRectF& strip) {
            painter.setPen(QPen(Qt::black, pen));
            painter.drawLine(QPointF(strip.left(), strip.top()),
                             QPointF(strip.left() + total, strip.top()));
            paintRow(painter, strip, headerCells, headerHeight, true);
        },
        true, nullptr});
    std::vector<Piece> pieces{*header};
    for (const auto& row : table.rows) {
        QStringList cells;
        for (const std::string& cell : row) cells << fromEngine(cell);
        pieces.push_back({rowHeight,
                          [=](QPainter& painter, const QRectF& strip) {
                              paintRow(painter, strip, cells, rowHeight, false);
                          },
                          false, header});
    }
    return pieces;
}

// The pieces laid on as many pages as they take, each page a title (numbered when there are
// several) and its pieces top to bottom.
void flowPages(std::vector<BeamPage>& pages, QPageLayout::Orientation orientation,
               const QString& title, const std::vector<Piece>& pieces, const QSizeF& body,
               const QFont& font, QPaintDevice* device) {
    const double available = body.height() - titleHeight(font, device);
    std::vector<std::vector<Piece>> flowed(1);
    double used = 0;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        double needed = pieces[i].height;
        for (std::size_t next = i; pieces[next].keepWithNext && next + 1 < pieces.size(); ++next)
            needed += pieces[next + 1].height;
        if (used > 0 && used + needed > available) {
            flowed.emplace_back();
            used = 0;
            if (pieces[i].header) {
                flowed.back().push_back(*pieces[i].header);
                used += pieces[i].header->height;
            }
        }
        flowed.back().push_back(pieces[i]);
        used += pieces[i].height;
    }
    for (std::size_t p = 0; p < flowed.size(); ++p) {
        const QString pageTitle =
            flowed.size() == 1
                ? title
                : QStringLiteral("%1 (%2 de %3)").arg(title).arg(p + 1).arg(flowed.size());
        pages.push_back({orientation, pageTitle,
                         [rows = flowed[p], font, pageTitle](QPainter& painter, const QRectF& body) {
                             painter.save();
                             painter.setClipRect(body);
                             const QRectF rest = paintTitle(painter, body, pageTitle, font);
                             double top = rest.top();
                             for (const Piece& piece : rows) {
                                 piece.paint(painter, QRectF(rest.left(), top, rest.width(),
                                                             piece.height));
                                 top += piece.height;
                             }
                             painter.restore();
                         }});
    }
}

// The elevation's style at 1:N on a body `roomHeight` high: texts at the font's size, the
// height exaggerated by a whole factor until the beam is about a sixth of the body.
dr::ElevationStyle elevationStyle(const eb::BeamInput& input, char separator, int scale,
                                  const QFont& font, QPaintDevice* device, double roomHeight) {
    const double perCm = pixelsPerCentimetre(device, scale);
    const double pixels = textPixels(font, device);
    dr::ElevationStyle style;
    style.textHeight = pixels / perCm;
    style.laneStep = std::max(2.0, pixels * 0.3) / perCm;
    style.decimalSeparator = separator;
    style.verticalScale = std::max(1.0, std::floor(roomHeight / 6 / (input.h * perCm)));
    return style;
}

// The part of a drawing between x = left and right (cm): its lines as they are (the painting
// clips them), its texts kept when their anchor or the stretch they describe is in view and
// moved over the part of that stretch in view, its bounds the stretch.
dr::Drawing windowOf(const dr::Drawing& drawing, double left, double right) {
    dr::Drawing part = drawing;
    part.texts.clear();
    for (dr::Text text : drawing.texts) {
        const double from = std::min(text.at.x, text.describesFrom);
        const double to = std::max(text.at.x, text.describesTo);
        const bool stretch = text.describesTo > text.describesFrom;
        if (to < left || from > right) continue;
        if (!stretch && (text.at.x < left || text.at.x > right)) continue;
        if (text.at.x < left || text.at.x > right) {
            text.at.x = (std::max(left, text.describesFrom) + std::min(right, text.describesTo)) / 2;
            text.align = dr::Align::Centre;
        }
        part.texts.push_back(text);
    }
    part.bounds.left = left;
    part.bounds.right = right;
    return part;
}

// The elevation from `from` to `to` at 1:N: the whole drawing's bounds when it is the whole
// beam, else the stretch.
ScaledDrawing elevationAt(const eb::BeamDesign& design, const eb::BeamInput& input, char separator,
                          double from, double to, int scale, const QFont& font,
                          QPaintDevice* device, double roomHeight) {
    const dr::ElevationStyle style =
        elevationStyle(input, separator, scale, font, device, roomHeight);
    ScaledDrawing result;
    result.drawing = dr::elevation(design, input, style);
    if (from > 0 || to < design.length)
        result.drawing = windowOf(result.drawing, from * 100, to * 100);
    result.scale = scale;
    result.verticalScale = style.verticalScale;
    const double perCm = pixelsPerCentimetre(device, scale);
    result.size = QSizeF(result.drawing.bounds.width() * perCm,
                         result.drawing.bounds.height() * perCm);
    return result;
}

bool fits(const QSizeF& size, const QSizeF& room) {
    return size.width() <= room.width() && size.height() <= room.height();
}

// Paints a drawing at its scale, centred in `area`, nothing outside the rectangle it takes.
void paintScaled(QPainter& painter, const QRectF& area, const ScaledDrawing& scaled) {
    const QRectF exact(area.left() + (area.width() - scaled.size.width()) / 2,
                       area.top() + (area.height() - scaled.size.height()) / 2,
                       scaled.size.width(), scaled.size.height());
    painter.save();
    painter.setClipRect(exact);
    beampainting::paintDrawing(painter, exact, scaled.drawing);
    painter.restore();
}

// The room a page gives a drawing under its title and its scale's line.
QSizeF drawingRoom(const QSizeF& body, const QFont& font, QPaintDevice* device) {
    return QSizeF(body.width(),
                  body.height() - titleHeight(font, device) - QFontMetricsF(font, device).lineSpacing() * 1.5);
}

// "Escala 1:50" and, when the heights are exaggerated, by how much.
QString scaleLine(const ScaledDrawing& scaled) {
    QString text = fromEngine(eb::scaleText(scaled.scale));
    if (scaled.verticalScale > 1)
        text += QStringLiteral(" (alturas dibujadas %1 veces su tamaño)").arg(scaled.verticalScale);
    return text;
}

// A drawing page: the scale under the title, the drawing at it.
void paintDrawingPage(QPainter& painter, const QRectF& area, const ScaledDrawing& scaled,
                      const QFont& font) {
    const QFontMetricsF fm(font, painter.device());
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QPointF(area.left(), area.top() + fm.ascent()), scaleLine(scaled));
    paintScaled(painter, area.adjusted(0, fm.lineSpacing() * 1.5, 0, 0), scaled);
}

}  // namespace

int elevationScale(const eb::BeamDesign& design, const eb::BeamInput& input, char separator,
                   const std::vector<std::pair<double, double>>& pieces, const QSizeF& room,
                   const QFont& font, QPaintDevice* device) {
    for (const int scale : eb::standardScales) {
        const bool all = std::all_of(pieces.begin(), pieces.end(), [&](const auto& piece) {
            return fits(elevationAt(design, input, separator, piece.first, piece.second, scale,
                                    font, device, room.height())
                            .size,
                        room);
        });
        if (all) return scale;
    }
    return std::end(eb::standardScales)[-1];
}

ScaledDrawing scaledElevation(const eb::BeamDesign& design, const eb::BeamInput& input,
                              char separator, double from, double to, int scale,
                              const QFont& font, QPaintDevice* device, double roomHeight) {
    return elevationAt(design, input, separator, from, to, scale, font, device, roomHeight);
}

ScaledDrawing scaledSections(const eb::BeamDesign& design, const eb::BeamInput& input,
                             char separator, const QSizeF& room, const QFont& font,
                             QPaintDevice* device) {
    const int count = static_cast<int>(dr::sectionCuts(design).size());
    const double pixels = textPixels(font, device);
    ScaledDrawing result;
    for (const int scale : eb::standardScales) {
        const double perCm = pixelsPerCentimetre(device, scale);
        const double textHeight = pixels / perCm;
        // The most sections a row that fit, so that the sheet reads them left to right.
        for (int columns = std::max(count, 1); columns >= 1; --columns) {
            result.drawing = dr::sections(design, input, textHeight, separator, columns);
            result.scale = scale;
            result.size = QSizeF(result.drawing.bounds.width() * perCm,
                                 result.drawing.bounds.height() * perCm);
            if (fits(result.size, room)) return result;
        }
    }
    return result;
}

std::vector<BeamPage> beamIndexPages(const std::vector<BeamIndexRow>& rows, char separator,
                                     const PageBodies& bodies) {
    eb::SheetTable table;
    table.header = {"Viga", "Descripción", "Grupo", "Verificación", "Acero (kg)"};
    double total = 0;
    for (const BeamIndexRow& row : rows) {
        const std::string verdict =
            !row.designed ? "Sin diseño" : row.passes ? "Cumple" : "No cumple";
        table.rows.push_back(
            {row.name.toStdString(), row.description.toStdString(), row.group.toStdString(),
             verdict, row.designed ? engine::formatFixed(row.mass, 1, separator) : "-"});
        if (row.designed) total += row.mass;
    }
    table.rows.push_back({"Total", "", "", "", engine::formatFixed(total, 1, separator)});
    std::vector<BeamPage> pages;
    flowPages(pages, QPageLayout::Portrait, QStringLiteral("Índice de vigas"),
              tablePieces(table, bodies.font, bodies.device, bodies.portrait.width()),
              bodies.portrait, bodies.font, bodies.device);
    return pages;
}

std::vector<BeamPage> beamPages(const eb::BeamDesign& design, const eb::BeamInput& input,
                                const QString& projectName, char separator,
                                const PageBodies& bodies) {
    const QFont& font = bodies.font;
    QPaintDevice* device = bodies.device;
    const eb::BeamSheet sheet =
        eb::beamSheet(design, input, projectName.toStdString(), separator);
    std::vector<BeamPage> pages;
    auto page = [&](QPageLayout::Orientation orientation, const QString& title,
                    std::function<void(QPainter&, const QRectF&)> paint) {
        pages.push_back({orientation, title,
                         [title, paint, font](QPainter& painter, const QRectF& body) {
                             painter.save();
                             painter.setClipRect(body);
                             painter.setFont(font);
                             const QRectF rest = paintTitle(painter, body, title, font);
                             paint(painter, rest);
                             painter.restore();
                         }});
    };

    // What was given and assumed, on portrait pages.
    const double width = bodies.portrait.width();
    QFont small = font;
    small.setPointSizeF(font.pointSizeF() * 0.9);
    std::vector<Piece> data;
    data.push_back(textPiece(fromEngine(sheet.project), font, device, width));
    data.push_back(textPiece(fromEngine(sheet.codeAndClass), font, device, width));
    data.push_back(headingPiece(QStringLiteral("Sección y materiales"), font, device, width));
    for (Piece& piece : linePieces(sheet.section, font, device)) data.push_back(std::move(piece));
    data.push_back(headingPiece(QStringLiteral("Vanos y cargas"), font, device, width));
    for (Piece& piece : tablePieces(sheet.spans, small, device, width))
        data.push_back(std::move(piece));
    for (const std::string& note : sheet.spansNotes)
        data.push_back(textPiece(fromEngine(note), small, device, width));
    if (!sheet.assumptions.empty()) {
        data.push_back(headingPiece(QStringLiteral("Hipótesis y notas del diseño"), font, device,
                                    width));
        for (const std::string& note : sheet.assumptions)
            data.push_back(textPiece(QStringLiteral("– ") + fromEngine(note), font, device, width));
    }
    flowPages(pages, QPageLayout::Portrait, fromEngine(sheet.title), data, bodies.portrait, font,
              device);

    // Demand and strength at the faces, on landscape pages.
    const double wide = bodies.landscape.width();
    std::vector<Piece> faces{textPiece(
        QStringLiteral("Momentos en Tn-m y cortantes en Tn, magnitudes. Mu: momento de diseño; "
                       "φMn: resistencia de diseño con el acero desarrollado en la cara; Mn y Mpr "
                       "(1.25 Fy, φ = 1): con todas las barras que llegan a la cara; Ve: cortante "
                       "de diseño; Vc: el que se toma del concreto; φVn: resistencia de diseño a "
                       "cortante con los estribos."),
        small, device, wide)};
    for (Piece& piece : tablePieces(sheet.faces, small, device, wide))
        faces.push_back(std::move(piece));
    flowPages(pages, QPageLayout::Landscape,
              QStringLiteral("Demanda y resistencia en las caras de los apoyos"), faces,
              bodies.landscape, font, device);

    // The elevation, every piece at one standard scale.
    const auto pieces = elevationPieces(design);
    const QSizeF elevationRoom = drawingRoom(bodies.landscape, font, device);
    const int scale =
        elevationScale(design, input, separator, pieces, elevationRoom, font, device);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const auto [from, to] = pieces[i];
        const QString title =
            pieces.size() == 1
                ? QStringLiteral("Alzado de la viga")
                : QStringLiteral("Alzado de la viga (%1 de %2): x = %3 a %4 m")
                      .arg(i + 1)
                      .arg(pieces.size())
                      .arg(metres(from, separator), metres(to, separator));
        const ScaledDrawing scaled = scaledElevation(design, input, separator, from, to, scale,
                                                     font, device, elevationRoom.height());
        page(QPageLayout::Landscape, title, [scaled, font](QPainter& painter, const QRectF& area) {
            paintDrawingPage(painter, area, scaled, font);
        });
    }
    const ScaledDrawing sections = scaledSections(
        design, input, separator, drawingRoom(bodies.portrait, font, device), font, device);
    page(QPageLayout::Portrait, QStringLiteral("Secciones en los apoyos y en el centro de los vanos"),
         [sections, font](QPainter& painter, const QRectF& area) {
             paintDrawingPage(painter, area, sections, font);
         });
    page(QPageLayout::Landscape,
         QStringLiteral("Envolvente de momentos y resistencia de las barras"),
         [=](QPainter& painter, const QRectF& area) {
             beampainting::paintEnvelope(painter, area, design, separator);
         });
    page(QPageLayout::Portrait, QStringLiteral("Despiece"),
         [=](QPainter& painter, const QRectF& area) {
             beampainting::paintSchedule(painter, area, design, separator);
         });

    // The checks, each with its article, and the notes, word-wrapped.
    std::vector<Piece> checks;
    for (const eb::SheetCheck& check : sheet.checks)
        checks.push_back(textPiece(fromEngine(check.text), font, device, width,
                                   check.passes ? QColor(Qt::black) : failingColour));
    for (const std::string& note : sheet.assumptions)
        checks.push_back(textPiece(QStringLiteral("Nota: ") + fromEngine(note), font, device, width));
    flowPages(pages, QPageLayout::Portrait, QStringLiteral("Verificaciones"), checks,
              bodies.portrait, font, device);
    return pages;
}

}  // namespace printing
