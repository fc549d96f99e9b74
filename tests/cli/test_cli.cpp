#include <unistd.h>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <array>
#include <csignal>
#include <random>
#include <string>

#include "beaminputs.h"
#include "engine/arrangementtext.h"
#include "engine/beam/beam.h"
#include "engine/design.h"
#include "engine/run.h"
#include "engine/schedule.h"
#include "project/projectfile.h"
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

// A beam of three spans with typed moments.
const QByteArray beamSpans =
    "span,length,support_left,support_right,mu_left,mu_mid,mu_right\n"
    "1,5.5,40,40,8,6,10\n2,6,40,40,10,6,10\n3,5.5,40,40,10,6,8\n";

// The section of that beam as options: 30 x 50 cm, covers 6 cm, f'c 210, Fy 4200.
const QStringList beamSection{"--b",      "30", "--h",  "50",  "--cover", "6",
                              "--cover2", "6",  "--fc", "210", "--fy",    "4200"};

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
    void outputFailures_data();
    void outputFailures();
    void exponentsAsInPlainNumbers();
    void batchEdges();
    void interruptedBatchLeavesTheOldResults();
    void openRefusesWhatTheWindowCannotShow();
    void beamJsonAndTextAgree();
    void beamFromAProjectFile();
    void beamDxf();
    void beamNoSectionCanTakeExitsTwo_data();
    void beamNoSectionCanTakeExitsTwo();

  private:
    // Writes a file in the scratch folder and returns its path.
    QString writeFile(const QString& name, const QByteArray& contents);

    QTemporaryDir dir_;
};

