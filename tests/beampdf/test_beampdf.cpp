// The beam's PDF pages: nothing runs past a page's printable area (every word pdftotext finds
// lies inside the margins), the elevation pages are landscape, and a beam longer than a page
// takes is split over pages that say which part each one shows.
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <variant>

#include "beamfixture.h"
#include "engine/beam/beam.h"
#include "engine/beam/checktext.h"
#include "guitest.h"
#include "print/pdfsheet.h"

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

}  // namespace

class TestBeamPdf : public GuiTestCase {
    Q_OBJECT
  private Q_SLOTS:
    void insidePrintableArea_data();
    void insidePrintableArea();
    void calculationSheetWithBeam_data();
    void calculationSheetWithBeam();
    void checksNameTheirPlaceOnce();
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
            ++elevationPages;
            QVERIFY2(page.width > page.height, "the elevation is on a landscape page");
            for (const auto& mark : {QStringLiteral("S1:"), QStringLiteral("I1:")})
                if (p == 0) QVERIFY(text.contains(mark));
        }
    }
    // 17.6 m over two pages, about 40 m over at least three; each says which part it shows.
    QVERIFY(elevationPages >= (spans == 6 ? 3 : 2));
    QString first;
    for (const Word& w : pages[0].words) first += w.text + QLatin1Char(' ');
    QVERIFY(first.contains(QStringLiteral("(1 de %1)").arg(elevationPages)));
}

void TestBeamPdf::calculationSheetWithBeam_data() {
    QTest::addColumn<bool>("withSection");
    QTest::newRow("sección y viga") << true;
    QTest::newRow("solo la viga") << false;
}

// The calculation sheet with a beam: the section's pages, then the beam's under the same
// header and numbering, every word inside the margins. Without a section design the sheet is
// the beam's pages alone, the first one (the elevation) landscape.
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
    QCOMPARE(pages.front().width > pages.front().height, !withSection);
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

QUINTARAL_GUI_TEST_MAIN(TestBeamPdf)
#include "test_beampdf.moc"
