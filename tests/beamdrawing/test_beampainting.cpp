// The beam's drawings painted: nothing lands outside the area each painter is given (a page's
// part of the elevation left stray ticks beyond its edges), and the envelope shows the shear.
#include <QFile>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

#include "beamdrawing/beampainting.h"
#include "beamfixture.h"
#include "guitest.h"

namespace {

using Painter = std::function<void(QPainter&, const QRectF&)>;

// The image painted white, then by the painter in an area inset from the image's edges.
QImage painted(const Painter& paint, const QRect& area) {
    QImage image(area.width() + 2 * area.left(), area.height() + 2 * area.top(),
                 QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    QFont font = painter.font();
    font.setPixelSize(12);
    painter.setFont(font);
    paint(painter, QRectF(area));
    return image;
}

// The first pixel outside the area that is not white; none: (-1, -1).
QPoint strayPixel(const QImage& image, const QRect& area) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (!area.contains(x, y) && image.pixel(x, y) != qRgb(255, 255, 255)) return {x, y};
    return {-1, -1};
}

int inkedPixels(const QImage& image, const QRect& area) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += image.pixel(x, y) != qRgb(255, 255, 255) ? 1 : 0;
    return count;
}

// The leftmost and rightmost inked columns of the image's row with the most ink (a long line of
// the beam: its outline or a bar).
std::pair<int, int> longestRowEnds(const QImage& image) {
    int bestCount = -1;
    std::pair<int, int> ends{-1, -1};
    for (int y = 0; y < image.height(); ++y) {
        int count = 0, first = -1, last = -1;
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255)) {
                ++count;
                if (first < 0) first = x;
                last = x;
            }
        if (count > bestCount) {
            bestCount = count;
            ends = {first, last};
        }
    }
    return ends;
}

}  // namespace

class TestBeamPainting : public GuiTestCase {
    Q_OBJECT
  private Q_SLOTS:
    void nothingOutsideTheArea_data();
    void nothingOutsideTheArea();
    void elevationPartShowsOnlyItsPart();
    void elevationOnPaperStatesItsScale();
};

void TestBeamPainting::nothingOutsideTheArea_data() {
    QTest::addColumn<QString>("drawing");
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    // The parts of the elevation as the PDF splits a 17.6 m beam, and one cut mid-bar.
    QTest::newRow("alzado completo") << QStringLiteral("alzado") << 0.0 << 17.6;
    QTest::newRow("alzado 1 de 2") << QStringLiteral("alzado") << 0.0 << 8.8;
    QTest::newRow("alzado 2 de 2") << QStringLiteral("alzado") << 8.8 << 17.6;
    QTest::newRow("alzado por el medio") << QStringLiteral("alzado") << 5.0 << 9.5;
    QTest::newRow("secciones") << QStringLiteral("secciones") << 0.0 << 0.0;
    QTest::newRow("envolvente") << QStringLiteral("envolvente") << 0.0 << 0.0;
    QTest::newRow("despiece") << QStringLiteral("despiece") << 0.0 << 0.0;
    QTest::newRow("figuras") << QStringLiteral("figuras") << 0.0 << 0.0;
}

