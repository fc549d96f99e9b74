#include <unistd.h>

#include <QAbstractButton>
#include <QAction>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <functional>
#include <optional>
#include <variant>

#include "app/windows.h"
#include "engine/design.h"
#include "engine/report.h"
#include "guitest.h"
#include "mainwindow/mainwindow.h"
#include "print/printreport.h"
#include "printtools.h"

namespace {

const QString title = QStringLiteral("********  DISEÑO DE VIGA DE CONCRETO ********");

// The default beam of the main window with the given moment.
engine::DesignInput beam(double mu) {
    return {100, 15, 5, 210, 4200, mu, 5};
}

engine::nsr98::ReportValues valuesFor(const engine::DesignInput& input, char separator) {
    const engine::nsr98::DesignOutcome outcome = engine::nsr98::design(input);
    const auto* result = std::get_if<engine::nsr98::DesignResult>(&outcome);
    return result ? engine::nsr98::reportValues(*result, separator) : engine::nsr98::ReportValues{};
}

QString composed(const engine::nsr98::ReportValues* values) {
    return QString::fromStdString(engine::nsr98::printedReport(values));
}

QStringList bareForm() {
    return {title,
            QString(),
            QStringLiteral(" d :  cm"),
            QStringLiteral(" Ku :  Tn/cm2"),
            QStringLiteral(" Alfa : "),
            QStringLiteral(" Beta : "),
            QStringLiteral(" Ro Requerido :"),
            QStringLiteral(" ro maximo : "),
            QStringLiteral(" ro Balanceado : "),
            QStringLiteral(" ro minimo : "),
            QStringLiteral(" K maximo : "),
            QStringLiteral(" M Maximo :  Tn-m "),
            QStringLiteral(" Area de Refuerzo :  cm2")};
}

// b 100, h 15, d' 5, f'c 210, Fy 4200, Mu 1, d'' 5.
QStringList singlyLines() {
    return {title,
            QString(),
            QStringLiteral(" d : 10 cm"),
            QStringLiteral(" Ku : 0.01000000 Tn/cm2"),
            QStringLiteral(" Alfa : 0.7225"),
            QStringLiteral(" Beta : 0.425"),
            QStringLiteral(" Ro Requerido :0.0027334"),
            QStringLiteral(" ro maximo : 0.0159375"),
            QStringLiteral(" ro Balanceado : 0.0212500"),
            QStringLiteral(" ro minimo : 0.0033333"),
            QStringLiteral(" K maximo : 0.049"),
            QStringLiteral(" M Maximo : 4.89 Tn-m "),
            QStringLiteral(" Area de Refuerzo : 3.33 cm2"),
            QStringLiteral(" SECCION SIMPLEMENTE REFORZADA ")};
}

// The same beam with Mu 5.
QStringList doublyLines() {
    return {title,
            QString(),
            QStringLiteral(" d : 10 cm"),
            QStringLiteral(" Ku : 0.05000000 Tn/cm2"),
            QStringLiteral(" Alfa : 0.7225"),
            QStringLiteral(" Beta : 0.425"),
            QStringLiteral(" Ro Requerido :0.0163866"),
            QStringLiteral(" ro maximo : 0.0159375"),
            QStringLiteral(" ro Balanceado : 0.0212500"),
            QStringLiteral(" ro minimo : 0.0033333"),
            QStringLiteral(" K maximo : 0.049"),
            QStringLiteral(" M Maximo : 4.89 Tn-m "),
            QStringLiteral(" Area de Refuerzo : 16.49 cm2"),
            QStringLiteral(" SECCION DOBLEMENTE REFORZADA "),
            QStringLiteral(" Area acero superior :0.56 cm2")};
}

QStringList withComma(QStringList lines) {
    static const QRegularExpression decimalPoint(QStringLiteral("(\\d)\\.(\\d)"));
    for (QString& line : lines) line.replace(decimalPoint, QStringLiteral("\\1,\\2"));
    return lines;
}

void pdfPrinter(QPrinter& printer, const QString& path) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
}

