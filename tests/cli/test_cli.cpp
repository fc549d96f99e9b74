#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <array>
#include <random>
#include <string>

#include "engine/design.h"
#include "engine/run.h"
#include "engine/schedule.h"
#include "projectfile.h"
#include "quintaral/version.h"

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

// The number after `label` on its line of the output ("φMn : 53.88 Tn-m"), or NaN.
double figure(const QByteArray& out, const QByteArray& label) {
    for (const QByteArray& line : out.split('\n')) {
        if (line.startsWith(label)) return line.mid(label.size()).split(' ').first().toDouble();
    }
    return qQNaN();
}

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
    void batchUnderNsr10();
    void checkPublishedSections_data();
    void checkPublishedSections();
    void openSavedProjects();

  private:
    QTemporaryDir dir_;
};

// For random sections (singly, doubly and failing ones) under both codes the command prints,
// line for line, the report the window shows, or the window's message with exit status 2.
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
        // Without --code, and with it in any letter case.
        const engine::DesignCode code =
            i % 3 ? engine::DesignCode::Nsr10 : engine::DesignCode::Nsr98;
        QStringList arguments{"design",      "--b",      number(in.b),      "--h",
                              number(in.h),  "--cover",  number(in.dPrime), "--fc",
                              number(in.fc), "--fy",     number(in.fy),     "--mu",
                              number(in.mu), "--cover2", number(in.dSecond)};
        if (i % 3 == 1)
            arguments << "--code"
                      << "nsr-10";
        if (i % 3 == 2)
            arguments << "--code"
                      << "NSR-10";
        const Run run = runCli(arguments);
        const engine::RunOutcome outcome = engine::runDesign(in, code);
        if (const auto* error = std::get_if<engine::DesignError>(&outcome)) {
            QCOMPARE(run.status, 2);
            QCOMPARE(run.out, QByteArray());
            QCOMPARE(run.err, fromEngine(engine::designErrorMessage(*error)) + '\n');
            continue;
        }
        QCOMPARE(run.status, 0);
        QCOMPARE(run.err, QByteArray());
        const QByteArray report =
            fromEngine(engine::resultsReport(std::get<engine::DesignRun>(outcome), '.'));
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
    QTest::newRow("code") << QStringList{"design"} + section +
                                 QStringList{"--cover2", "5", "--code", "NSR-11"}
                          << "norma desconocida: «NSR-11»";
    QTest::newRow("batch code") << QStringList{"batch", "-", "--code", "ACI"} << "norma";
    const QStringList checked{"check", "--b",  "30",   "--h",  "50", "--fc",
                              "210",   "--fy", "4200", "--mu", "10"};
    QTest::newRow("no tension steel") << checked << "falta la opción --tension";
    QTest::newRow("no depth") << checked + QStringList{"--tension", "4N5"}
                              << "--tension espera ÁREA@PROFUNDIDAD";
    QTest::newRow("below the section")
        << checked + QStringList{"--tension", "4N5@50"} << "dentro de la altura";
    QTest::newRow("unknown bar") << checked + QStringList{"--tension", "4N12@45"}
                                 << "No hay barra N° 12";
    QTest::newRow("comma area") << checked +
                                       QStringList{"--compression", "2,5@5", "--tension", "10@45"}
                                << "el acero de --compression no es un área";
    QTest::newRow("negative area")
        << checked + QStringList{"--tension", "-10@45"} << "mayor que cero";
    QTest::newRow("steel fills the section")
        << checked + QStringList{"--tension", "1500@45"} << "no se puede revisar";
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
         {QStringList{"--help"}, QStringList{"design", "--help"}, QStringList{"batch", "--help"},
          QStringList{"check", "--help"}, QStringList{"open", "--help"}}) {
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
             std::string(engine::designErrorMessage(engine::DesignError::Arithmetic)));
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

// Under NSR-10 the largest ratio is the tension-controlled one and the moment is φMn with it.
void TestCli::batchUnderNsr10() {
    const Run run =
        runCli({"batch", "-", "--code", "NSR-10"}, scheduleHeader + "V1,30,50,5,210,4200,23,5\n");
    QCOMPARE(run.status, 0);
    const QList<QByteArray> fields = run.out.split('\n').at(1).split(',');
    const auto result = std::get<engine::nsr10::DesignResult>(
        std::get<engine::DesignRun>(
            engine::runDesign({30, 50, 5, 210, 4200, 23, 5}, engine::DesignCode::Nsr10))
            .result);
    QCOMPARE(fields.at(5), number(result.rhoTc).toUtf8());
    QCOMPARE(fields.at(7), number(result.phiMnTc).toUtf8());
}

