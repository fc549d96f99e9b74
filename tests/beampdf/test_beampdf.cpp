// The beam's PDF pages: nothing runs past a page's printable area (every word pdftotext finds
// lies inside the margins), the elevation pages are landscape, and a beam longer than a page
// takes is split over pages that say which part each one shows.
#include <QDir>
#include <QFontMetricsF>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <variant>

#include "beamfixture.h"
#include "engine/beam/beam.h"
#include "engine/beam/checktext.h"
#include "guitest.h"
#include "engine/beam/calcsheet.h"
#include "print/beampages.h"
#include "print/dxfexport.h"
#include "print/pdfsheet.h"
#include "print/sheetexport.h"
#include "project/project.h"

namespace {

struct Word {
    double xMin, yMin, xMax, yMax;
    QString text;
};
struct Page {
    double width, height;
    std::vector<Word> words;
};

// The pages and words of a PDF as `pdftotext -bbox` finds them, in points.
std::vector<Page> readWords(const QString& pdf) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    if (!process.waitForFinished(60000) || process.exitCode() != 0) return {};
    const QString html = QString::fromUtf8(process.readAllStandardOutput());
    static const QRegularExpression pageTag(
        QString::fromUtf8(R"re(<page width="([\d.]+)" height="([\d.]+)">)re"));
    static const QRegularExpression wordTag(QString::fromUtf8(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    std::vector<Page> pages;
    for (const QString& chunk : html.split(QStringLiteral("<page ")).mid(1)) {
        const auto page = pageTag.match(QStringLiteral("<page ") + chunk);
        if (!page.hasMatch()) continue;
        pages.push_back({page.captured(1).toDouble(), page.captured(2).toDouble(), {}});
        for (auto it = wordTag.globalMatch(chunk); it.hasNext();) {
            const auto w = it.next();
            pages.back().words.push_back({w.captured(1).toDouble(), w.captured(2).toDouble(),
                                          w.captured(3).toDouble(), w.captured(4).toDouble(),
                                          w.captured(5)});
        }
    }
    return pages;
}

// The page's words as lines: words on one baseline (within a point), left to right, a line
// break between lines, the PDF's escapes undone.
QString pageLines(const Page& page) {
    std::vector<Word> words = page.words;
    std::stable_sort(words.begin(), words.end(), [](const Word& a, const Word& b) {
        if (std::abs(a.yMax - b.yMax) > 1) return a.yMax < b.yMax;
        return a.xMin < b.xMin;
    });
    QString text;
    double baseline = -100;
    for (const Word& w : words) {
        if (!text.isEmpty()) text += std::abs(w.yMax - baseline) > 1 ? QLatin1Char('\n') : QLatin1Char(' ');
        baseline = w.yMax;
        text += w.text;
    }
    return text.replace(QStringLiteral("&apos;"), QStringLiteral("'"))
        .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
}

// Six 6 m spans: an elevation of about 40 m.
std::pair<engine::beam::BeamInput, engine::beam::BeamDesign> sixSpans() {
    engine::beam::BeamInput input = beamfixture::threeSpans().first;
    input.supports.assign(7, 40);
    input.spans.assign(6, {6, {14, 9, 14, {}, {}, {}}});
    const auto outcome = engine::beam::designBeam(input);
    if (const auto* error = std::get_if<engine::beam::BeamError>(&outcome))
        qFatal("six spans not designed: %s", engine::beam::errorText(*error, '.').c_str());
    return {input, std::get<engine::beam::BeamDesign>(outcome)};
}

// A project of three beams, the first two alike and grouped.
void fillBuilding(project::Project& project) {
    engine::beam::BeamInput alike = beamfixture::threeSpans().first;
    alike.name = "V-101";
    project.addBeam(alike, QStringLiteral("Eje A"));
    alike.name = "V-102";
    project.addBeam(alike, QStringLiteral("Eje B"));
    engine::beam::BeamInput longer = sixSpans().first;
    longer.name = "V-103";
    project.addBeam(longer, QStringLiteral("Eje C"));
    project.groupEqualBeams();
}

}  // namespace

class TestBeamPdf : public GuiTestCase {
    Q_OBJECT
  private Q_SLOTS:
    void insidePrintableArea_data();
    void insidePrintableArea();
    void calculationSheetWithBeam_data();
    void calculationSheetWithBeam();
    void checksNameTheirPlaceOnce();
    void inputsFacesAndArticlesOnTheSheet();
    void drawingsAtTheLargestStandardScaleThatFits();
    void everyBeamOfAProject();
};

void TestBeamPdf::insidePrintableArea_data() {
    QTest::addColumn<int>("spans");
    QTest::newRow("3 vanos (a mano)") << 3;
    QTest::newRow("6 vanos (diseñada)") << 6;
}

void TestBeamPdf::insidePrintableArea() {
    QFETCH(int, spans);
    const LocaleGuard locale(QLocale(QLocale::Spanish, QLocale::Colombia));
    const auto [input, design] = spans == 3 ? beamfixture::threeSpans() : sixSpans();
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("viga.pdf"));
    printing::CalculationSheet sheet;  // the beam's pages alone
    sheet.withSection = false;
    sheet.code = input.code;
    sheet.beam = printing::CalculationSheet::Beam{input, design};
    QCOMPARE(printing::writeCalculationSheet(pdf, sheet), QString());
    const std::vector<Page> pages = readWords(pdf);
    QVERIFY2(pages.size() >= 5, "elevation, sections, envelope, schedule and checks");

