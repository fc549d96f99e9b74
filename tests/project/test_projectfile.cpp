// Project files: what is saved opens again bit for bit, keys of later versions survive a
// re-save, every refusal names the file and its reason, and no failed or interrupted save
// damages the file that was there before.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <cstring>
#include <random>

#include "engine/arrangementtext.h"
#include "engine/beam/bounds.h"
#include "engine/catalogue.h"
#include "engine/numbers.h"
#include "engine/run.h"
#include "project/project.h"
#include "project/projectfile.h"

namespace {

QByteArray corpusFile(const char* name) {
    QFile file(QStringLiteral(CORPUS_DIR "/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly)) qFatal("missing corpus file %s", name);
    return file.readAll();
}

bool sameDouble(double a, double b) {
    // Zero keeps no sign in JSON; every other value must come back bit for bit.
    return a == 0 ? b == 0 : std::memcmp(&a, &b, sizeof a) == 0;
}

// Any finite double, from random bits, so that subnormals and extremes come up too.
double randomDouble(std::mt19937_64& random) {
    for (;;) {
        const std::uint64_t bits = random();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        if (std::isfinite(value)) return value;
    }
}

project::ProjectFile sampleProject() {
    project::ProjectFile result;
    result.inputs.values = {30, 50, 6, 210, 4200, 20.5, 6};
    result.layout = engine::LayoutSettings{};
    result.arrangement = project::ChosenBars{engine::parseArrangement("2N6+1N5").arrangement,
                                             engine::parseArrangement("2N5").arrangement};
    return result;
}

// A positive finite double from random bits.
double randomPositive(std::mt19937_64& random) {
    for (;;)
        if (const double value = std::fabs(randomDouble(random)); value > 0) return value;
}

// A double of random bits within a beam input's bounds.
double randomWithin(std::mt19937_64& random, const engine::beam::Bound& bound) {
    const double share = std::ldexp(static_cast<double>(random() >> 11), -53);
    return bound.low + (bound.high - bound.low) * share;
}

// Any beam a file can hold: 1 to 6 spans, typed moments and sometimes stations, every setting.
engine::beam::BeamInput randomBeam(std::mt19937_64& random) {
    namespace eb = engine::beam;
    // Typed moments are magnitudes.
    const auto moment = [&] { return std::fabs(randomWithin(random, eb::bounds::moment)); };
    eb::BeamInput beam;
    beam.code = random() % 2 ? engine::DesignCode::Nsr10 : engine::DesignCode::Nsr98;
    beam.seismicClass = static_cast<eb::SeismicClass>(random() % 3);
    for (double* value : {&beam.b, &beam.h, &beam.dPrime, &beam.dSecond, &beam.fc, &beam.fy})
        *value = randomPositive(random);
    beam.settings = {int(random() % 2) + 3, std::fabs(randomDouble(random)),
                     std::fabs(randomDouble(random)), int(random() % 2) + 1};
    const auto& bars = engine::bars();
    const int one = bars[random() % bars.size()].designation;
    const int other = bars[random() % bars.size()].designation;
    beam.smallestBar = std::min(one, other);
    beam.largestBar = std::max(one, other);
    beam.stockLength = randomWithin(random, eb::bounds::stockLength);
    const int spans = int(random() % 6) + 1;
    beam.supports.push_back(randomWithin(random, eb::bounds::supportWidth));
    for (int i = 0; i < spans; ++i) {
        eb::Span span{randomWithin(random, eb::bounds::spanLength),
                      {moment(), moment(), moment(), std::nullopt, std::nullopt, std::nullopt}};
        if (random() % 2)
            span.moments.midMin = span.moments.mid * std::ldexp(double(random() >> 11), -53);
        // Some spans hog all along; some have Mu+ at the faces.
        if (random() % 5 == 0) span.moments.midMin = -moment();
        if (random() % 3 == 0) span.moments.posLeft = moment();
        if (random() % 3 == 0) span.moments.posRight = moment();
        if (random() % 3 == 0) span.wu = randomWithin(random, eb::bounds::gravityLoad);
        beam.spans.push_back(span);
        beam.supports.push_back(randomWithin(random, eb::bounds::supportWidth));
    }
    // Columns' widths across the beam, some as wide as their supports (0).
    if (random() % 2) {
        for (std::size_t j = 0; j < beam.supports.size(); ++j)
            beam.columns.push_back(random() % 3 ? randomWithin(random, eb::bounds::columnWidth)
                                                : 0);
    }
    if (random() % 2) {
        for (int i = int(random() % 12); i >= 0; --i) {
            const int span = int(random() % unsigned(spans)) + 1;
            const double ln = beam.spans[std::size_t(span) - 1].length;
            beam.stations.push_back({span, ln * std::ldexp(double(random() >> 11), -53),
                                     randomWithin(random, eb::bounds::moment)});
            if (random() % 2) beam.stations.back().v = randomWithin(random, eb::bounds::shear);
        }
        beam.stationsFromCentreline = random() % 2;
    }
    if (random() % 4 == 0) beam.axis = "Eje " + std::to_string(random() % 20);
    if (random() % 4 == 0) beam.level = "Piso " + std::to_string(random() % 20);
    return beam;
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class ProjectFileTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void saveThenOpenGivesIdenticalValues() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("viga.quintaral"));
        std::mt19937_64 random(20261207);
        for (int run = 0; run < 500; ++run) {
            project::ProjectFile saved;
            for (double& value : saved.inputs.values) value = randomDouble(random);
            saved.code = run % 2 ? engine::DesignCode::Nsr10 : engine::DesignCode::Nsr98;
            if (run % 3 == 0)
                saved.layout =
                    engine::LayoutSettings{int(random() % 2) + 3, std::fabs(randomDouble(random)),
                                           std::fabs(randomDouble(random)), int(random() % 2) + 1};
            // No beam, one, or a list of named and described beams.
            if (run % 5 < 2) saved.beams.push_back({randomBeam(random), {}, {}});
            if (run % 7 == 3) {
                const int count = 2 + int(random() % 3);
                for (int k = 0; k < count; ++k) {
                    project::ProjectBeam beam{randomBeam(random), {}, {}};
                    beam.input.name = "V-" + std::to_string(100 * (k + 1) + int(random() % 50));
                    if (random() % 2) beam.description = QStringLiteral("Eje %1, piso 2").arg(k);
                    if (k > 0 && random() % 2) beam.group = QStringLiteral("V-100 = V-200");
                    saved.beams.push_back(beam);
                }
            }
            if (run % 4 == 0) {
                const auto& bars = engine::bars();
                const engine::Layer lowest = {{2, &bars[std::size_t(run) % bars.size()]}};
                saved.arrangement = project::ChosenBars{{{lowest, {{3, engine::findBar(4)}}}}, {}};
            }
            QVERIFY2(project::writeProject(path, saved).isEmpty(),
                     qPrintable(QString::number(run)));
            const project::ReadResult opened = project::readProject(path);
            QVERIFY2(opened.project, qPrintable(opened.error));
            for (int i = 0; i < project::inputCount; ++i)
                QVERIFY2(sameDouble(opened.project->inputs.values[i], saved.inputs.values[i]),
                         qPrintable(QString::number(saved.inputs.values[i], 'g', 17)));
            QCOMPARE(opened.project->code, saved.code);
            QVERIFY(opened.project->layout == saved.layout);
            QVERIFY(opened.project->arrangement == saved.arrangement);
            QCOMPARE(opened.project->programVersion, project::programVersion());
            QVERIFY(opened.project->beams == saved.beams);
            // Version 1 until the project has a beam, 2 for a beam, 3 once the beam has a load,
            // a shear, an axis or a level, 4 for a list; what opens writes back byte for byte.
            bool shearData = false;
            for (const project::ProjectBeam& beam : saved.beams) {
                shearData = shearData || !beam.input.axis.empty() || !beam.input.level.empty();
                for (const auto& span : beam.input.spans) shearData = shearData || span.wu;
                for (const auto& station : beam.input.stations)
                    shearData = shearData || station.v;
            }
            const bool list = saved.beams.size() > 1;
            QCOMPARE(opened.project->source.value("schemaVersion").toInt(),
                     list ? 4 : !saved.beams.empty() ? (shearData ? 3 : 2) : 1);
            QCOMPARE(project::serializeProject(*opened.project), contents(path));
        }
    }

    // A version-2 file re-saves byte for byte when nothing changed, keys this version does not
    // know included (version 1 files: the property above and the main window's tests); removing
    // the beam keeps it at version 2.
    void beamFileResavesUnchanged() {
        const QByteArray bytes = corpusFile("valid_beam");
        project::ReadResult opened = project::parseProject(bytes, "v");
        QVERIFY2(opened.project, qPrintable(opened.error));
        opened.project->programVersion = project::programVersion();
        QByteArray expected = bytes;
        expected.replace("\"programVersion\": \"1.0.0\"",
                         "\"programVersion\": \"" + project::programVersion().toUtf8() + '"');
        QCOMPARE(project::serializeProject(*opened.project), expected);
        QCOMPARE(opened.project->beams.size(), std::size_t{1});
        QCOMPARE(opened.project->beams[0].input.spans.size(), std::size_t{3});
        QCOMPARE(opened.project->beams[0].input.spans[1].moments.midMin, std::optional<double>(4));
        opened.project->beams.clear();
        const QJsonObject root =
            QJsonDocument::fromJson(project::serializeProject(*opened.project)).object();
        QVERIFY(!root.contains("beam"));
        QCOMPARE(root["schemaVersion"].toInt(), 2);
    }

    // The beam's name: none in a file reads as "V-1" and writes back as none; another name
    // survives a save; a name with control characters or no characters is refused.
    void beamNameReadWrittenAndChecked() {
        const QByteArray bytes = corpusFile("valid_beam");
        QVERIFY(!bytes.contains("\"name\""));
        project::ReadResult opened = project::parseProject(bytes, "v");
        QVERIFY2(opened.project && opened.project->beams.size() == 1, qPrintable(opened.error));
        QCOMPARE(opened.project->beams[0].input.name, std::string("V-1"));
        opened.project->beams[0].input.name = "VT-3 eje B";
        const QByteArray named = project::serializeProject(*opened.project);
        const project::ReadResult back = project::parseProject(named, "v");
        QVERIFY2(back.project && back.project->beams.size() == 1, qPrintable(back.error));
        QCOMPARE(back.project->beams[0].input.name, std::string("VT-3 eje B"));
        for (const char* bad : {"\"\"", "\"V\\u001b[2J\"", "12"}) {
            QByteArray edited = named;
            edited.replace("\"VT-3 eje B\"", bad);
            const project::ReadResult refused = project::parseProject(edited, "v");
            QVERIFY2(!refused.project && refused.error.contains("\"beam.name\""),
                     qPrintable(refused.error));
        }
    }

    // The stirrups' inputs and the beam's place: a version-3 file gives every load, shear,
    // axis, level and the N° 4 stirrup back, and writes back byte for byte; a key removed by
    // the user (a load, a shear) goes from the file, and a beam left with none of them is
    // written as version 2 again, which the versions before these inputs open.
    void shearInputsRoundTrip() {
        const project::ReadResult opened =
            project::parseProject(corpusFile("valid_beam_shear"), "v");
        QVERIFY2(opened.project && opened.project->beams.size() == 1, qPrintable(opened.error));
        const engine::beam::BeamInput& beam = opened.project->beams[0].input;
        QCOMPARE(beam.axis, std::string("Eje B"));
        QCOMPARE(beam.level, std::string("Piso 2"));
        QCOMPARE(beam.settings.stirrupDesignation, 4);
        QCOMPARE(beam.spans[0].wu, std::optional<double>(4.2));
        QCOMPARE(beam.spans[1].wu, std::optional<double>(0));
        QVERIFY(!beam.spans[2].wu);
        QCOMPARE(beam.stations.size(), std::size_t{5});
        QCOMPARE(beam.stations[1].v, std::optional<double>(-3));
        QVERIFY(!beam.stations[2].v);
        QCOMPARE(beam.stations[4].v, std::optional<double>(-1e6));
        const QByteArray written = project::serializeProject(*opened.project);
        const project::ReadResult back = project::parseProject(written, "v");
        QVERIFY2(back.project, qPrintable(back.error));
        QVERIFY(back.project->beams == opened.project->beams);
        QCOMPARE(project::serializeProject(*back.project), written);
        QCOMPARE(back.project->source.value("schemaVersion").toInt(), 3);

        project::ProjectFile plain = *opened.project;
        plain.source = QJsonDocument::fromJson(corpusFile("valid_beam")).object();
        engine::beam::BeamInput& plainBeam = plain.beams[0].input;
        plainBeam.axis.clear();
        plainBeam.level.clear();
        for (auto& span : plainBeam.spans) span.wu.reset();
        plainBeam.stations.clear();
        QCOMPARE(QJsonDocument::fromJson(project::serializeProject(plain))
                     .object()["schemaVersion"]
                     .toInt(),
                 2);
        project::ProjectFile lessened = *opened.project;
        lessened.beams[0].input.spans[0].wu.reset();
        lessened.beams[0].input.stations[0].v.reset();
        lessened.beams[0].input.axis.clear();
        const QJsonObject root = QJsonDocument::fromJson(project::serializeProject(lessened))
                                     .object()["beam"]
                                     .toObject();
        QVERIFY(!root["spans"].toArray()[0].toObject().contains("wu"));
        QVERIFY(!root["stations"].toArray()[0].toObject().contains("v"));
        QVERIFY(!root.contains("axis"));
        QCOMPARE(root["level"].toString(), QStringLiteral("Piso 2"));
    }

    // A list: two beams of one name are refused; a beam's keys this version does not know
    // follow it when the list is reordered; back to one beam without a description, the file
    // stays at format 4, which it came from.
    void beamListNamesAndOrder() {
        const project::ReadResult one = project::parseProject(corpusFile("valid_beam"), "v");
        QVERIFY2(one.project, qPrintable(one.error));
        project::ProjectFile listed = *one.project;
        listed.beams.push_back(listed.beams[0]);
        listed.beams[1].input.name = "V-2";
        listed.beams[1].description = QStringLiteral("Eje B, piso 2");
        QJsonObject root = QJsonDocument::fromJson(project::serializeProject(listed)).object();
        QCOMPARE(root["schemaVersion"].toInt(), 4);
        QVERIFY(!root.contains("beam"));
        QJsonArray beams = root["beams"].toArray();
        QCOMPARE(beams.size(), 2);
        QJsonObject second = beams[1].toObject();
        second["note"] = QStringLiteral("revisar");
        beams[1] = second;
        root["beams"] = beams;

        project::ReadResult back = project::parseProject(QJsonDocument(root).toJson(), "v");
        QVERIFY2(back.project, qPrintable(back.error));
        QCOMPARE(back.project->beams.size(), std::size_t{2});
        QCOMPARE(back.project->beams[1].description, QStringLiteral("Eje B, piso 2"));
        std::swap(back.project->beams[0], back.project->beams[1]);
        const QJsonArray swapped = QJsonDocument::fromJson(project::serializeProject(*back.project))
                                       .object()["beams"]
                                       .toArray();
        QCOMPARE(swapped[0].toObject()["note"].toString(), QStringLiteral("revisar"));
        QVERIFY(!swapped[1].toObject().contains("note"));

        back.project->beams.pop_back();
        back.project->beams[0].description.clear();
        QCOMPARE(QJsonDocument::fromJson(project::serializeProject(*back.project))
                     .object()["schemaVersion"]
                     .toInt(),
                 4);

        second["name"] = QStringLiteral("V-1");
        beams[1] = second;
        root["beams"] = beams;
        const project::ReadResult twice = project::parseProject(QJsonDocument(root).toJson(), "v");
        QVERIFY(!twice.project);
        QVERIFY2(twice.error.contains("dos vigas se llaman \"V-1\""), qPrintable(twice.error));
        beams[1] = QJsonObject{{"name", "V-3"}};
        root["beams"] = beams;
        const project::ReadResult broken = project::parseProject(QJsonDocument(root).toJson(), "v");
        QVERIFY2(!broken.project && broken.error.contains("\"beams[1]."), qPrintable(broken.error));
    }

    // A project of one beam's file holds that beam, current; the list's commands keep names
    // unique, the current beam where the engineer left it, and the list through a save.
    void projectBeamList() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("edificio.quintaral"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(corpusFile("valid_beam"));
        file.close();
        project::Project project;
        QVERIFY(project.open(path).isEmpty());
        QCOMPARE(project.beams().size(), std::size_t{1});
        QCOMPARE(project.currentBeamIndex(), 0);
        QCOMPARE(project.beam()->name, std::string("V-1"));
        QVERIFY(project.beamDesign() || project.beamError());

        const auto names = [&project] {
            QStringList list;
            for (const auto& beam : project.beams())
                list << QString::fromStdString(beam.beam.input.name);
            return list;
        };
        project.duplicateBeam(0);
        QCOMPARE(names(), QStringList({"V-1", "V-2"}));
        QCOMPARE(project.currentBeamIndex(), 1);
        QVERIFY(project.isModified());
        QVERIFY(!project.renameBeam(1, QStringLiteral("V-1"), {}).isEmpty());
        QVERIFY(!project.renameBeam(1, QStringLiteral("  "), {}).isEmpty());
        QVERIFY(project.renameBeam(1, QStringLiteral("V-101"), QStringLiteral("Eje B")).isEmpty());
        QCOMPARE(project.beam()->name, std::string("V-101"));
        project.duplicateBeam(1);
        project.addBeam(*project.beam());
        QCOMPARE(names(), QStringList({"V-1", "V-101", "V-102", "V-103"}));
        project.selectBeam(1);
        project.moveBeam(1, 3);
        QCOMPARE(names(), QStringList({"V-1", "V-102", "V-103", "V-101"}));
        QCOMPARE(project.currentBeamIndex(), 3);
        project.moveBeam(0, 3);
        QCOMPARE(project.currentBeamIndex(), 2);
        project.removeBeam(2);
        QCOMPARE(names(), QStringList({"V-102", "V-103", "V-1"}));
        QCOMPARE(project.beam()->name, std::string("V-1"));

        QVERIFY(project.saveAs(path).isEmpty());
        project::Project reopened;
        QVERIFY(reopened.open(path).isEmpty());
        QCOMPARE(reopened.beams().size(), std::size_t{3});
        for (std::size_t i = 0; i < 3; ++i)
            QVERIFY(reopened.beams()[i].beam == project.beams()[i].beam);
    }

    // Beams alike go in one group designed for the envelope of their demands, which is the
    // design of the more demanding one; a beam taken out is designed alone again, and so is the
    // last member left; the group survives a save.
    void groupsOfBeamsAlike() {
        const project::ReadResult one = project::parseProject(corpusFile("valid_beam"), "v");
        QVERIFY2(one.project, qPrintable(one.error));
        engine::beam::BeamInput light = one.project->beams[0].input;
        engine::beam::BeamInput heavy = light;
        for (auto& span : heavy.spans) span.moments.left *= 1.5;
        heavy.name = "V-2";
        engine::beam::BeamInput other = light;
        other.b += 5;
        other.name = "V-3";
        project::Project project;
        project.addBeam(light);
        project.addBeam(heavy);
        project.addBeam(other);
        const auto mass = [&project](int i) {
            return project.beams()[std::size_t(i)].result.design->totalMass;
        };
        const double alone = mass(0);
        const double heavyAlone = mass(1);
        project.groupEqualBeams();
        const auto& beams = project.beams();
        QVERIFY(!beams[0].beam.group.isEmpty());
        QCOMPARE(beams[1].beam.group, beams[0].beam.group);
        QVERIFY(beams[2].beam.group.isEmpty());
        QCOMPARE(mass(0), heavyAlone);
        QCOMPARE(mass(1), heavyAlone);
        QVERIFY(mass(0) >= alone);

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("grupos.quintaral"));
        QVERIFY(project.saveAs(path).isEmpty());
        project::Project reopened;
        QVERIFY(reopened.open(path).isEmpty());
        QCOMPARE(reopened.beams()[1].beam.group, beams[0].beam.group);
        QCOMPARE(reopened.beams()[0].result.design->totalMass, heavyAlone);

        project.ungroupBeam(1);
        QVERIFY(beams[0].beam.group.isEmpty() && beams[1].beam.group.isEmpty());
        QCOMPARE(mass(0), alone);
        QCOMPARE(mass(1), heavyAlone);
    }