// Published sections (kg and cm): the figures within the rounding of the published ones and
// the verdict in the exit status.
void TestCli::checkPublishedSections_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<double>("phi");
    QTest::addColumn<double>("phiMn");
    QTest::addColumn<double>("fsPrime");  // 0: no compression steel
    QTest::addColumn<int>("status");
    const QStringList a1{"--b", "38.10", "--h", "66.04", "--fc", "281.2", "--fy", "4218.4"};
    QTest::newRow("singly, tension-controlled")
        << a1 + QStringList{"--mu", "50", "--tension", "25.81@60.96"} << 0.9 << 53.87 << 0.0 << 0;
    QTest::newRow("same section, Mu above φMn")
        << a1 + QStringList{"--mu", "54", "--tension", "25.81@60.96"} << 0.9 << 53.87 << 0.0 << 2;
    QTest::newRow("transition zone, NSR-10")
        << QStringList{"--b",    "25.40", "--h", "43.18",  "--fc",   "281.2",     "--fy",
                       "4218.4", "--mu",  "20",  "--code", "NSR-10", "--tension", "19.35@38.10"}
        << 0.835 << 21.40 << 0.0 << 0;
    QTest::newRow("compression steel not yielding, split over two layers")
        << QStringList{"--b",       "35.56",        "--h",           "66.04",
                       "--fc",      "281.2",        "--fy",          "4218.4",
                       "--mu",      "60",           "--tension",     "16.325@60.96",
                       "--tension", "16.325@60.96", "--compression", "7.74@6.35"}
        << 0.9 << 67.44 << 3545.0 << 0;
}

void TestCli::checkPublishedSections() {
    QFETCH(QStringList, arguments);
    QFETCH(double, phi);
    QFETCH(double, phiMn);
    QFETCH(double, fsPrime);
    QFETCH(int, status);
    const Run run = runCli(QStringList{"check"} + arguments);
    QCOMPARE(run.status, status);
    QVERIFY2(qAbs(figure(run.out, "φ : ") - phi) <= 0.0015, run.out.constData());
    QVERIFY2(qAbs(figure(run.out, "φMn : ") - phiMn) <= 0.015, run.out.constData());
    if (fsPrime > 0) QVERIFY2(qAbs(figure(run.out, "f's : ") - fsPrime) <= 5, run.out.constData());
    QVERIFY(run.out.endsWith(status == 0 ? "\nCumple\n" : "\nNo cumple\n"));
}

// A saved project is designed again under its own code; its saved bars are checked as the
// layout window checks them.
void TestCli::openSavedProjects() {
    struct Case {
        engine::DesignCode code;
        std::array<double, 7> inputs;
        QStringList tension;
        int status;
        QByteArray lastLine;
    };
    const std::array<double, 7> section{30, 50, 5, 210, 4200, 23, 5};
    const Case cases[] = {
        {engine::DesignCode::Nsr10, section, {}, 0, ""},
        {engine::DesignCode::Nsr98, section, {"4N8"}, 0, "Cumple"},
        {engine::DesignCode::Nsr98, section, {"2N6"}, 2, "No cumple"},
        {engine::DesignCode::Nsr10, {30, 5, 5, 210, 4200, 23, 5}, {"2N6"}, 2, ""},
    };
    for (const Case& c : cases) {
        project::Project saved;
        saved.code = c.code;
        saved.inputs.values = c.inputs;
        if (!c.tension.isEmpty()) saved.arrangement = project::Arrangement{c.tension, {}};
        const QString path = dir_.filePath("viga.quintaral");
        QCOMPARE(project::writeProject(path, saved), QString());
        const Run run = runCli({"open", path});
        QCOMPARE(run.status, c.status);
        const engine::DesignInput in{c.inputs[0], c.inputs[1], c.inputs[2], c.inputs[3],
                                     c.inputs[4], c.inputs[5], c.inputs[6]};
        const engine::RunOutcome outcome = engine::runDesign(in, c.code);
        if (const auto* error = std::get_if<engine::DesignError>(&outcome)) {
            QCOMPARE(run.err, fromEngine(engine::designErrorMessage(*error)) + '\n');
            continue;
        }
        const QByteArray report =
            fromEngine(engine::resultsReport(std::get<engine::DesignRun>(outcome), '.'))
                .replace('\r', QByteArray());
        if (c.tension.isEmpty()) {
            QCOMPARE(run.out, report + '\n');
        } else {
            QVERIFY(run.out.startsWith(report + "\n\n"));
            QVERIFY(run.out.endsWith('\n' + c.lastLine + '\n'));
        }
    }

    const QString notAProject = dir_.filePath("notas.quintaral");
    QFile file(notAProject);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("{\"format\": \"otra cosa\"}");
    file.close();
    const Run refused = runCli({"open", notAProject});
    QCOMPARE(refused.status, 1);
    QVERIFY(refused.err.contains("notas.quintaral"));
    QCOMPARE(runCli({"open", notAProject, "--code", "NSR-10"}).status, 1);
}

QTEST_GUILESS_MAIN(TestCli)
#include "test_cli.moc"