    const double margin = 18 / 25.4 * 72 - 0.5;  // the pages' margins, points, less rounding
    int elevationPages = 0;
    std::size_t firstElevation = 0;
    for (std::size_t p = 0; p < pages.size(); ++p) {
        const Page& page = pages[p];
        for (const Word& w : page.words) {
            const bool inside = w.xMin >= margin && w.yMin >= margin &&
                                w.xMax <= page.width - margin && w.yMax <= page.height - margin;
            if (!inside)
                QFAIL(qPrintable(QStringLiteral("page %1: «%2» at %3,%4–%5,%6 runs past the margins")
                                     .arg(p + 1)
                                     .arg(w.text)
                                     .arg(w.xMin)
                                     .arg(w.yMin)
                                     .arg(w.xMax)
                                     .arg(w.yMax)));
        }
        QString text;
        for (const Word& w : page.words) text += w.text + QLatin1Char(' ');
        if (text.contains(QStringLiteral("Alzado de la viga"))) {
            if (elevationPages++ == 0) firstElevation = p;
            QVERIFY2(page.width > page.height, "the elevation is on a landscape page");
            for (const auto& mark : {QStringLiteral("S1:"), QStringLiteral("I1:")})
                if (p == firstElevation) QVERIFY(text.contains(mark));
        }
    }
    // 17.6 m over two pages, about 40 m over at least three; each says which part it shows.
    QVERIFY(elevationPages >= (spans == 6 ? 3 : 2));
    QString first;
    for (const Word& w : pages[firstElevation].words) first += w.text + QLatin1Char(' ');
    QVERIFY(first.contains(QStringLiteral("(1 de %1)").arg(elevationPages)));
}

void TestBeamPdf::calculationSheetWithBeam_data() {
    QTest::addColumn<bool>("withSection");
    QTest::newRow("sección y viga") << true;
    QTest::newRow("solo la viga") << false;
}

// The calculation sheet with a beam: the section's pages, then the beam's under the same
// header and numbering, every word inside the margins. Without a section design the sheet is
// the beam's pages alone, the first one (the beam's data) portrait.
void TestBeamPdf::calculationSheetWithBeam() {
    QFETCH(bool, withSection);
    const LocaleGuard locale(QLocale(QLocale::Spanish, QLocale::Colombia));
    const auto [input, design] = beamfixture::threeSpans();
    printing::CalculationSheet sheet;
    sheet.withSection = withSection;
    sheet.inputs = {30, 50, 6, 210, 4200, 23, 6};
    sheet.report = QStringLiteral("Resultados\r\nAs = 16.15 cm2");
    sheet.beam = printing::CalculationSheet::Beam{input, design};
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("hoja.pdf"));
    QCOMPARE(printing::writeCalculationSheet(pdf, sheet), QString());
    const std::vector<Page> pages = readWords(pdf);
    // The section's page when there is one, then at least six of the beam.
    QVERIFY(pages.size() >= (withSection ? 7u : 6u));
    const double margin = 18 / 25.4 * 72 - 0.5;
    bool landscape = false;
    for (std::size_t p = 0; p < pages.size(); ++p) {
        const Page& page = pages[p];
        landscape = landscape || page.width > page.height;
        QString text;
        for (const Word& w : page.words) {
            text += w.text + QLatin1Char(' ');
            QVERIFY2(w.xMin >= margin && w.yMin >= margin && w.xMax <= page.width - margin &&
                         w.yMax <= page.height - margin,
                     qPrintable(QStringLiteral("page %1: «%2»").arg(p + 1).arg(w.text)));
        }
        QVERIFY(text.contains(QStringLiteral("%1 de %2").arg(p + 1).arg(pages.size())));
    }
    QVERIFY(landscape);
    QVERIFY(pages.front().width < pages.front().height);
}

