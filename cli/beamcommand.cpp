#include <QCommandLineOption>
#include <QDate>
#include <QFile>
#include <QRegularExpression>
#include <array>
#include <optional>
#include <string>
#include <variant>

#include "commandline.h"
#include "commands.h"
#include "dxf/beamdxf.h"
#include "engine/beam/beam.h"
#include "engine/beam/beamcsv.h"
#include "engine/beam/beamtext.h"
#include "engine/beam/bounds.h"
#include "engine/beam/checktext.h"
#include "engine/catalogue.h"
#include "helptexts.h"
#include "project/project.h"

namespace cli {

namespace {

const QString spansOption = QStringLiteral("spans");
const QString stationsOption = QStringLiteral("stations");
const QString centrelineOption = QStringLiteral("centreline");
const QString classOption = QStringLiteral("class");
const QString barsOption = QStringLiteral("bars");
const QString stockOption = QStringLiteral("stock");
const QString nameOption = QStringLiteral("name");
const QString axisOption = QStringLiteral("axis");
const QString levelOption = QStringLiteral("level");
const QString stirrupOption = QStringLiteral("stirrup");
const QString formatOption = QStringLiteral("format");
const QString dxfOption = QStringLiteral("dxf");
const QString codeOptionName = QStringLiteral("code");
const std::array<QString, 6> sectionOptions{QStringLiteral("b"),     QStringLiteral("h"),
                                            QStringLiteral("cover"), QStringLiteral("cover2"),
                                            QStringLiteral("fc"),    QStringLiteral("fy")};
const QString standardStream = QStringLiteral("-");

// A reader's result, or none after printing "<file>: <what is wrong>".
template <typename Value>
std::optional<Value> fileValue(std::variant<Value, std::string> outcome, const CsvFile& file) {
    if (!file.readWell()) return std::nullopt;
    if (auto* message = std::get_if<std::string>(&outcome)) {
        printError(QStringLiteral("%1: %2").arg(file.name(), QString::fromStdString(*message)));
        return std::nullopt;
    }
    return std::get<Value>(std::move(outcome));
}

}  // namespace

// "--bars N-M" (or one size, "--bars 5"): the smallest and largest bar allowed, both in the
// catalogue.
bool readBarRange(const QCommandLineParser& parser, engine::beam::BeamInput& input) {
    if (!parser.isSet(barsOption)) return true;
    const QString text = parser.value(barsOption).trimmed();
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,2})(?:-(\\d{1,2}))?$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (match.hasMatch()) {
        const int smallest = match.captured(1).toInt();
        const int largest = match.hasCaptured(2) ? match.captured(2).toInt() : smallest;
        if (engine::findBar(smallest) && engine::findBar(largest) && smallest <= largest) {
            input.smallestBar = smallest;
            input.largestBar = largest;
            return true;
        }
    }
    printError(QStringLiteral("--bars espera las barras permitidas, de la menor a la mayor y del "
                              "catálogo, como 4-8: «%1»")
                   .arg(parser.value(barsOption)));
    return false;
}

bool readStock(const QCommandLineParser& parser, engine::beam::BeamInput& input) {
    if (!parser.isSet(stockOption)) return true;
    const auto stock = numberOption(parser, stockOption);
    if (!stock) return false;
    const engine::beam::Bound& bound = engine::beam::bounds::stockLength;
    if (bound.holds(*stock)) {
        input.stockLength = *stock;
        return true;
    }
    printError(QStringLiteral("la longitud comercial de --stock debe ir de %1: «%2»")
                   .arg(QString::fromStdString(engine::beam::rangeText(bound, '.')),
                        parser.value(stockOption)));
    return false;
}

// "--stirrup 3|4": the stirrup bar. Hoops of a beam are bent from N° 3 or N° 4; a larger bar
// does not take the hooks' tight bends around the corner bars.
bool readStirrup(const QCommandLineParser& parser, engine::beam::BeamInput& input) {
    if (!parser.isSet(stirrupOption)) return true;
    const QString text = parser.value(stirrupOption).trimmed();
    if (text == QLatin1String("3") || text == QLatin1String("4")) {
        input.settings.stirrupDesignation = text.toInt();
        return true;
    }
    printError(QStringLiteral("--stirrup espera la barra del estribo, 3 o 4 (N° 3 o N° 4: los "
                              "estribos cerrados de una viga se doblan con ellas): «%1»")
                   .arg(parser.value(stirrupOption)));
    return false;
}

std::optional<bool> readJsonFormat(const QString& format) {
    if (format == QLatin1String("text") || format == QLatin1String("json"))
        return format == QLatin1String("json");
    printError(QStringLiteral("formato desconocido: «%1» (text o json)").arg(format));
    return std::nullopt;
}