// Restores the working directory when a test changed it.
class CurrentDirGuard {
  public:
    explicit CurrentDirGuard(const QString& dir) { QDir::setCurrent(dir); }
    ~CurrentDirGuard() { QDir::setCurrent(saved_); }
    CurrentDirGuard(const CurrentDirGuard&) = delete;
    CurrentDirGuard& operator=(const CurrentDirGuard&) = delete;

  private:
    QString saved_ = QDir::currentPath();
};

}  // namespace

class TestPrint : public GuiTestCase {
    Q_OBJECT
  private Q_SLOTS:
    void composition_data();
    void composition();
    void sameValueTextsAsResultsReport_data();
    void sameValueTextsAsResultsReport();
    void unchangedByLaterEdits_data();
    void unchangedByLaterEdits();
    void printsToPdf_data();
    void printsToPdf();
    void continuesOnNewPages();
    void failureTellsTheUser_data();
    void failureTellsTheUser();
    void cancellingPrintsNothing_data();
    void cancellingPrintsNothing();
    void printsOnPrivateQueue();
};

void TestPrint::composition_data() {
    QTest::addColumn<bool>("designed");
    QTest::addColumn<double>("mu");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("no design: labels and units only") << false << 0.0 << QChar('.') << bareForm();
    QTest::newRow("singly reinforced: 14 lines") << true << 1.0 << QChar('.') << singlyLines();
    QTest::newRow("doubly reinforced: 15 lines") << true << 5.0 << QChar('.') << doublyLines();
    QTest::newRow("doubly reinforced, decimal comma")
        << true << 5.0 << QChar(',') << withComma(doublyLines());
}

void TestPrint::composition() {
    QFETCH(bool, designed);
    QFETCH(double, mu);
    QFETCH(QChar, separator);
    QFETCH(QStringList, expected);

    const engine::nsr98::ReportValues values = valuesFor(beam(mu), separator.toLatin1());
    const QString text = composed(designed ? &values : nullptr);
    QCOMPARE(text.split(QStringLiteral("\r\n")), expected);
    // CR LF between lines only: no bare line feed inside, nothing after the last line.
    QCOMPARE(text, expected.join(QStringLiteral("\r\n")));
}

// The printed report is the results report without the "Cuantias" heading and with the
// balanced ratio before the minimum ratio.
void TestPrint::sameValueTextsAsResultsReport_data() {
    QTest::addColumn<QList<double>>("input");  // b, h, d', f'c, Fy, Mu, d''
    QTest::addColumn<QChar>("separator");

    QTest::newRow("defaults") << QList<double>{100, 15, 5, 210, 4200, 1, 5} << QChar('.');
    QTest::newRow("doubly, d'' 4") << QList<double>{100, 15, 5, 210, 4200, 6, 4} << QChar('.');
    QTest::newRow("f'c 350") << QList<double>{30, 50, 5, 350, 4200, 40, 5} << QChar('.');
    QTest::newRow("f'c 281") << QList<double>{30, 50, 5, 281, 4200, 20, 5} << QChar(',');
    QTest::newRow("no moment") << QList<double>{100, 15, 5, 210, 4200, 0, 5} << QChar(',');
    QTest::newRow("huge moment") << QList<double>{100, 40, 5, 210, 4200, 500, 5} << QChar('.');
}

void TestPrint::sameValueTextsAsResultsReport() {
    QFETCH(QList<double>, input);
    QFETCH(QChar, separator);

    const engine::DesignInput in{input[0], input[1], input[2], input[3],
                                 input[4], input[5], input[6]};
    const engine::nsr98::ReportValues values = valuesFor(in, separator.toLatin1());
    QStringList expected =
        QString::fromStdString(engine::nsr98::resultsReport(values)).split(QStringLiteral("\r\n"));
    QVERIFY2(expected.size() == 15 || expected.size() == 16, qPrintable(expected.join('|')));
    QCOMPARE(expected.at(6), QStringLiteral("      Cuantias   "));
    expected.removeAt(6);
    expected.swapItemsAt(8, 9);  // minimum, balanced -> balanced, minimum

    QCOMPARE(composed(&values).split(QStringLiteral("\r\n")), expected);
}