// Each check's line on the checks pages names its place once, as the engine composes it
// ("Vano 1, x = 0,40 m: φMn− = …"), never the place again before its words.
void TestBeamPdf::checksNameTheirPlaceOnce() {
    const LocaleGuard locale(QLocale(QLocale::Spanish, QLocale::Colombia));
    const auto [input, design] = sixSpans();
    printing::CalculationSheet sheet;
    sheet.withSection = false;
    sheet.code = input.code;
    sheet.beam = printing::CalculationSheet::Beam{input, design};
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("viga.pdf"));
    QCOMPARE(printing::writeCalculationSheet(pdf, sheet), QString());
    QString text;
    for (const Page& page : readWords(pdf))
        for (const Word& w : page.words) text += w.text + QLatin1Char(' ');
    for (const engine::beam::Check& check : design.checks) {
        const QString place = QString::fromStdString(engine::beam::placeText(check.place, ','));
        if (place.isEmpty()) continue;
        QVERIFY2(text.contains(place + QStringLiteral(": ")), qPrintable(place));
        QVERIFY2(!text.contains(place + QStringLiteral(": ") + place), qPrintable(place));
    }
}

// The words a reviewer looks for: the beam with its axis and level, the project, the code and
// class, the section and materials, each span's load and moments, the table at the faces with
// Mpr and the shear figures, every check with its article, and the drawings' scale.
void TestBeamPdf::inputsFacesAndArticlesOnTheSheet() {
    namespace eb = engine::beam;
    const LocaleGuard locale(QLocale(QLocale::Spanish, QLocale::Colombia));
    auto [input, design] = beamfixture::threeSpans();
    input.name = "V-201";
    input.axis = "Eje B";
    input.level = "Piso 2";
    input.spans[1].wu = 4.25;
    input.settings.stirrupDesignation = 4;
    eb::FaceStation face;
    face.span = 2;
    face.side = eb::Side::Right;
    face.x = 11.8;
    face.muNeg = 15;
    face.mprNeg = 31.47;
    face.mprPos = 18.62;
    face.ve = 21.93;
    face.vc = 0;
    face.phiVn = 27.51;
    design.faces = {face};
    for (eb::Check& check : design.checks)
        check.article = eb::ruleArticle(check.rule, input.code, input.seismicClass);
    design.notes.push_back(eb::Phrase() << "Se supone una nota del diseño");
    printing::CalculationSheet sheet;
    sheet.withSection = false;
    sheet.code = input.code;
    sheet.fileName = QStringLiteral("porticos.quintaral");
    sheet.beam = printing::CalculationSheet::Beam{input, design};
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("viga.pdf"));
    QCOMPARE(printing::writeCalculationSheet(pdf, sheet), QString());
    const std::vector<Page> pages = readWords(pdf);
    QVERIFY(!pages.empty());
    const QString first = pageLines(pages.front()) + QLatin1Char('\n');
    QString all;
    for (const Page& page : pages) all += pageLines(page) + QLatin1Char('\n');
    for (const char* line :
         {"Viga V-201, Eje B, Piso 2", "Proyecto: porticos",
          "Norma NSR-10, capacidad especial de disipación de energía (DES)", "Ancho b 30 cm",
          "Altura total h 50 cm", "Resistencia del concreto f'c 210 kg/cm²",
          "Fluencia del acero Fy 4200 kg/cm²", "Estribo N° 4 (fyt = 4200 kg/cm²)",
          "Recubrimiento libre 4 cm", "Tamaño máximo del agregado 1,9 cm",
          "2 6,00 40 40 4,25 15,00 10,00 15,00", "1 5,00 40 40 — 12,00 8,00 14,00",
          "– Se supone una nota del diseño"})
        QVERIFY2(first.contains(QLatin1Char('\n') + QString::fromUtf8(line) + QLatin1Char('\n')),
                 qPrintable(QString::fromUtf8(line) + QStringLiteral(" in\n") + first));
    for (const char* words :
         {"Vano Cara x (m) Mu− Mu+ φMn− φMn+ Mn− Mn+ Mpr− Mpr+ Ve Vc φVn",
          "2 derecha 11,80 15,00 0,00 0,00 0,00 0,00 0,00 31,47 18,62 21,93 0,00 27,51",
          "(C.9.1.1)", "(C.21.5.2.1)", "No cumple — Vano 2, apoyo izquierdo", "Escala 1:50"})
        QVERIFY2(all.contains(QString::fromUtf8(words)),
                 qPrintable(QString::fromUtf8(words) + QStringLiteral(" in\n") + all));
}