QString TestCli::writeFile(const QString& name, const QByteArray& contents) {
    const QString path = dir_.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(contents);
    return path;
}

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
            // Values no section can have: exit 1 and a second line naming the value and rule.
            const bool impossible = engine::inputError(in).has_value();
            QCOMPARE(run.status, impossible ? 1 : 2);
            QCOMPARE(run.out, QByteArray());
            const QByteArray message = fromEngine(engine::designErrorMessage(*error)) + '\n';
            QCOMPARE(run.err, impossible ? message + "quintaral-cli: " +
                                               fromEngine(engine::inputRuleText(in, '.')) + '\n'
                                         : message);
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
    const QStringList designed = QStringList{"design"} + section + QStringList{"--cover2", "5"};
    QTest::newRow("repeated value")
        << designed + QStringList{"--b", "40"} << "la opción --b se da más de una vez";
    QTest::newRow("repeated code") << designed + QStringList{"--code", "NSR-98", "--code", "NSR-10"}
                                   << "la opción --code se da más de una vez";
    QTest::newRow("repeated output, two names")
        << QStringList{"batch", "-", "-o", "a.csv", "--output", "b.csv"} << "se da más de una vez";
    QTest::newRow("empty output") << QStringList{"batch", "-", "-o", ""}
                                  << "falta el nombre del archivo de salida";
    QTest::newRow("zero width") << QStringList{"design", "--b", "0"} + section.mid(2) +
                                       QStringList{"--cover2", "5"}
                                << "quintaral-cli: b = 0 cm: el ancho b debe ser mayor que cero";
    QTest::newRow("check, zero width")
        << QStringList{"check", "--b", "0"} + checked.mid(3) + QStringList{"--tension", "10@45"}
        << "b = 0 cm: el ancho b debe ser mayor que cero";
    QTest::newRow("compression below the tension steel")
        << checked + QStringList{"--tension", "15.65@45", "--compression", "5@48"}
        << "la capa de --compression a 48 cm no queda por encima del acero en tracción";

    const QString spans = writeFile("vanos.csv", beamSpans);
    const QStringList beam = QStringList{"beam"} + beamSection;
    QTest::newRow("beam without spans") << beam << "falta la opción --spans";
    QTest::newRow("beam class") << beam + QStringList{"--spans", spans, "--class", "DEX"}
                                << "clase de disipación de energía desconocida: «DEX»";
    QTest::newRow("beam bars reversed") << beam + QStringList{"--spans", spans, "--bars", "8-4"}
                                        << "--bars espera";
    QTest::newRow("beam bar not in the catalogue")
        << beam + QStringList{"--spans", spans, "--bars", "4-12"} << "--bars espera";
    QTest::newRow("beam stock") << beam + QStringList{"--spans", spans, "--stock", "0"}
                                << "--stock debe ir de 1 a 12 m: «0»";
    QTest::newRow("beam stock beyond 12 m")
        << beam + QStringList{"--spans", spans, "--stock", "12.5"} << "--stock debe ir de 1 a 12 m";
    QTest::newRow("beam span beyond what a building has")
        << beam + QStringList{"--spans", writeFile("lejos.csv",
                                                   "span,length,support_left,support_right,"
                                                   "mu_left,mu_mid,mu_right\n"
                                                   "1,1e12,40,40,10,8,10\n")}
        << "línea 2: el valor de «length» está fuera de lo admitido (0.3 a 30 m): «1e12»";
    QTest::newRow("beam moment too large to be a number")
        << beam + QStringList{"--spans", writeFile("enorme.csv",
                                                   "span,length,support_left,support_right,"
                                                   "mu_left,mu_mid,mu_right\n"
                                                   "1,6,40,40,9e307,8,10\n")}
        << "línea 2: el valor de «mu_left» está fuera de lo admitido (-1000000 a 1000000 Tn-m)";
    QTest::newRow("beam format") << beam + QStringList{"--spans", spans, "--format", "csv"}
                                 << "formato desconocido";
    QTest::newRow("centreline without stations")
        << beam + QStringList{"--spans", spans, "--centreline"} << "--centreline solo";
    QTest::newRow("beam spans missing")
        << beam + QStringList{"--spans", dir_.filePath("ninguno.csv")} << "no existe";
    QTest::newRow("beam bad row")
        << beam + QStringList{"--spans",
                              writeFile("malo.csv", "span,length,support_left,support_right,"
                                                    "mu_left,mu_mid,mu_right\n"
                                                    "1,5,40,40,10,8,10\n2,5,35,40,10,8,10\n")}
        << "malo.csv: línea 3: el apoyo izquierdo del vano 2";
    QTest::newRow("beam station outside")
        << beam + QStringList{"--spans", spans, "--stations",
                              writeFile("estaciones.csv", "span,x,mu\n1,0,-9\n1,5.51,-9\n")}
        << "estaciones.csv: línea 3: la estación x = 5.51 m queda fuera del vano 1";
    // A file's control characters reach the terminal as text, not as commands to it.
    QTest::newRow("beam field with an escape sequence")
        << beam + QStringList{"--spans",
                              writeFile("escape.csv", "span,length,support_left,support_right,"
                                                      "mu_left,mu_mid,mu_right\n"
                                                      "1,\x1b[2J5,40,40,10,8,10\n")}
        << "no es un número: «\\x1B[2J5»";
    QTest::newRow("beam name with an escape sequence")
        << beam + QStringList{"--spans", spans, "--name", "V\x1b[2J"}
        << "el nombre de --name debe tener de 1 a 40 caracteres, sin caracteres de control";
    QTest::newRow("beam stirrup N° 5")
        << beam + QStringList{"--spans", spans, "--stirrup", "5"}
        << "--stirrup espera la barra del estribo, 3 o 4 (N° 3 o N° 4: los estribos cerrados de "
           "una viga se doblan con ellas): «5»";
    QTest::newRow("beam axis with an escape sequence")
        << beam + QStringList{"--spans", spans, "--axis", "B\x1b[2J"}
        << "el texto de --axis debe tener a lo más 40 caracteres, sin caracteres de control";
    QTest::newRow("beam gravity load beyond a building's")
        << beam + QStringList{"--spans", writeFile("pesada.csv",
                                                   "span,length,support_left,support_right,"
                                                   "mu_left,mu_mid,mu_right,wu\n"
                                                   "1,5,40,40,10,8,10,1200\n")}
        << "línea 2: el valor de «wu» está fuera de lo admitido (0 a 1000 Tn/m): «1200»";
    // An input no beam can have exits 1 even when the engine, not the reader, finds it.
    QTest::newRow("beam covers past h")
        << QStringList{"beam", "--spans", spans, "--b", "30", "--h", "50", "--cover", "25",
                       "--cover2", "25", "--fc", "210", "--fy", "4200"}
        << "Los recubrimientos d' y d'' deben ser positivos y menores que h";
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
          QStringList{"check", "--help"}, QStringList{"open", "--help"}, QStringList{"-h"},
          QStringList{"design", "--b", "30", "-h"}, QStringList{"batch", "-h"},
          QStringList{"check", "-h"}, QStringList{"open", "-h"},
          QStringList{"beam", "--help"}, QStringList{"beam", "-h"}}) {
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
        {engine::DesignCode::Nsr10, {30, 5, 5, 210, 4200, 23, 5}, {"2N6"}, 1, ""},
    };
    for (const Case& c : cases) {
        project::ProjectFile saved;
        saved.code = c.code;
        saved.inputs.values = c.inputs;
        if (!c.tension.isEmpty())
            saved.arrangement = project::ChosenBars{
                engine::parseArrangement(c.tension.join('/').toStdString()).arrangement, {}};
        const QString path = dir_.filePath("viga.quintaral");
        QCOMPARE(project::writeProject(path, saved), QString());
        const Run run = runCli({"open", path});
        QCOMPARE(run.status, c.status);
        const engine::DesignInput in{c.inputs[0], c.inputs[1], c.inputs[2], c.inputs[3],
                                     c.inputs[4], c.inputs[5], c.inputs[6]};
        const engine::RunOutcome outcome = engine::runDesign(in, c.code);
        if (const auto* error = std::get_if<engine::DesignError>(&outcome)) {
            QVERIFY(run.err.startsWith(fromEngine(engine::designErrorMessage(*error)) + '\n'));
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

// Every command reports a failed write to standard output (a full disk, or standard output
// closed) on standard error and exits 1.
void TestCli::outputFailures_data() {
    QTest::addColumn<QStringList>("arguments");
    const QString project = dir_.filePath("salida.quintaral");
    project::ProjectFile saved;
    saved.inputs.values = {30, 50, 5, 210, 4200, 23, 5};
    QCOMPARE(project::writeProject(project, saved), QString());
    QTest::newRow("design") << QStringList{"design",  "--b",  "30",   "--h",      "50",
                                           "--cover", "5",    "--fc", "210",      "--fy",
                                           "4200",    "--mu", "23",   "--cover2", "5"};
    QTest::newRow("check") << QStringList{"check", "--b",       "30",    "--h",  "50",
                                          "--fc",  "210",       "--fy",  "4200", "--mu",
                                          "23",    "--tension", "4N8@45"};
    QTest::newRow("open") << QStringList{"open", project};
    QTest::newRow("batch") << QStringList{"batch", "-"};
    QTest::newRow("help") << QStringList{"--help"};
    QTest::newRow("command help") << QStringList{"check", "-h"};
    QTest::newRow("version") << QStringList{"--version"};
}

void TestCli::outputFailures() {
    QFETCH(QStringList, arguments);
    for (const QString& redirection : {QStringLiteral(">/dev/full"), QStringLiteral(">&-")}) {
        QProcess process;
        process.start(QStringLiteral("/bin/sh"),
                      QStringList{"-c", "\"$0\" \"$@\" " + redirection, QUINTARAL_CLI} + arguments);
        process.write(scheduleHeader + "V1,30,50,5,210,4200,23,5\n");
        process.closeWriteChannel();
        QVERIFY(process.waitForFinished(30000));
        const QByteArray err = process.readAllStandardError();
        QCOMPARE(process.exitCode(), 1);
        QVERIFY2(err.contains("no se puede escribir «salida estándar»"), err.constData());
        QCOMPARE(err.count('\n'), 1);  // said once
    }
}

// Numbers with an exponent, as spreadsheets export them, mean what the plain ones do, on the
// command line and in CSV files.
void TestCli::exponentsAsInPlainNumbers() {
    const Run plain = runCli({"design", "--b", "30", "--h", "50", "--cover", "5", "--fc", "210",
                              "--fy", "4200", "--mu", "23", "--cover2", "5"});
    const Run exponents = runCli({"design", "--b", "30e0", "--h", "0.5E+02", "--cover", "5", "--fc",
                                  "2.1e2", "--fy", "4.2E3", "--mu", "230e-1", "--cover2", "5e0"});
    QCOMPARE(plain.status, 0);
    QCOMPARE(exponents.out, plain.out);
    const Run batch = runCli({"batch", "-"}, scheduleHeader + "V1,3E1,50,5,210,4.2e3,23,5\n" +
                                                 "V2,30,50,5,210,4200,23,5\n");
    QCOMPARE(batch.status, 0);
    const QList<QByteArray> rows = batch.out.split('\n');
    QCOMPARE(rows.at(1).mid(2), rows.at(2).mid(2));
    const Run check = runCli({"check", "--b", "3e1", "--h", "50", "--fc", "210", "--fy", "4200",
                              "--mu", "20", "--tension", "1.565e1@4.5e1"});
    QCOMPARE(check.status, 0);
}

void TestCli::batchEdges() {
    // JSON lines are valid UTF-8 whatever bytes the file holds: a Latin-1 "Ñ" becomes U+FFFD.
    Run run = runCli({"batch", "-", "--format", "json"}, scheduleHeader +
                                                             "V\xD1"
                                                             "1,30,50,5,210,4200,23,5\n");
    QCOMPARE(run.status, 0);
    QJsonParseError error;
    const QJsonObject row = QJsonDocument::fromJson(run.out, &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(row.value("id").toString(), QString::fromUtf8("V\uFFFD1"));
    QVERIFY(!run.out.contains('\xD1'));

    // An endless input without a line break stops with the long-row message.
    run = runCli({"batch", "/dev/zero"});
    QCOMPARE(run.status, 1);
    QCOMPARE(run.err,
             QByteArray("quintaral-cli: /dev/zero: línea 1: la fila es demasiado larga\n"));

    // A completed batch replaces the old results; one stopped by its header leaves them.
    const QString output = dir_.filePath("resultados.csv");
    QFile::remove(output);
    QVERIFY(QFile::copy(QStringLiteral(QUINTARAL_CLI), output));  // anything old
    run = runCli({"batch", "-", "-o", output}, scheduleHeader + "V1,30,50,5,210,4200,23,5\n");
    QCOMPARE(run.status, 0);
    QFile written(output);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QVERIFY(written.readAll().startsWith("id,kind,"));
    written.close();
    QCOMPARE(QDir(dir_.path()).entryList({"resultados.csv*"}, QDir::Files).size(), 1);
}

// A batch interrupted while it writes (Ctrl+C) leaves the old results as they were, and no
// temporary file.
void TestCli::interruptedBatchLeavesTheOldResults() {
    const QString output = dir_.filePath("interrumpido.csv");
    QFile old(output);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("resultados anteriores\n");
    old.close();
    QProcess process;
    process.start(QStringLiteral(QUINTARAL_CLI), {"batch", "-", "-o", output});
    QVERIFY(process.waitForStarted());
    QByteArray rows = scheduleHeader;
    // More than the batch's 1 MiB read, so that it designs and writes before waiting for more.
    for (int i = 0; i < 50000; ++i)
        rows += "V" + QByteArray::number(i) + ",30,50,5,210,4200,23,5\n";
    process.write(rows);  // the input stays open: the batch waits for more
    const QDir dir(dir_.path());
    QElapsedTimer waited;
    waited.start();
    while (dir.entryList({"interrumpido.csv.*"}, QDir::Files).isEmpty() && waited.elapsed() < 20000)
        QTest::qWait(20);
    QVERIFY2(!dir.entryList({"interrumpido.csv.*"}, QDir::Files).isEmpty(),
             "no temporary results file appeared");
    ::kill(static_cast<pid_t>(process.processId()), SIGINT);
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitStatus(), QProcess::CrashExit);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("resultados anteriores\n"));
    QCOMPARE(dir.entryList({"interrumpido.csv*"}, QDir::Files), QStringList{"interrumpido.csv"});
}

// open refuses inputs the window could not show or type, naming the key.
void TestCli::openRefusesWhatTheWindowCannotShow() {
    const QString path = dir_.filePath("limites.quintaral");
    const struct {
        double b;
        int status;
    } cases[] = {{1e300, 1}, {1e-300, 1}, {-1e7, 1}, {1e6, 0}, {30, 0}};
    for (const auto& c : cases) {
        project::ProjectFile saved;
        saved.inputs.values = {c.b, 50, 5, 210, 4200, 23, 5};
        QCOMPARE(project::writeProject(path, saved), QString());
        const Run run = runCli({"open", path});
        QCOMPARE(run.status, c.status);
        if (c.status == 1) {
            QCOMPARE(run.err, QByteArray("quintaral-cli: No se puede abrir el archivo "
                                         "\"limites.quintaral\": el dato b (ancho, clave \"b\") "
                                         "no es válido: ha de ser cero o estar entre 0.000001 y "
                                         "1000000, con su signo.\n"));
        }
    }
}

// The JSON holds exactly the keys of the design and the text the same bars and checks; the exit
// status follows the checks. The same beam from a stations file (decimal comma, semicolons,
// scientific notation) is read and designed too.
void TestCli::beamJsonAndTextAgree() {
    const QStringList beam =
        QStringList{"beam", "--spans", writeFile("vanos.csv", beamSpans)} + beamSection;
    const Run json = runCli(beam + QStringList{"--format", "json", "--code", "NSR-10"});
    QVERIFY2(json.status == 0 || json.status == 2, json.err.constData());
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json.out, &error);
    QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString()));
    QVERIFY(json.out.endsWith("}\n") && json.out.count('\n') == 1);
    const QJsonObject design = document.object();
    QStringList keys = design.keys();
    keys.sort();
    QCOMPARE(keys, QStringList({"bars", "checks", "class", "code", "concrete", "faces", "length",
                                "mass", "name", "passes", "profile", "stirrups", "zones"}));
    QCOMPARE(design.value("name").toString(), QStringLiteral("V-1"));
    QCOMPARE(design.value("code").toString(), QStringLiteral("NSR-10"));
    QCOMPARE(design.value("class").toString(), QStringLiteral("DES"));
    QCOMPARE(design.value("faces").toArray().size(), 6);
    QCOMPARE(json.status, design.value("passes").toBool() ? 0 : 2);
    const QJsonObject firstBar = design.value("bars").toArray().first().toObject();
    QCOMPARE(firstBar.keys().size(), 13);
    QVERIFY(firstBar.contains("bend") && firstBar.contains("leg"));
    QCOMPARE(firstBar.value("hooks").toArray().size(), 2);
    double total = 0;
    for (const QJsonValue bar : design.value("bars").toArray())
        total += bar.toObject().value("mass").toDouble();
    for (const QJsonValue stirrup : design.value("stirrups").toArray())
        total += stirrup.toObject().value("mass").toDouble();
    QVERIFY(qAbs(total - design.value("mass").toObject().value("total").toDouble()) < 1e-9);
    const QJsonArray checks = design.value("checks").toArray();
    QVERIFY(!checks.isEmpty());
    for (const QJsonValue check : checks)
        QCOMPARE(check.toObject().keys().size(), 6);

    const Run text = runCli(beam + QStringList{"--code", "nsr-10"});
    QCOMPARE(text.status, json.status);
    QVERIFY2(text.out.startsWith("Viga V-1, continua de 3 vanos, NSR-10, DES"), text.out.constData());
    const Run named = runCli(beam + QStringList{"--code", "NSR-10", "--name", "VC-2"});
    QVERIFY2(named.out.startsWith("Viga VC-2, continua de 3 vanos"), named.out.constData());
    QVERIFY(text.out.contains("\nMarca  Barra  Cantidad  Forma"));
    qsizetype verdicts = 0;
    for (const QByteArray& line : text.out.split('\n'))
        if (line.startsWith("Cumple     ") || line.startsWith("No cumple  ")) ++verdicts;
    QCOMPARE(verdicts, checks.size());
    for (const QJsonValue bar : design.value("bars").toArray())
        QVERIFY(text.out.contains('\n' + bar.toObject().value("mark").toString().toUtf8() + ' '));

    const QString stations = writeFile(
        "estaciones.csv", "span;x;mu\n1;0;-8\n1;2,75;6\n1;5,5;-1,0e1\n2;0;-10\n2;3;6\n"
                          "2;6;-10\n3;0;-10\n3;2,75;6\n3;5,5;-8\n");
    const QString emptyMoments = writeFile(
        "vanos-sin-momentos.csv",
        "span;length;support_left;support_right\n1;5,5;40;40\n2;6;40;40\n3;5,5;40;40\n");
    const Run fromStations =
        runCli(QStringList{"beam", "--spans", emptyMoments, "--stations", stations,
                           "--decimal-comma"} +
               beam.mid(3) + QStringList{"--format", "json"});
    QVERIFY2(fromStations.status == 0 || fromStations.status == 2, fromStations.err.constData());
    QVERIFY(QJsonDocument::fromJson(fromStations.out).isObject());
}