void TestPrint::unchangedByLaterEdits_data() {
    QTest::addColumn<QString>("newMoment");
    QTest::addColumn<bool>("calculateAgain");  // a run that stops with its message

    QTest::newRow("Mu edited, not calculated") << QStringLiteral("1") << false;
    QTest::newRow("Mu emptied, not calculated") << QString() << false;
    QTest::newRow("Mu not a number, calculation refused") << QStringLiteral("x") << true;
}

void TestPrint::unchangedByLaterEdits() {
    QFETCH(QString, newMoment);
    QFETCH(bool, calculateAgain);
    LocaleGuard locale(QLocale::c());

    windows::showMainWindow();
    MainWindow* form = windows::loadedMainWindow();
    auto* mu = form->findChild<QLineEdit*>(QStringLiteral("momentEdit"));
    auto* calculate = form->findChild<QAbstractButton*>(QStringLiteral("calculateButton"));
    QWidget* results = form->findChild<QWidget*>(QStringLiteral("resultsBox"));
    QVERIFY2(mu && calculate && results,
             "MainWindow lacks momentEdit, calculateButton or resultsBox");
    auto printed = [form] { return form->printedReport(); };

    QVERIFY(!form->lastDesign());
    QCOMPARE(printed(), bareForm().join(QStringLiteral("\r\n")));

    mu->setText(QStringLiteral("5"));
    calculate->click();
    QVERIFY(form->lastDesign());
    const QString afterRun = printed();
    QCOMPARE(afterRun, doublyLines().join(QStringLiteral("\r\n")));

    mu->selectAll();
    if (newMoment.isEmpty())
        QTest::keyClick(mu, Qt::Key_Backspace);
    else
        QTest::keyClicks(mu, newMoment);
    if (calculateAgain) {
        const std::optional<ShownBox> box =
            ModalWatcher::instance().answerMessageBox([calculate] { calculate->click(); });
        QVERIFY(box);
        QCOMPARE(box->title, QStringLiteral("Error"));
    }
    QCOMPARE(printed(), afterRun);

    // Printing leaves the window and the stored run as they were.
    const QVariant resultsText = results->property("plainText");
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    pdfPrinter(printer, dir.filePath(QStringLiteral("report.pdf")));
    QVERIFY(printing::printReportOn(form, printer, form->printedReport()));
    QCOMPARE(results->property("plainText"), resultsText);
    QCOMPARE(mu->text(), newMoment);
    QCOMPARE(printed(), afterRun);
}

void TestPrint::printsToPdf_data() {
    QTest::addColumn<bool>("designed");
    QTest::addColumn<double>("mu");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("no design") << false << 0.0 << bareForm();
    QTest::newRow("singly reinforced") << true << 1.0 << singlyLines();
    QTest::newRow("doubly reinforced") << true << 5.0 << doublyLines();
}

void TestPrint::printsToPdf() {
    QFETCH(bool, designed);
    QFETCH(double, mu);
    QFETCH(QStringList, expected);

    const engine::nsr98::ReportValues values = valuesFor(beam(mu), '.');
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    pdfPrinter(printer, pdf);
    QCOMPARE(printing::printTextFailure(printer, composed(designed ? &values : nullptr)),
             QString());

    const ToolRun text = pdfText(pdf);
    QVERIFY2(text.ok, qPrintable(text.output));
    QCOMPARE(textLines(text.output), visible(expected));
    QCOMPARE(pdfPages(pdf), 1);

    // A fixed-pitch face, so the columns of the report stay aligned.
    const ToolRun fonts = runTool(QStringLiteral("pdffonts"), {pdf});
    QVERIFY2(fonts.ok, qPrintable(fonts.output));
    QVERIFY2(fonts.output.contains(QStringLiteral("Mono")), qPrintable(fonts.output));
}

