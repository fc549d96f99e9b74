#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <random>
#include <string>

#include "engine/design.h"
#include "engine/report.h"
#include "engine/schedule.h"

namespace {

struct Run {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

// Runs quintaral-cli under a comma-decimal locale: what it reads and writes must not change.
Run runCli(const QStringList& arguments, const QByteArray& input = {}) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("es_CO.UTF-8"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(QUINTARAL_CLI), arguments);
    if (!input.isNull()) process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(30000)) return {};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
}

QString number(double value) {
    std::string text;
    engine::appendShortestNumber(text, value, '.');
    return QString::fromStdString(text);
}

QByteArray fromEngine(std::string_view text) {
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

const QByteArray scheduleHeader = "id,b,h,cover,fc,fy,mu,cover2\n";

}  // namespace

class TestCli : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void designPrintsTheWindowsReportOrMessage();
    void badArguments_data();
    void badArguments();
    void helpAndVersion();
    void batchExitStatusesAndLineNumbers();
    void batchWithDecimalCommaAndSemicolons();
    void batchJsonLines();
    void batchFileErrors();

  private:
    QTemporaryDir dir_;
};

// For random sections (singly, doubly and failing ones) the command prints, line for line, the
// report the window shows, or the window's message with exit status 2.
void TestCli::designPrintsTheWindowsReportOrMessage() {
    std::mt19937 random(14);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int i = 0; i < 30; ++i) {
        const engine::DesignInput in{.b = 15 + 45 * unit(random),
                                     .h = 20 + 80 * unit(random),
                                     .dPrime = i % 10 == 3 ? 120 : 3 + 5 * unit(random),
                                     .fc = i % 10 == 7 ? 0 : 140 + 280 * unit(random),
                                     .fy = 2800 + 1400 * unit(random),
                                     .mu = -5 + 150 * unit(random),
                                     .dSecond = i % 10 == 5 ? 90 : 3 + 5 * unit(random)};
        const Run run = runCli({"design", "--b", number(in.b), "--h", number(in.h), "--cover",
                                number(in.dPrime), "--fc", number(in.fc), "--fy", number(in.fy),
                                "--mu", number(in.mu), "--cover2", number(in.dSecond)});
        const engine::DesignOutcome outcome = engine::design(in);
        if (const auto* error = std::get_if<engine::DesignError>(&outcome)) {
            QCOMPARE(run.status, 2);
            QCOMPARE(run.out, QByteArray());
            QCOMPARE(run.err, fromEngine(engine::designFailureText(*error)) + '\n');
            continue;
        }
        QCOMPARE(run.status, 0);
        QCOMPARE(run.err, QByteArray());
        const QByteArray report =
            fromEngine(engine::resultsReport(std::get<engine::DesignResult>(outcome), '.'));
        QVERIFY(run.out.endsWith('\n'));
        QCOMPARE(run.out.chopped(1).split('\n'), report.split('\r').join().split('\n'));
    }
}

void TestCli::badArguments_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    const QStringList section{"--b",  "30",  "--h",  "50",   "--cover", "5",
                              "--fc", "210", "--fy", "4200", "--mu",    "23"};
    QTest::newRow("no command") << QStringList{} << "Uso: quintaral-cli ORDEN";
    QTest::newRow("unknown command") << QStringList{"diseñar"} << "orden desconocida: diseñar";
    QTest::newRow("missing option")
        << QStringList{"design"} + section << "falta la opción --cover2";
    QTest::newRow("missing value") << QStringList{"design"} + section + QStringList{"--cover2"}
                                   << "falta el valor de --cover2";
    QTest::newRow("decimal comma")
        << QStringList{"design"} + section + QStringList{"--cover2", "5,5"}
        << "el valor de --cover2 no es un número: «5,5»";
    QTest::newRow("unknown option")
        << QStringList{"design", "--ancho", "3"} << "opción desconocida: --ancho";
    QTest::newRow("extra argument") << QStringList{"design", "x"} << "argumento de más: x";
    QTest::newRow("batch without file") << QStringList{"batch"} << "falta el archivo";
    QTest::newRow("format") << QStringList{"batch", "-", "--format", "xml"}
                            << "formato desconocido";
    QTest::newRow("delimiter") << QStringList{"batch", "-", "--delimiter", "."} << "separador";
    QTest::newRow("comma both ways")
        << QStringList{"batch", "-", "--decimal-comma", "--delimiter", ","} << "separador";
}