// `beam FILE.quintaral` gives what `beam` gives with the options that describe the same beam, and
// refuses those options beside a file; `open` prints the same schedule after the section's report.
void TestCli::beamFromAProjectFile() {
    // With the stirrups' inputs and the beam's place too: loads, the N° 4 stirrup, axis, level.
    const QByteArray loadedSpans =
        "span,length,support_left,support_right,mu_left,mu_mid,mu_right,wu\n"
        "1,5.5,40,40,8,6,10,3.5\n2,6,40,40,10,6,10,\n3,5.5,40,40,10,6,8,4\n";
    const QStringList options =
        QStringList{"--spans", writeFile("vanos-cargas.csv", loadedSpans)} + beamSection +
        QStringList{"--code", "NSR-10", "--class", "DMO", "--stirrup", "4", "--axis", "Eje B",
                    "--level", "Piso 2"};
    engine::beam::BeamInput beam = beaminputs::beam(
        engine::DesignCode::Nsr10, engine::beam::SeismicClass::Dmo, {40, 40, 40, 40},
        {{5.5, {8, 6, 10, {}, {}, {}}, 3.5}, {6, {10, 6, 10, {}, {}, {}}},
         {5.5, {10, 6, 8, {}, {}, {}}, 4}});
    beam.settings.stirrupDesignation = 4;
    beam.axis = "Eje B";
    beam.level = "Piso 2";
    project::ProjectFile saved;
    saved.inputs.values = {30, 50, 6, 210, 4200, 10, 6};
    saved.beams = {{beam, {}, {}}};
    const QString path = dir_.filePath("porticos.quintaral");
    QCOMPARE(project::writeProject(path, saved), QString());

    for (const QStringList& format : {QStringList{}, QStringList{"--format", "json"}}) {
        const Run fromOptions = runCli(QStringList{"beam"} + options + format);
        const Run fromFile = runCli(QStringList{"beam", path} + format);
        QVERIFY2(fromOptions.status == 0 || fromOptions.status == 2, fromOptions.err.constData());
        QCOMPARE(fromFile.status, fromOptions.status);
        QCOMPARE(fromFile.out, fromOptions.out);
    }
    const Run both = runCli({"beam", path, "--b", "25", "--class", "DES", "--stirrup", "3"});
    QCOMPARE(both.status, 1);
    QVERIFY2(both.err.contains("--b, --class, --stirrup") && both.out.isEmpty(),
             both.err.constData());

    const Run schedule = runCli(QStringList{"beam"} + options);
    const Run opened = runCli({"open", path});
    QVERIFY(opened.out.endsWith("\n\n" + schedule.out));
    const engine::DesignInput section{30, 50, 6, 210, 4200, 10, 6};
    const QByteArray report =
        fromEngine(engine::resultsReport(std::get<engine::DesignRun>(
                                             engine::runDesign(section, engine::DesignCode::Nsr98)),
                                         '.'))
            .replace('\r', QByteArray());
    QVERIFY(opened.out.startsWith(report));
    QCOMPARE(opened.status, schedule.status);  // the section passes: the beam decides

    // A beam no design can take (a span without stations) is bad input, exit 1, from either
    // command, and the message names the file.
    project::ProjectFile unusable = saved;
    unusable.beams[0].input.stations = {{1, 0, -8}, {1, 5.5, -9}};
    const QString unusablePath = dir_.filePath("sin-estaciones.quintaral");
    QCOMPARE(project::writeProject(unusablePath, unusable), QString());
    for (const QString& command : {QStringLiteral("beam"), QStringLiteral("open")}) {
        const Run run = runCli({command, unusablePath});
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains("sin-estaciones.quintaral: Vano 2"), run.err.constData());
    }
}

