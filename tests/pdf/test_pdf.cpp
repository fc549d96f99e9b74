#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <variant>

#include "engine/code.h"
#include "engine/run.h"
#include "engine/layout.h"
#include "guitest.h"
#include "pdfbounds.h"
#include "print/pdfsheet.h"
#include "print/sheetexport.h"
#include "project/project.h"

Q_DECLARE_METATYPE(engine::DesignCode)

namespace {

// The sheet of a completed design, with the report as the window shows it.
printing::CalculationSheet sheetFor(engine::DesignCode code, const engine::DesignInput& input,
                                    engine::SectionKind expectedKind) {
    const engine::RunOutcome outcome = engine::runDesign(input, code);
    const auto* run = std::get_if<engine::DesignRun>(&outcome);
    printing::CalculationSheet sheet;
    sheet.code = code;
    sheet.inputs = input;
    sheet.date = QDate(2024, 3, 7);
    if (!run || run->kind() != expectedKind) return sheet;  // an empty report fails the test
    const QString point = QLocale().decimalPoint();
    sheet.report = QString::fromStdString(engine::resultsReport(*run, point.front().toLatin1()));
    return sheet;
}

// Runs a poppler tool on `pdf` and returns what it wrote.
QString popplerOutput(const QString& tool, QStringList arguments) {
    QProcess process;
    process.start(QStandardPaths::findExecutable(tool), arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString pdfText(const QString& pdf) {
    return popplerOutput(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, "-"});
}

// The extracted lines with runs of blanks made one, since the layout keeps only the columns.
QStringList simplifiedLines(const QString& text) {
    QStringList lines;
    for (const QString& line : text.split(QRegularExpression(QStringLiteral("[\n\f]"))))
        lines << line.simplified();
    return lines;
}

bool hasLineContaining(const QStringList& lines, const QString& wanted) {
    const QString simple = wanted.simplified();
    for (const QString& line : lines)
        if (line.contains(simple)) return true;
    return false;
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class PdfSheetTest : public GuiTestCase {
    Q_OBJECT
  private Q_SLOTS:
    void init() {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty() ||
            QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
            QSKIP("poppler-utils (pdftotext, pdfinfo) is not installed");
    }

    void sheetShowsReportAndHeaders_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<engine::DesignCode>("code");
        QTest::addColumn<double>("mu");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<int>("extraLines");  // appended to the report to force more pages
        QTest::addColumn<QString>("paper");

        const int singly = int(engine::SectionKind::Singly);
        const int doubly = int(engine::SectionKind::Doubly);
        QTest::newRow("singly, NSR-98, Letter")
            << "en_US" << engine::DesignCode::Nsr98 << 1.0 << singly << QString() << 0 << "letter";
        QTest::newRow("doubly, NSR-10, comma, A4") << "es_ES" << engine::DesignCode::Nsr10 << 30.0
                                                   << doubly << "viga V-1.quintaral" << 0 << "A4";
        QTest::newRow("long report over pages") << "es_CO" << engine::DesignCode::Nsr98 << 30.0
                                                << doubly << "larga.quintaral" << 150 << "letter";
    }

    void sheetShowsReportAndHeaders() {
        QFETCH(QString, locale);
        QFETCH(engine::DesignCode, code);
        QFETCH(double, mu);
        QFETCH(int, kind);
        QFETCH(QString, fileName);
        QFETCH(int, extraLines);
        QFETCH(QString, paper);
        const LocaleGuard guard{QLocale(locale)};

        printing::CalculationSheet sheet =
            sheetFor(code, {30.5, 40, 5, 210, 4200, mu, 5}, engine::SectionKind(kind));
        QVERIFY(!sheet.report.isEmpty());
        sheet.fileName = fileName;
        for (int i = 1; i <= extraLines; ++i)
            sheet.report += QStringLiteral("\r\n línea añadida %1").arg(i);

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("hoja.pdf"));
        QCOMPARE(printing::writeCalculationSheet(path, sheet), QString());

        const QString text = pdfText(path);
        const QStringList lines = simplifiedLines(text);
        for (const QString& line : sheet.report.split(QStringLiteral("\r\n")))
            QVERIFY2(hasLineContaining(lines, line), qPrintable(line));

        QStringList pages = text.split(QLatin1Char('\f'));
        if (pages.last().trimmed().isEmpty()) pages.removeLast();
        QCOMPARE(pages.size() > 1, extraLines > 0);
        for (int page = 1; page <= pages.size(); ++page) {
            const QStringList pageLines = simplifiedLines(pages[page - 1]);
            QVERIFY(hasLineContaining(
                pageLines, QStringLiteral("Página %1 de %2").arg(page).arg(pages.size())));
            QVERIFY(hasLineContaining(pageLines, QString::fromUtf8(engine::codeName(code).data())));
            QVERIFY(hasLineContaining(pageLines, QStringLiteral("Fecha: 07/03/2024")));
            QCOMPARE(hasLineContaining(pageLines, QStringLiteral("Archivo: ") + fileName),
                     !fileName.isEmpty());
        }
        QVERIFY(hasLineContaining(
            lines, QStringLiteral("Ancho b 30%1").arg(QLocale(locale).decimalPoint()) +
                       QStringLiteral("5 cm")));
        QVERIFY(hasLineContaining(lines, QStringLiteral("Recubrimiento d'' 5 cm")));
        QVERIFY(hasLineContaining(lines, QStringLiteral("Momento último Mu ") +
                                             QString::number(mu) + QStringLiteral(" Tn-m")));
        QVERIFY(popplerOutput(QStringLiteral("pdfinfo"), {path}).contains(paper));
    }

    void everythingInsideThePrintableArea_data() {
        QTest::addColumn<engine::DesignCode>("code");
        QTest::addColumn<double>("mu");
        QTest::newRow("NSR-98 singly") << engine::DesignCode::Nsr98 << 23.0;
        QTest::newRow("NSR-98 doubly") << engine::DesignCode::Nsr98 << 40.0;
        QTest::newRow("NSR-10 singly") << engine::DesignCode::Nsr10 << 23.0;
        QTest::newRow("NSR-10 doubly") << engine::DesignCode::Nsr10 << 40.0;
    }

    // The sheet of a project with its first proposed bars: no word of any page, the long check
    // lines of the bars page included, lies outside the margins.
    void everythingInsideThePrintableArea() {
        QFETCH(engine::DesignCode, code);
        QFETCH(double, mu);
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
        const LocaleGuard guard{QLocale(QStringLiteral("es_CO"))};
        const engine::DesignInput input{30, 50, 5, 210, 4200, mu, 5};
        const auto run = std::get<engine::DesignRun>(engine::runDesign(input, code));
        project::Project project;
        project.setDesign({input, run});
        project::ChosenBars bars;
        bars.tension =
            engine::findCandidates(run.as(), engine::Face::Tension, {}, 30, 50).candidates.at(0)
                .arrangement;
        if (run.kind() == engine::SectionKind::Doubly)
            bars.compression =
                engine::findCandidates(run.asPrime(), engine::Face::Compression, {}, 30, 50)
                    .candidates.at(0)
                    .arrangement;
        project.setBars(bars);
        std::optional<printing::CalculationSheet> sheet = printing::calculationSheet(project);
        QVERIFY(sheet && sheet->layout);
        sheet->fileName = QStringLiteral("una viga del puente peatonal sobre la quebrada con un "
                                         "nombre de archivo mucho más largo que la línea.quintaral");

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("hoja.pdf"));
        QCOMPARE(printing::writeCalculationSheet(path, *sheet), QString());
        const double margin = 18 / 25.4 * 72;
        const QStringList outside = wordsOutsidePrintableArea(path, margin);
        QVERIFY2(outside.isEmpty(), qPrintable(outside.join(QLatin1Char('\n'))));
    }