void TestCli::badArguments() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    const Run run = runCli(arguments, "");
    QCOMPARE(run.status, 1);
    QVERIFY2(QString::fromUtf8(run.err).contains(message), run.err.constData());
}

void TestCli::helpAndVersion() {
    QCOMPARE(runCli({"--version"}).out, QByteArray("quintaral-cli " QUINTARAL_VERSION "\n"));
    for (const QStringList& arguments :
         {QStringList{"--help"}, QStringList{"design", "--help"}, QStringList{"batch", "--help"}}) {
        const Run run = runCli(arguments);
        QCOMPARE(run.status, 0);
        QVERIFY(run.out.startsWith("Uso: quintaral-cli"));
    }
}

void TestCli::batchExitStatusesAndLineNumbers() {
    const QByteArray good = "V1,30,50,5,210,4200,23,5\nV2,30,50,5,210,4200,60,5\n";
    Run run = runCli({"batch", "-"}, scheduleHeader + good);
    QCOMPARE(run.status, 0);
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.out.count('\n'), 3);

    run = runCli({"batch", "-"},
                 scheduleHeader + "V0,30,5,5,210,4200,23,5\nV9,x,50,5,210,4200,23,5\n" + good);
    QCOMPARE(run.status, 2);
    const QList<QByteArray> errors = run.err.trimmed().split('\n');
    QCOMPARE(errors.size(), 3);
    QVERIFY(errors[0].startsWith("entrada estándar: línea 2: Se ha generado un error, La altura"));
    QVERIFY(errors[1].startsWith("entrada estándar: línea 3: el valor de «b» no es un número"));
    QCOMPARE(errors[2], QByteArray("quintaral-cli: 2 de 4 filas no se pudieron diseñar"));
    QCOMPARE(run.out.count('\n'), 5);  // the batch went on past the bad rows
    QVERIFY(run.out.contains("\nV2,doble,"));
}

void TestCli::batchWithDecimalCommaAndSemicolons() {
    const Run run =
        runCli({"batch", "-", "--decimal-comma"},
               "id;h;b;cover;fc;fy;mu;cover2;nota\n\"V;1\";50;30,0;5;210;4200;23,0;5;x\n");
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, QByteArray("id;kind;d;ku;rho;rhomax;rhomin;mmax;as;as2;error\n"
                                 "\"V;1\";simple;45;0,037860082304526754;0,01159856082821342;"
                                 "0,0159375;0,0033333333333333335;29,735938476562506;"
                                 "15,658057118088118;0;\n"));
}

void TestCli::batchJsonLines() {
    const Run run =
        runCli({"batch", "-", "--format", "json"},
               scheduleHeader + "V1,30,50,5,210,4200,23,5\n\"V\"\"2\",0,50,5,210,4200,23,5\n");
    QCOMPARE(run.status, 2);
    const QList<QByteArray> lines = run.out.trimmed().split('\n');
    QCOMPARE(lines.size(), 2);
    const QJsonObject first = QJsonDocument::fromJson(lines[0]).object();
    QCOMPARE(first.value("as").toDouble(), 15.658057118088118);
    QVERIFY(first.value("error").isNull());
    const QJsonObject second = QJsonDocument::fromJson(lines[1]).object();
    QCOMPARE(second.value("id").toString(), QStringLiteral("V\"2"));
    QCOMPARE(second.value("error").toString().toStdString(),
             std::string(engine::designFailureText(engine::DesignError::Arithmetic)));
}

void TestCli::batchFileErrors() {
    const QString output = dir_.filePath("out.csv");
    Run run = runCli({"batch", "-", "-o", output}, "id,b,h,cover,fc,mu,cover2\n1,2,3,4,5,6,7\n");
    QCOMPARE(run.status, 1);
    QVERIFY(QString::fromUtf8(run.err).contains("falta la columna «fy»"));
    QVERIFY(!QFile::exists(output));  // stopped before writing anything

    run = runCli({"batch", dir_.filePath("nothing.csv")});
    QCOMPARE(run.status, 1);
    QVERIFY(QString::fromUtf8(run.err).contains("no existe"));

    run = runCli({"batch", "-", "-o", dir_.filePath("no/such/folder.csv")},
                 scheduleHeader + "V1,30,50,5,210,4200,23,5\n");
    QCOMPARE(run.status, 1);
    QVERIFY(QString::fromUtf8(run.err).contains("no se puede escribir"));
}

QTEST_GUILESS_MAIN(TestCli)
#include "test_cli.moc"
