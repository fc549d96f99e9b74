#include "print/beampages.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>

#include "beamdrawing/beampainting.h"
#include "common/enginetext.h"
#include "engine/beam/beamtext.h"
#include "engine/beam/checktext.h"
#include "engine/numbers.h"

namespace printing {
namespace {

namespace eb = engine::beam;

// About this much beam on a landscape page keeps the texts and the bars apart at the sheet's
// font size; a longer beam is split at the supports.
constexpr double metresPerPage = 12.5;

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

// The title at the top of a page's body, in bold; returns the rest of the body.
QRectF paintTitle(QPainter& painter, const QRectF& body, const QString& title, const QFont& font) {
    QFont bold = font;
    bold.setBold(true);
    bold.setPointSizeF(font.pointSizeF() * 1.15);
    const QFontMetricsF fm(bold, painter.device());
    painter.setFont(bold);
    painter.setPen(Qt::black);
    painter.drawText(QPointF(body.left(), body.top() + fm.ascent()),
                     fm.elidedText(title, Qt::ElideRight, body.width()));
    painter.setFont(font);
    return body.adjusted(0, fm.lineSpacing() * 1.6, 0, 0);
}

}  // namespace

std::vector<BeamPage> beamPages(const eb::BeamDesign& design, const eb::BeamInput& input,
                                char separator, const QSizeF& portraitBody, const QFont& font,
                                QPaintDevice* device) {
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

    const auto pieces = elevationPieces(design);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const auto [from, to] = pieces[i];
        const QString title =
            pieces.size() == 1
                ? QStringLiteral("Alzado de la viga")
                : QStringLiteral("Alzado de la viga (%1 de %2): x = %3 a %4 m")
                      .arg(i + 1)
                      .arg(pieces.size())
                      .arg(metres(from, separator), metres(to, separator));
        page(QPageLayout::Landscape, title,
             [=](QPainter& painter, const QRectF& area) {
                 beampainting::paintElevationPart(painter, area, design, input, separator, from,
                                                  to);
             });
    }
    page(QPageLayout::Portrait, QStringLiteral("Secciones en los apoyos y en el centro de los vanos"),
         [=](QPainter& painter, const QRectF& area) {
             beampainting::paintSections(painter, area, design, input, separator);
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

    // The checks and notes, word-wrapped, on as many portrait pages as they take.
    struct Line {
        QString text;
        bool fails;
    };
    std::vector<Line> lines;
    for (const eb::Check& check : design.checks)
        lines.push_back({(check.passes ? QStringLiteral("Cumple — ") : QStringLiteral("No cumple — ")) +
                             fromEngine(eb::checkLine(check, separator)),
                         !check.passes});
    for (const eb::Phrase& note : design.notes)
        lines.push_back({QStringLiteral("Nota: ") + fromEngine(eb::noteText(note, separator)), false});
    const QFontMetricsF fm(font, device);
    QFont bold = font;
    bold.setBold(true);
    bold.setPointSizeF(font.pointSizeF() * 1.15);
    const double available = portraitBody.height() - QFontMetricsF(bold, device).lineSpacing() * 1.6;
    const int wrap = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
    std::vector<std::vector<std::pair<Line, double>>> checkPages(1);
    double used = 0;
    for (const Line& line : lines) {
        const double height =
            fm.boundingRect(QRectF(0, 0, portraitBody.width(), 1e9), wrap, line.text).height() +
            fm.lineSpacing() * 0.25;
        if (used > 0 && used + height > available) {
            checkPages.emplace_back();
            used = 0;
        }
        checkPages.back().push_back({line, height});
        used += height;
    }
    for (std::size_t i = 0; i < checkPages.size(); ++i) {
        const QString title =
            checkPages.size() == 1
                ? QStringLiteral("Verificaciones")
                : QStringLiteral("Verificaciones (%1 de %2)").arg(i + 1).arg(checkPages.size());
        page(QPageLayout::Portrait, title,
             [rows = checkPages[i], wrap](QPainter& painter, const QRectF& area) {
                 double top = area.top();
                 for (const auto& [line, height] : rows) {
                     painter.setPen(line.fails ? QColor(192, 0, 0) : QColor(Qt::black));
                     painter.drawText(QRectF(area.left(), top, area.width(), height), wrap,
                                      line.text);
                     top += height;
                 }
             });
    }
    return pages;
}

}  // namespace printing