    void notANumberNamesTheInput() {
        QCOMPARE(project::notANumberMessage(QStringLiteral("/a/v.quintaral"), project::Input::Fc),
                 QStringLiteral("No se puede guardar el archivo \"v.quintaral\": el dato f'c "
                                "(resistencia del concreto) no es un número."));
    }

    void unknownKeysSurviveAResave() {
        project::ReadResult opened = project::parseProject(corpusFile("valid_full"), "v");
        QVERIFY2(opened.project, qPrintable(opened.error));
        opened.project->inputs[project::Input::Moment] = 25;
        opened.project->arrangement->compression.layers.clear();
        const QJsonObject root =
            QJsonDocument::fromJson(project::serializeProject(*opened.project)).object();
        QCOMPARE(root["future"].toObject()["anything"].toArray().size(), 3);
        QCOMPARE(root["inputs"].toObject()["comment"].toString(), QStringLiteral("viga V-1"));
        QCOMPARE(root["arrangement"].toObject()["note"].toString(),
                 QStringLiteral("elegida a mano"));
        QVERIFY(!root["arrangement"].toObject().contains("compression"));
        QCOMPARE(root["inputs"].toObject()["mu"].toDouble(), 25.0);
    }

    void refusals_data() {
        QTest::addColumn<QString>("seed");
        QTest::addColumn<QString>("reason");
        const auto row = [](const char* seed, const char* reason) {
            QTest::newRow(seed) << QString::fromLatin1(seed) << QString::fromUtf8(reason);
        };
        row("empty", "está vacío");
        row("truncated", "su contenido no es JSON válido (error en el byte");
        row("infinite_input", "su contenido no es JSON válido");
        row("array_document", "no es un proyecto de Quintaral");
        row("wrong_format", "no es un proyecto de Quintaral");
        row("missing_schema", "no indica una versión de formato válida");
        row("newer_schema",
            "fue guardado por una versión más reciente de Quintaral (formato 5); esta versión abre "
            "hasta el formato 4");
        row("missing_input", "falta el dato Mu (momento último, clave \"mu\")");
        row("text_input", "el dato f'c (resistencia del concreto, clave \"fc\") no es un número");
        row("unknown_code", "la norma de diseño \"ACI-318\" no es NSR-98 ni NSR-10");
        row("wrong_units",
            "usa unidades que este programa no maneja (length: \"mm\"; se esperaba \"cm\")");
        row("bad_layers", "el dato \"layout.maxLayers\" no es válido");
        row("bad_stirrup", "el dato \"layout.stirrup\" no es válido");
        row("bad_tension", "el dato \"arrangement.tension\" no es válido");
        row("bad_beam_supports", "el dato \"beam.supports\" no es válido");
        row("bad_beam_class", "el dato \"beam.class\" no es válido");
        row("bad_beam_columns", "el dato \"beam.columns\" no es válido");
        row("beam_column_too_narrow",
            "el dato \"beam.columns[1]\" = 5 está fuera de lo admitido (10 a 300 cm)");
        row("beam_span_too_long",
            "el dato \"beam.spans[0].length\" = 1e+12 está fuera de lo admitido (0.3 a 30 m)");
        row("beam_mid_min_above_mid", "el dato \"beam.spans[0].muMidMin\" no es válido");
        row("beam_station_outside", "el dato \"beam.stations[2].x\" no es válido");
        row("beam_stirrup_5", "el dato \"beam.layout.stirrup\" no es válido: el estribo de una "
                              "viga es N° 3 o N° 4");
        row("beam_load_too_large",
            "el dato \"beam.spans[2].wu\" = 1500 está fuera de lo admitido (0 a 1000 Tn/m)");
        row("beam_negative_load", "el dato \"beam.spans[2].wu\" no es válido");
        row("beam_shear_too_large", "el dato \"beam.stations[1].v\" = 2000000 está fuera de lo "
                                    "admitido (-1000000 a 1000000 Tn)");
        row("beam_bad_axis", "el dato \"beam.axis\" no es válido");
    }