// `--dxf FILE` writes the drawing (read back by ezdxf in beam_dxf_readback); a path that cannot
// be written is a message and exit 1, and leaves no file.
void TestCli::beamDxf() {
    const QStringList beam =
        QStringList{"beam", "--spans", writeFile("vanos.csv", beamSpans)} + beamSection;
    const QString written = dir_.filePath("despiece.dxf");
    const Run good = runCli(beam + QStringList{"--dxf", written});
    QVERIFY2(good.status == 0 || good.status == 2, good.err.constData());
    QVERIFY(QFileInfo(written).size() > 0);

    const QString folder = dir_.filePath("solo-lectura");
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    const struct Writable {
        QString folder;
        ~Writable() {
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
    } restore{folder};
    QStringList unwritable{dir_.filePath("no/existe/despiece.dxf")};
    if (geteuid() != 0) unwritable << folder + "/despiece.dxf";  // root writes anywhere
    for (const QString& path : unwritable) {
        const Run failed = runCli(beam + QStringList{"--dxf", path});
        QCOMPARE(failed.status, 1);
        QVERIFY2(!failed.err.isEmpty() && failed.out.isEmpty(), qPrintable(path));
        QVERIFY(!QFileInfo::exists(path));
        if (path.startsWith(folder))
            QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 0);
    }
}