// A 12 m stretch of elevation at 1:50 takes 240 mm, within the 243 mm of a landscape Letter
// page's body; at 1:25 it would take twice that. The sections take the largest scale at which
// they fit, and the size each drawing is painted at is its bounds at that scale exactly.
void TestBeamPdf::drawingsAtTheLargestStandardScaleThatFits() {
    namespace eb = engine::beam;
    const auto [input, design] = beamfixture::threeSpans();
    QPdfWriter writer(QStringLiteral("/dev/null"));
    writer.setResolution(600);
    const double pixelsPerMm = 600 / 25.4;
    const QSizeF room(243 * pixelsPerMm, 150 * pixelsPerMm);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(10);
    const int scale = printing::elevationScale(design, input, '.', {{0, 12}, {12, 17.6}}, room,
                                               font, &writer);
    QCOMPARE(scale, 50);
    const printing::ScaledDrawing elevation =
        printing::scaledElevation(design, input, '.', 0, 12, scale, font, &writer, room.height());
    QVERIFY(qAbs(elevation.size.width() - 1200 * pixelsPerMm * 10 / 50) < 1e-6);

    const QSizeF portrait(180 * pixelsPerMm, 200 * pixelsPerMm);
    const printing::ScaledDrawing sections =
        printing::scaledSections(design, input, '.', portrait, font, &writer);
    QVERIFY(sections.size.width() <= portrait.width() && sections.size.height() <= portrait.height());
    const double perCm = 600 / 2.54 / sections.scale;
    QCOMPARE(sections.size.width(), sections.drawing.bounds.width() * perCm);
    const int* at = std::find(std::begin(eb::standardScales), std::end(eb::standardScales),
                              sections.scale);
    QVERIFY(at != std::end(eb::standardScales));
    if (at != std::begin(eb::standardScales)) {
        // No layout of the sections fits at the next larger scale.
        const double larger = 600 / 2.54 / at[-1];
        for (int columns = 1; columns <= 8; ++columns) {
            const auto drawing = engine::drawing::sections(
                design, input, QFontMetricsF(font, &writer).height() * 0.72 / larger, '.', columns);
            QVERIFY(drawing.bounds.width() * larger > portrait.width() ||
                    drawing.bounds.height() * larger > portrait.height());
        }
    }
}

// A project of several beams: the PDF opens with the index (every beam with its description,
// group and verdict), then the pages of the group (once, under its name) and of the beam alone;
// the DXF takes the same two sheets, in one file each when asked so.
void TestBeamPdf::everyBeamOfAProject() {
    const LocaleGuard locale(QLocale(QLocale::Spanish, QLocale::Colombia));
    project::Project project;
    fillBuilding(project);
    QCOMPARE(project.beams().size(), std::size_t(3));
    const QString group = project.beams().front().beam.group;
    QCOMPARE(group, QStringLiteral("V-101 = V-102"));

    QStringList undesigned;
    const std::vector<dxfexport::SheetBeam> sheets = printing::projectSheets(project, undesigned);
    QCOMPARE(sheets.size(), std::size_t(2));
    QCOMPARE(QString::fromStdString(sheets[0].input.name), group);
    QCOMPARE(QString::fromStdString(sheets[1].input.name), QStringLiteral("V-103"));
    QVERIFY(undesigned.isEmpty());
    QTemporaryDir apart;
    QCOMPARE(printing::writeSheetsApart(apart.path(), sheets, '.', {}), QString());
    QCOMPARE(QDir(apart.path()).entryList(QDir::Files, QDir::Name),
             QStringList({QStringLiteral("V-101 = V-102.dxf"), QStringLiteral("V-103.dxf")}));

    const std::optional<printing::CalculationSheet> sheet = printing::calculationSheet(project);
    QVERIFY(sheet);
    QVERIFY(!sheet->withSection);
    QCOMPARE(sheet->index.size(), std::size_t(3));
    QCOMPARE(sheet->beams.size(), std::size_t(2));
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("edificio.pdf"));
    QCOMPARE(printing::writeCalculationSheet(pdf, *sheet), QString());
    const std::vector<Page> pages = readWords(pdf);
    QVERIFY(pages.size() > 12);  // the index, then at least six pages a sheet
    const QString index = pageLines(pages.front());
    QVERIFY2(index.contains(QStringLiteral("Índice de vigas")), qPrintable(index));
    for (const QString& words :
         {QStringLiteral("V-101 Eje A V-101 = V-102"), QStringLiteral("V-102 Eje B V-101 = V-102"),
          QStringLiteral("V-103 Eje C")})
        QVERIFY2(index.contains(words), qPrintable(words + QStringLiteral(" not in:\n") + index));
    // Each sheet's data page is titled with its beam's name.
    int groupTitles = 0, aloneTitles = 0;
    for (std::size_t p = 1; p < pages.size(); ++p) {
        const QString lines = pageLines(pages[p]);
        groupTitles += lines.contains(QStringLiteral("\nViga V-101 = V-102"));
        aloneTitles += lines.contains(QStringLiteral("\nViga V-103"));
    }
    QVERIFY(groupTitles >= 1);
    QVERIFY(aloneTitles >= 1);
}

QUINTARAL_GUI_TEST_MAIN(TestBeamPdf)
#include "test_beampdf.moc"