    void refusals() {
        QFETCH(QString, seed);
        QFETCH(QString, reason);
        const project::ReadResult result = project::parseProject(
            corpusFile(seed.toLatin1().constData()), QStringLiteral("/x/") + seed + ".quintaral");
        QVERIFY(!result.project);
        QVERIFY2(result.error.startsWith("No se puede abrir el archivo \"" + seed +
                                         ".quintaral\": " + reason) &&
                     result.error.endsWith('.'),
                 qPrintable(result.error));
    }

    void pathRefusalsAndTheSizeLimit() {
        QTemporaryDir dir;
        const auto refusal = [](const QString& path) { return project::readProject(path).error; };
        QVERIFY(refusal(dir.filePath("no.quintaral")).endsWith(": el archivo no existe."));
        QVERIFY(refusal(dir.path()).endsWith(": es una carpeta, no un archivo."));
        QVERIFY(refusal("/dev/null").endsWith(": no es un archivo común."));

        // Padded with blanks to exactly the limit the file opens; one byte more and it does not.
        QByteArray bytes = corpusFile("valid_minimal");
        bytes.append(QByteArray(project::maximumFileSize - bytes.size(), ' '));
        const QString path = dir.filePath("grande.quintaral");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.flush();
        QVERIFY2(project::readProject(path).project, qPrintable(refusal(path)));
        QVERIFY(file.write(" ") == 1 && file.flush());
        QCOMPARE(refusal(path), QStringLiteral("No se puede abrir el archivo \"grande.quintaral\": "
                                               "mide más de 1 MiB, demasiado para un proyecto de "
                                               "Quintaral."));
    }