void TestPrint::continuesOnNewPages() {
    QStringList lines;
    for (int i = 1; i <= 150; ++i) lines << QStringLiteral("línea %1").arg(i);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("long.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    pdfPrinter(printer, pdf);
    QCOMPARE(printing::printTextFailure(printer, lines.join(QStringLiteral("\r\n"))), QString());

    const ToolRun text = pdfText(pdf);
    QVERIFY2(text.ok, qPrintable(text.output));
    QStringList read = textLines(text.output);
    read.removeAll(QString());  // the gap at each page end
    QCOMPARE(read, lines);
    // 10 pt lines on A4 with 20 mm margins: about 60 a page.
    QCOMPARE(pdfPages(pdf), 3);
}

void TestPrint::failureTellsTheUser_data() {
    QTest::addColumn<QString>("file");  // relative to a temporary folder

    QTest::newRow("folder does not exist") << QStringLiteral("missing/report.pdf");
    QTest::newRow("path is a folder") << QStringLiteral("folder");
}

void TestPrint::failureTellsTheUser() {
    QFETCH(QString, file);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    const QString path = dir.filePath(file);
    const engine::nsr98::ReportValues values = valuesFor(beam(5), '.');

    QPrinter printer(QPrinter::HighResolution);
    pdfPrinter(printer, path);
    bool printed = true;
    const std::optional<ShownBox> box = ModalWatcher::instance().answerMessageBox(
        [&] { printed = printing::printReportOn(nullptr, printer, composed(&values)); });
    QVERIFY(!printed);
    QVERIFY2(box, "no message box");
    QCOMPARE(box->title, QStringLiteral("Imprimir"));
    QCOMPARE(box->icon, QMessageBox::Warning);
    QCOMPARE(box->buttons.size(), 1);
    QVERIFY2(box->text.startsWith(QStringLiteral("No se pudo imprimir el informe: ")),
             qPrintable(box->text));
    QVERIFY2(box->text.contains(path), qPrintable(box->text));
    QVERIFY(!QFileInfo(path).isFile());
}

void TestPrint::cancellingPrintsNothing_data() {
    QTest::addColumn<bool>("fromMenu");

    QTest::newRow("printDesignReport") << false;
    QTest::newRow("menu entry imprimir") << true;
}

void TestPrint::cancellingPrintsNothing() {
    QFETCH(bool, fromMenu);
    QTemporaryDir dir;
    CurrentDirGuard cwd(dir.path());  // where printing to a file would land by default
    const engine::nsr98::ReportValues values = valuesFor(beam(5), '.');

    std::function<void()> print = [&] { printing::printDesignReport(nullptr, composed(&values)); };
    if (fromMenu) {
        windows::showMainWindow();
        MainWindow* form = windows::loadedMainWindow();
        auto* entry = form->findChild<QAction*>(QStringLiteral("printAction"));
        QVERIFY2(entry, "MainWindow lacks the menu entry imprimir");
        print = [entry] { entry->trigger(); };
    }
    const std::optional<QString> dialog = ModalWatcher::instance().cancelDialog(print);
    QCOMPARE(dialog, std::optional<QString>(QStringLiteral("QPrintDialog")));
    QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
}

// Prints by name on a PDF queue of a private CUPS scheduler and reads back what the queue wrote.
void TestPrint::printsOnPrivateQueue() {
    QElapsedTimer elapsed;
    elapsed.start();
    const QString cupsd = findProgram(QStringLiteral("cupsd"));
    const QString lpadmin = findProgram(QStringLiteral("lpadmin"));
    const QString lpstat = findProgram(QStringLiteral("lpstat"));
    if (cupsd.isEmpty() || lpadmin.isEmpty() || lpstat.isEmpty())
        QSKIP("cupsd, lpadmin or lpstat is not installed (packages cups, cups-client)");
    const QString backend = QStringLiteral("/usr/lib/cups/backend/cups-pdf");
    QString ppd = QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd");
    if (!QFileInfo::exists(ppd)) ppd = QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd");
    if (!QFileInfo::exists(backend) || !QFileInfo::exists(ppd))
        QSKIP("the cups-pdf backend is not installed (package printer-driver-cups-pdf)");
    if (!QFileInfo(backend).isExecutable())
        QSKIP("the cups-pdf backend runs only for root; this test needs to run as root");

    QTemporaryDir dir(QStringLiteral("/tmp/quintaral-cups-XXXXXX"));  // short: socket path limit
    QVERIFY(dir.isValid());
    PrivateScheduler scheduler(dir.path());
    const QString failure = scheduler.start(cupsd, lpstat);
    if (!failure.isEmpty())
        QSKIP(qPrintable(QStringLiteral("the private CUPS scheduler cannot run here: ") + failure));

    // cups-pdf takes PostScript. The queue turns the PDF it receives into PostScript with
    // pdftocairo, which keeps the character codes of the text; Ghostscript, the usual choice,
    // keeps only the glyph shapes, and pdftotext could then not read the PDF back.
    const QString queue = QStringLiteral("Quintaral_Test");
    const ToolRun added =
        runTool(lpadmin,
                {QStringLiteral("-p"), queue, QStringLiteral("-E"), QStringLiteral("-v"),
                 QStringLiteral("cups-pdf:/"), QStringLiteral("-P"), ppd, QStringLiteral("-o"),
                 QStringLiteral("pdftops-renderer-default=pdftocairo")},
                scheduler.clientEnvironment());
    QVERIFY2(added.ok, qPrintable(added.output + scheduler.errorLogTail()));

    const QString outFolder = cupsPdfOutputFolder();
    QVERIFY2(!outFolder.isEmpty(), "cannot tell where cups-pdf writes");
    const bool outFolderExisted = QFileInfo(outFolder).isDir();
    const QString document = QStringLiteral("quintaral-queue-test-%1").arg(getpid());

    const engine::nsr98::ReportValues values = valuesFor(beam(5), '.');
    const ToolRun client = runTool(QStringLiteral(QUEUE_CLIENT), {queue, document},
                                   scheduler.clientEnvironment(), composed(&values).toUtf8());
    QVERIFY2(client.ok, qPrintable(client.output + scheduler.errorLogTail()));

    // The job is done once cups-pdf has moved its PDF into place.
    QString pdf;
    const QDeadlineTimer deadline(30000);
    while (pdf.isEmpty() && !deadline.hasExpired()) {
        const ToolRun done = runTool(
            lpstat,
            {QStringLiteral("-W"), QStringLiteral("completed"), QStringLiteral("-o"), queue},
            scheduler.clientEnvironment());
        if (done.ok && !done.output.trimmed().isEmpty()) {
            const QStringList found =
                QDir(outFolder).entryList({QStringLiteral("*%1*.pdf").arg(document)}, QDir::Files);
            if (!found.isEmpty()) pdf = QDir(outFolder).filePath(found.first());
        }
        if (pdf.isEmpty()) QThread::msleep(200);
    }
    QVERIFY2(!pdf.isEmpty(), qPrintable(QStringLiteral("no PDF of the job in %1 after %2 ms%3")
                                            .arg(outFolder)
                                            .arg(elapsed.elapsed())
                                            .arg(scheduler.errorLogTail())));
    const ToolRun text = pdfText(pdf);
    QFile::remove(pdf);
    if (!outFolderExisted) QDir().rmdir(outFolder);
    QVERIFY2(text.ok, qPrintable(text.output));
    qInfo().noquote() << "pdftotext read from the queue's PDF:\n" + text.output;
    QCOMPARE(textLines(text.output), visible(doublyLines()));
    QVERIFY2(elapsed.elapsed() < 60000, qPrintable(QString::number(elapsed.elapsed())));
}

QUINTARAL_GUI_TEST_MAIN(TestPrint)
#include "test_print.moc"