void TestCli::beamNoSectionCanTakeExitsTwo_data() {
    QTest::addColumn<QByteArray>("spans");
    QTest::addColumn<QByteArray>("message");
    const QByteArray header = "span,length,support_left,support_right,mu_left,mu_mid,mu_right,wu\n";
    QTest::newRow("moment") << header + "1,5,40,40,80,30,80,2\n"
                            << QByteArray("Vano 1, apoyo izquierdo: ρ = 0.103 > 0.025; aumente b o h");
    // 60 Tn/m over 5 m: Vu past what 25 x 40 cm can take with any stirrups.
    QTest::newRow("shear") << header + "1,5,40,40,5,3,5,60\n"
                           << QByteArray("Vano 1, apoyo izquierdo: la sección no resiste el "
                                         "cortante Vu = ");
}

// A beam of possible inputs that no design satisfies is not bad input: exit 2, the message on
// standard error naming the file, nothing on standard output.
void TestCli::beamNoSectionCanTakeExitsTwo() {
    QFETCH(QByteArray, spans);
    QFETCH(QByteArray, message);
    const QString path = writeFile("insuficiente.csv", spans);
    const Run run = runCli({"beam", "--spans", path, "--b", "25", "--h", "40", "--cover", "6",
                            "--cover2", "6", "--fc", "210", "--fy", "4200", "--code", "NSR-10"});
    QCOMPARE(run.status, 2);
    QVERIFY(run.out.isEmpty());
    QVERIFY2(run.err.startsWith("quintaral-cli: " + path.toUtf8() + ": ") && run.err.contains(message),
             run.err.constData());
}

QTEST_GUILESS_MAIN(TestCli)
#include "test_cli.moc"