    void everyTruncationIsRefusedClearly() {
        const QByteArray whole = project::serializeProject(sampleProject());
        for (qsizetype length = 0; length < whole.size(); ++length) {
            const QByteArray part = whole.left(length);
            const project::ReadResult result = project::parseProject(part, "corte.quintaral");
            if (part.trimmed() == whole.trimmed()) {
                QVERIFY(result.project);
                continue;
            }
            QVERIFY2(!result.project && result.error.startsWith(
                                            "No se puede abrir el archivo \"corte.quintaral\": "),
                     qPrintable(QString::number(length)));
        }
    }

    void failedSavesKeepThePreviousFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath("viga.quintaral");
        QVERIFY(project::writeProject(path, sampleProject()).isEmpty());
        const QByteArray before = contents(path);
        project::ProjectFile changed = sampleProject();
        changed.inputs[project::Input::Width] = 45;

        QVERIFY(project::writeProject(dir.filePath("falta/viga.quintaral"), changed)
                    .contains(QStringLiteral("no existe")));
        QVERIFY(project::writeProject(dir.path(), changed)
                    .endsWith(QStringLiteral(": ya existe una carpeta con ese nombre.")));
        changed.inputs[project::Input::Fy] = std::nan("");
        QVERIFY(project::writeProject(path, changed).contains(QStringLiteral("no es un número")));
        changed.inputs[project::Input::Fy] = 4200;