    void layoutDrawingAndChecks() {
        const LocaleGuard guard{QLocale(QStringLiteral("es_CO"))};
        printing::CalculationSheet sheet = sheetFor(
            engine::DesignCode::Nsr98, {30, 50, 5, 210, 4200, 12, 5}, engine::SectionKind::Singly);
        QVERIFY(!sheet.report.isEmpty());
        QList<QRectF> areas;
        sheet.layout = printing::SheetLayout{
            QStringLiteral("3 barras Nº 6 en una capa"),
            {QStringLiteral("d real: 44,1 cm"), QStringLiteral("Mu/φMn: 0,83"),
             QStringLiteral("Cumple")},
            [&areas](QPainter& painter, const QRectF& area) {
                areas << area;
                painter.drawRect(area.adjusted(10, 10, -10, -10));
                painter.drawText(area.center(), QStringLiteral("CROQUIS-DE-SECCION"));
            }};
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("con dibujo.pdf"));
        QCOMPARE(printing::writeCalculationSheet(path, sheet), QString());

        QCOMPARE(areas.size(), 1);
        QVERIFY(areas.front().width() > 0 && areas.front().height() > 0);
        const QStringList lines = simplifiedLines(pdfText(path));
        for (const QString& wanted :
             {QStringLiteral("CROQUIS-DE-SECCION"), QStringLiteral("3 barras Nº 6 en una capa"),
              QStringLiteral("d real: 44,1 cm"), QStringLiteral("Mu/φMn: 0,83"),
              QStringLiteral("Cumple"), QStringLiteral("Página 1 de 1")})
            QVERIFY2(hasLineContaining(lines, wanted), qPrintable(wanted));
    }

    void failureLeavesEverythingAsItWas_data() {
        QTest::addColumn<QString>("target");  // relative to a fresh folder
        QTest::addColumn<QString>("reason");  // part of the message
        QTest::newRow("path is a folder") << "informes"
                                          << "es una carpeta";
        QTest::newRow("folder missing") << "no-existe/hoja.pdf"
                                        << "no existe";
    }

    void failureLeavesEverythingAsItWas() {
        QFETCH(QString, target);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("informes")));
        // An older sheet inside the folder and beside the target must survive.
        const QString older = dir.filePath(QStringLiteral("informes/hoja.pdf"));
        QFile file(older);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("older sheet");
        file.close();
        const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden);

        const printing::CalculationSheet sheet = sheetFor(
            engine::DesignCode::Nsr98, {30, 50, 5, 210, 4200, 12, 5}, engine::SectionKind::Singly);
        const QString path = dir.filePath(target);
        const std::optional<ShownBox> box = ModalWatcher::instance().answerMessageBox(
            [&] { QVERIFY(!printing::saveCalculationSheetAs(nullptr, sheet, path)); });
        QVERIFY(box);
        QCOMPARE(box->icon, QMessageBox::Critical);
        QVERIFY2(box->text.contains(reason), qPrintable(box->text));
        QVERIFY(box->text.contains(QDir::toNativeSeparators(path)));

        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden), before);
        QCOMPARE(QDir(dir.filePath(QStringLiteral("informes"))).entryList(QDir::Files).size(), 1);
        QCOMPARE(contents(older), QByteArray("older sheet"));

        // Where writing works, the new sheet replaces the older one whole.
        QCOMPARE(printing::writeCalculationSheet(older, sheet), QString());
        QVERIFY(contents(older).startsWith("%PDF"));
    }

    void exportCommand() {
        const std::optional<ShownBox> box = ModalWatcher::instance().answerMessageBox([] {
            printing::exportCalculationSheet(nullptr, std::nullopt, QStringLiteral("x.pdf"));
        });
        QVERIFY(box);
        QCOMPARE(box->icon, QMessageBox::Information);
        QVERIFY(box->text.startsWith(QStringLiteral("No hay ningún diseño para exportar")));

        // With a design the command asks for the file; cancelling writes nothing.
        QTemporaryDir dir;
        const QString suggested = dir.filePath(QStringLiteral("viga.pdf"));
        const printing::CalculationSheet sheet = sheetFor(
            engine::DesignCode::Nsr98, {30, 50, 5, 210, 4200, 12, 5}, engine::SectionKind::Singly);
        const std::optional<QString> dialog = ModalWatcher::instance().cancelDialog(
            [&] { printing::exportCalculationSheet(nullptr, sheet, suggested); });
        QCOMPARE(dialog, std::optional<QString>(QStringLiteral("QFileDialog")));
        QVERIFY(QDir(dir.path()).isEmpty());
    }
};

QUINTARAL_GUI_TEST_MAIN(PdfSheetTest)

#include "test_pdf.moc"