void TestBeamPainting::nothingOutsideTheArea() {
    QFETCH(QString, drawing);
    QFETCH(double, from);
    QFETCH(double, to);
    const auto [input, design] = beamfixture::threeSpans();
    const std::map<QString, Painter> painters = {
        {QStringLiteral("alzado"),
         [&](QPainter& p, const QRectF& a) {
             beampainting::paintElevationPart(p, a, design, input, ',', from, to);
         }},
        {QStringLiteral("secciones"),
         [&](QPainter& p, const QRectF& a) {
             beampainting::paintSections(p, a, design, input, ',');
         }},
        {QStringLiteral("envolvente"),
         [&](QPainter& p, const QRectF& a) { beampainting::paintEnvelope(p, a, design, ','); }},
        {QStringLiteral("despiece"),
         [&](QPainter& p, const QRectF& a) { beampainting::paintSchedule(p, a, design, ','); }},
        {QStringLiteral("figuras"),
         [&](QPainter& p, const QRectF& a) {
             beampainting::paintBendingShapes(p, a, design, ',');
         }},
    };
    const QRect area(60, 50, 900, 520);
    const QImage image = painted(painters.at(drawing), area);
    if (qEnvironmentVariableIsSet("BEAM_PAINTING_IMAGES"))
        image.save(qEnvironmentVariable("BEAM_PAINTING_IMAGES") + QLatin1Char('/') +
                   QString::fromUtf8(QTest::currentDataTag()) + QStringLiteral(".png"));
    const QPoint stray = strayPixel(image, area);
    QVERIFY2(stray == QPoint(-1, -1),
             qPrintable(QStringLiteral("ink at %1,%2").arg(stray.x()).arg(stray.y())));
    QVERIFY(inkedPixels(image, area) > 500);
}

// A page's part of the elevation shows the beam from `from` to `to` across the whole area and
// nothing beyond: the first part starts with the beam's left end at the area's left edge, the
// last ends with its right end at the right edge (a margin would show the next page's marks).
void TestBeamPainting::elevationPartShowsOnlyItsPart() {
    const auto [input, design] = beamfixture::threeSpans();
    const QRect area(60, 50, 900, 520);
    const double tolerance = 3;
    const auto first = longestRowEnds(painted(
        [&](QPainter& p, const QRectF& a) {
            beampainting::paintElevationPart(p, a, design, input, ',', 0, 8.8);
        },
        area));
    QVERIFY2(std::abs(first.first - area.left()) <= tolerance, qPrintable(QString::number(first.first)));
    QVERIFY2(std::abs(first.second - area.right()) <= tolerance, qPrintable(QString::number(first.second)));
    const auto last = longestRowEnds(painted(
        [&](QPainter& p, const QRectF& a) {
            beampainting::paintElevationPart(p, a, design, input, ',', 8.8, design.length);
        },
        area));
    QVERIFY2(std::abs(last.first - area.left()) <= tolerance, qPrintable(QString::number(last.first)));
    QVERIFY2(std::abs(last.second - area.right()) <= tolerance, qPrintable(QString::number(last.second)));
}

// On paper the elevation's note states the scale its lengths come out at: 8.8 m of beam across
// the width of an A4 landscape page less 2 cm margins (25.7 cm) is about 1:34.
void TestBeamPainting::elevationOnPaperStatesItsScale() {
    const auto [input, design] = beamfixture::threeSpans();
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("alzado.pdf"));
    {
        QPdfWriter writer(pdf);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                         QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter));
        QPainter painter(&writer);
        const QRect printable = writer.pageLayout().paintRectPixels(writer.resolution());
        const QRectF area(0, 0, printable.width(), printable.height());
        beampainting::paintElevationPart(painter, area, design, input, ',', 0, 8.8);
    }
    if (qEnvironmentVariableIsSet("BEAM_PAINTING_IMAGES"))
        QFile::copy(pdf, qEnvironmentVariable("BEAM_PAINTING_IMAGES") +
                             QStringLiteral("/alzado-en-papel.pdf"));
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    QVERIFY(process.waitForFinished(60000));
    const QString text = QString::fromUtf8(process.readAllStandardOutput());
    const auto match = QRegularExpression(QStringLiteral("escala 1:(\\d+)")).match(text);
    QVERIFY2(match.hasMatch(), qPrintable(text.left(300)));
    const double expected = 880 / 25.7;
    QVERIFY2(std::abs(match.captured(1).toDouble() - expected) <= 1,
             qPrintable(match.captured(0)));
}

QUINTARAL_GUI_TEST_MAIN(TestBeamPainting)
#include "test_beampainting.moc"