        // A full disk, even for root: a file-size limit makes the write fail part way.
        rlimit saved;
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 64;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const QString message = project::writeProject(path, changed);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
        QCOMPARE(message, QStringLiteral("No se puede guardar el archivo \"viga.quintaral\": no se "
                                         "pudo terminar de escribirlo (¿disco lleno?); el archivo "
                                         "anterior queda como estaba."));
        QCOMPARE(contents(path), before);
    }

    // The process dies after writing and before the new file replaces the old one.
    void aSaveKilledBeforeItsCommitKeepsThePreviousFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath("viga.quintaral");
        QVERIFY(project::writeProject(path, sampleProject()).isEmpty());
        const QByteArray before = contents(path);
        project::ProjectFile changed = sampleProject();
        changed.inputs[project::Input::Height] = 80;

        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            (void)project::writeProject(path, changed, [] { std::raise(SIGKILL); });
            _exit(0);
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
        QCOMPARE(contents(path), before);
        QVERIFY(project::readProject(path).project->inputs == sampleProject().inputs);
    }

    void choiceFollowsNewDesigns_data() {
        QTest::addColumn<QString>("tension");
        QTest::addColumn<bool>("typed");
        QTest::addColumn<double>("width");  // of the second design; the first is 30
        QTest::addColumn<double>("moment");
        QTest::addColumn<bool>("kept");
        QTest::addColumn<bool>("compression");
        // 4 N° 8 needs b = 4(2.54) + 3(2.54) + 2(4 + 0.95) = 27.68 cm.
        QTest::newRow("still fits") << "4N8" << false << 28.0 << 23.0 << true << false;
        QTest::newRow("no longer fits") << "4N8" << false << 27.0 << 23.0 << false << false;
        QTest::newRow("typed, no longer fits") << "4N8" << true << 27.0 << 23.0 << false << false;
        QTest::newRow("proposal gains compression")
            << "4N8" << false << 30.0 << 40.0 << true << true;
        QTest::newRow("typed bars stay as typed") << "4N8" << true << 30.0 << 40.0 << true << false;
    }

    // A design of new inputs keeps the chosen bars while their check can run, re-checked; the
    // first design takes them as they were saved, even when they do not fit.
    void choiceFollowsNewDesigns() {
        QFETCH(QString, tension);
        QFETCH(bool, typed);
        QFETCH(double, width);
        QFETCH(double, moment);
        QFETCH(bool, kept);
        QFETCH(bool, compression);
        const auto design = [](double b, double mu) {
            const engine::DesignInput input{b, 50, 5, 210, 4200, mu, 5};
            return engine::CompletedDesign{input, std::get<engine::DesignRun>(engine::runDesign(
                                                      input, engine::DesignCode::Nsr98))};
        };
        project::Project project;
        const project::ChosenBars bars{
            engine::parseArrangement(tension.toStdString()).arrangement, {}, typed};
        project.setBars(bars);
        project.setDesign(design(20, 23));
        QVERIFY(project.bars() == bars);
        project.setDesign(design(30, 23));
        QVERIFY(project.bars() == bars);
        project.setDesign(design(width, moment));
        QCOMPARE(project.bars().has_value(), kept);
        if (!kept) return;
        QVERIFY(project.bars()->tension == bars.tension);
        QCOMPARE(!project.bars()->compression.layers.empty(), compression);
    }
};

QTEST_GUILESS_MAIN(ProjectFileTest)
#include "test_projectfile.moc"