namespace {

bool readClass(const QCommandLineParser& parser, engine::beam::BeamInput& input) {
    if (!parser.isSet(classOption)) return true;
    const auto seismicClass =
        engine::beam::classFromName(parser.value(classOption).trimmed().toUpper().toStdString());
    if (seismicClass) {
        input.seismicClass = *seismicClass;
        return true;
    }
    printError(QStringLiteral("clase de disipación de energía desconocida: «%1» (DES, DMO o DMI)")
                   .arg(parser.value(classOption)));
    return false;
}

// The spans and, when given, the stations, into the input; false after printing what is wrong.
bool readBeamFiles(const QCommandLineParser& parser, const CsvStyle& style,
                   engine::beam::BeamInput& input) {
    const bool withStations = parser.isSet(stationsOption);
    if (withStations && parser.value(stationsOption) == standardStream &&
        parser.value(spansOption) == standardStream) {
        printError(QStringLiteral("solo uno de los archivos puede ser la entrada estándar («-»)"));
        return false;
    }
    CsvFile spansFile(parser.value(spansOption));
    if (!spansFile.isOpen()) return false;
    engine::csv::Reader spansReader = spansFile.reader(style.delimiter);
    const auto spans = fileValue(
        engine::beam::readSpans(spansReader, style.decimalSeparator, withStations), spansFile);
    if (!spans) return false;
    input.supports = spans->supports;
    input.columns = spans->columns;
    input.spans = spans->spans;
    if (!withStations) return true;

    CsvFile stationsFile(parser.value(stationsOption));
    if (!stationsFile.isOpen()) return false;
    engine::csv::Reader stationsReader = stationsFile.reader(style.delimiter);
    const bool fromCentreline = parser.isSet(centrelineOption);
    auto stations = fileValue(
        engine::beam::readStations(stationsReader, style.decimalSeparator, *spans, fromCentreline),
        stationsFile);
    if (!stations) return false;
    input.stations = std::move(*stations);
    input.stationsFromCentreline = fromCentreline;
    return true;
}

// "--name NOMBRE": the beam's name in the schedule. A name refused is not echoed: it may hold
// control characters.
bool readName(const QCommandLineParser& parser, engine::beam::BeamInput& input) {
    if (!parser.isSet(nameOption)) return true;
    const std::string name = parser.value(nameOption).toStdString();
    if (engine::beam::validBeamName(name)) {
        input.name = name;
        return true;
    }
    printError(QStringLiteral("el nombre de --name debe tener de 1 a %1 caracteres, sin "
                              "caracteres de control")
                   .arg(engine::beam::longestBeamName));
    return false;
}

// "--axis TEXTO", "--level TEXTO": where the beam is, as the drawing's title block names it.
// Either may be empty; a text refused is not echoed, like a name.
bool readLabels(const QCommandLineParser& parser, engine::beam::BeamInput& input) {
    for (const auto& [option, field] : {std::pair{&axisOption, &engine::beam::BeamInput::axis},
                                        std::pair{&levelOption, &engine::beam::BeamInput::level}}) {
        if (!parser.isSet(*option)) continue;
        const std::string label = parser.value(*option).toStdString();
        if (!engine::beam::validBeamLabel(label)) {
            printError(QStringLiteral("el texto de --%1 debe tener a lo más %2 caracteres, sin "
                                      "caracteres de control")
                           .arg(*option)
                           .arg(engine::beam::longestBeamName));
            return false;
        }
        input.*field = label;
    }
    return true;
}

// The beam the options describe (section, code, class, bars, stock, name, axis, level, stirrup
// and the CSV files), into
// `input`; false after printing what is wrong.
bool readBeamOptions(const QCommandLineParser& parser, const CsvStyle& csv,
                     engine::beam::BeamInput& input) {
    const auto numbers = numberOptions(parser, sectionOptions);
    const auto code = codeOption(parser);
    if (!numbers || !code) return false;
    if (!parser.isSet(spansOption)) {
        printError(QStringLiteral("falta la opción --%1").arg(spansOption));
        return false;
    }
    if (parser.isSet(centrelineOption) && !parser.isSet(stationsOption)) {
        printError(QStringLiteral("--centreline solo se usa con --stations"));
        return false;
    }
    input.code = *code;
    const std::array<double, 6>& values = *numbers;
    input.b = values[0];
    input.h = values[1];
    input.dPrime = values[2];
    input.dSecond = values[3];
    input.fc = values[4];
    input.fy = values[5];
    return readClass(parser, input) && readBarRange(parser, input) && readStock(parser, input) &&
           readName(parser, input) && readLabels(parser, input) && readStirrup(parser, input) &&
           readBeamFiles(parser, csv, input);
}

// The beam of a project file and its design (the project designs it as it opens), in place of
// the options that describe one: none after printing why it cannot be read, or which of those
// options came with it (the file says it all; only how to write the result may be given too).
struct SavedBeam {
    engine::beam::BeamInput input;
    engine::beam::BeamOutcome outcome;
};
std::optional<SavedBeam> projectBeam(const QCommandLineParser& parser, const QString& path) {
    QStringList given;
    QStringList beamOptions(sectionOptions.begin(), sectionOptions.end());
    beamOptions << spansOption << stationsOption << centrelineOption << classOption << barsOption
                << stockOption << nameOption << axisOption << levelOption << stirrupOption
                << codeOptionName;
    for (const QString& name : beamOptions)
        if (parser.isSet(name)) given << QStringLiteral("--") + name;
    if (!given.isEmpty()) {
        printError(QStringLiteral("el proyecto «%1» ya trae la viga: quite %2")
                       .arg(path, given.join(QStringLiteral(", "))));
        return std::nullopt;
    }
    project::Project saved;
    if (const QString error = saved.open(path); !error.isEmpty()) {
        printError(error);
        return std::nullopt;
    }
    if (!saved.beam()) {
        printError(QStringLiteral("el proyecto «%1» no trae ninguna viga").arg(path));
        return std::nullopt;
    }
    if (saved.beamDesign()) return SavedBeam{*saved.beam(), *saved.beamDesign()};
    return SavedBeam{*saved.beam(), *saved.beamError()};
}

}  // namespace

int runBeam(const QStringList& arguments) {
    QCommandLineParser parser;
    for (const QString& name : sectionOptions)
        parser.addOption(QCommandLineOption(name, QString(), QStringLiteral("valor")));
    parser.addOption(QCommandLineOption(spansOption, QString(), QStringLiteral("archivo")));
    parser.addOption(QCommandLineOption(stationsOption, QString(), QStringLiteral("archivo")));
    parser.addOption(QCommandLineOption(centrelineOption));
    parser.addOption(QCommandLineOption(classOption, QString(), QStringLiteral("clase")));
    parser.addOption(QCommandLineOption(barsOption, QString(), QStringLiteral("barras")));
    parser.addOption(QCommandLineOption(stockOption, QString(), QStringLiteral("longitud")));
    parser.addOption(QCommandLineOption(nameOption, QString(), QStringLiteral("nombre")));
    parser.addOption(QCommandLineOption(axisOption, QString(), QStringLiteral("eje")));
    parser.addOption(QCommandLineOption(levelOption, QString(), QStringLiteral("piso")));
    parser.addOption(QCommandLineOption(stirrupOption, QString(), QStringLiteral("barra")));
    parser.addOption(QCommandLineOption(formatOption, QString(), QStringLiteral("formato"),
                                        QStringLiteral("text")));
    parser.addOption(QCommandLineOption(dxfOption, QString(), QStringLiteral("archivo")));
    addCodeOption(parser);
    addCsvOptions(parser);
    const QString command = QStringLiteral("beam");
    // One argument, a project file, may stand for the options that describe the beam.
    if (!parseCommandLine(parser, arguments, command)) return exitUsage;
    if (helpRequested(parser)) {
        writeOut(help::beam);
        return exitSuccess;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        printError(QStringLiteral("argumento de más: %1").arg(files.at(1)));
        return exitUsage;
    }
    const std::optional<bool> asJson = readJsonFormat(parser.value(formatOption));
    if (!asJson) return exitUsage;
    const bool json = *asJson;
    const auto csv = csvOptions(parser);
    if (!csv) return exitUsage;

    engine::beam::BeamInput input;
    std::optional<engine::beam::BeamOutcome> outcome;
    if (!files.isEmpty()) {
        auto saved = projectBeam(parser, files.first());
        if (!saved) return exitUsage;
        input = std::move(saved->input);
        outcome = std::move(saved->outcome);
    } else if (!readBeamOptions(parser, *csv, input)) {
        return exitUsage;
    } else {
        outcome = engine::beam::designBeam(input);
    }

    if (const auto* error = std::get_if<engine::beam::BeamError>(&*outcome)) {
        // JSON's figures have a point; the schedule's the separator asked for. The message
        // names the file the beam came from.
        const char separator = json ? '.' : csv->decimalSeparator;
        const QString source = files.isEmpty() ? parser.value(spansOption) : files.first();
        printError(source + QStringLiteral(": ") +
                   QString::fromStdString(engine::beam::errorText(*error, separator)));
        return error->kind == engine::beam::BeamErrorKind::Input ? exitUsage : exitFailed;
    }
    const auto& design = std::get<engine::beam::BeamDesign>(*outcome);
    if (parser.isSet(dxfOption)) {
        const std::string error = dxfexport::writeBeamDxf(
            QFile::encodeName(parser.value(dxfOption)).toStdString(), design, input,
            csv->decimalSeparator,
            {{}, QDate::currentDate().toString(Qt::ISODate).toStdString(), "1 de 1"});
        if (!error.empty()) {
            writeError(error + '\n');
            return exitUsage;
        }
    }
    writeOut(json ? engine::beam::designJson(design)
                  : engine::beam::scheduleText(design, csv->decimalSeparator));
    return design.passes ? exitSuccess : exitFailed;
}

}  // namespace cli
