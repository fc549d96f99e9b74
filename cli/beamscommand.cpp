#include <unistd.h>
#include <QCommandLineOption>
#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <charconv>
#include <chrono>
#include <cmath>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <variant>
#include <vector>

#include "commandline.h"
#include "commands.h"
#include "dxf/beamdxf.h"
#include "engine/beam/beam.h"
#include "engine/beam/beamtext.h"
#include "engine/beam/checktext.h"
#include "engine/building/building.h"
#include "engine/numbers.h"
#include "engine/schedule.h"
#include "project/project.h"

namespace cli {

namespace {

namespace building = engine::building;
using engine::formatFixed;

const QString stationsOption = QStringLiteral("stations");
const QString centrelineOption = QStringLiteral("centreline");
const QString groupOption = QStringLiteral("group");
const QString outOption = QStringLiteral("out");
const QString formatOption = QStringLiteral("format");
const QString stirrupOption = QStringLiteral("stirrup");
const QString barsOption = QStringLiteral("bars");
const QString stockOption = QStringLiteral("stock");

constexpr std::string_view beamsHelp =
    R"(Uso: quintaral-cli beams VIGAS.csv [--stations ESTACIONES.csv [--centreline]] [--group]
                           [--out CARPETA]
                           [--format text|json] [--stirrup 3|4] [--bars N-M] [--stock L]
                           [--decimal-comma] [--delimiter C]
       quintaral-cli beams PROYECTO.quintaral [las mismas opciones, salvo --stations]

Diseña y despieza todas las vigas de un edificio exportadas por el programa de análisis, y
suma sus cantidades de acero y concreto.

  VIGAS.csv        una fila por vano: beam (nombre), span, length, support_left, support_right,
                   b, h, cover, cover2, fc, fy y, si se quiere, wu, class, code, description;
                   sin estaciones, también los momentos de --spans de «beam» (mu_left, mu_mid,
                   mu_right, ...). Todas las filas de una viga traen la misma sección y
                   los mismos materiales.
  --stations ARCHIVO  una fila por estación y combinación: beam, span, x (m desde la cara
                   izquierda del vano), mu y, si se quiere, v y combo; otras columnas se ignoran
  --centreline     x de las estaciones medida desde el eje del apoyo izquierdo del vano (el
                   nudo), no desde su cara
  --group          agrupa las vigas iguales (vanos, apoyos, sección, materiales, norma y clase)
                   y diseña cada grupo para la envolvente de sus vigas
  --out CARPETA    escribe CARPETA/NOMBRE.dxf por viga o grupo y CARPETA/cantidades.csv
  --format text|json  una línea por viga y las cantidades (text, por omisión), o JSON
  --stirrup 3|4    barra de los estribos (N° 3 por omisión)
  --bars N-M       barras longitudinales permitidas (4-8 por omisión)
  --stock L        longitud comercial de las barras, m (12 por omisión)
  --decimal-comma  números con coma decimal (el separador pasa a ser «;»)
  --delimiter C    separador de campos de los archivos CSV (un carácter, o «tab»)

Estado de salida: 0 todas las vigas cumplen, 2 alguna no cumple o no se pudo diseñar, 1 error
en los argumentos o en los archivos.
)";

// A reader's message, prefixed by the file it came from; false after printing it.
bool readWell(const std::optional<std::string>& message, const CsvFile& file) {
    if (!file.readWell()) return false;
    if (!message) return true;
    printError(QStringLiteral("%1: %2").arg(file.name(), QString::fromStdString(*message)));
    return false;
}

std::optional<building::Building> readFiles(const QCommandLineParser& parser,
                                            const QString& beamsPath, const CsvStyle& style) {
    const bool withStations = parser.isSet(stationsOption);
    if (parser.isSet(centrelineOption) && !withStations) {
        printError(QStringLiteral("--centreline solo se usa con --stations"));
        return std::nullopt;
    }
    if (withStations && parser.value(stationsOption) == QLatin1String("-") &&
        beamsPath == QLatin1String("-")) {
        printError(QStringLiteral("solo uno de los archivos puede ser la entrada estándar («-»)"));
        return std::nullopt;
    }
    CsvFile beamsFile(beamsPath);
    if (!beamsFile.isOpen()) return std::nullopt;
    engine::csv::Reader beamsReader = beamsFile.reader(style.delimiter);
    auto read = building::readBuilding(beamsReader, style.decimalSeparator, withStations);
    std::optional<std::string> message;
    if (auto* text = std::get_if<std::string>(&read)) message = *text;
    if (!readWell(message, beamsFile)) return std::nullopt;
    auto result = std::get<building::Building>(std::move(read));
    if (!withStations) return result;
    CsvFile stationsFile(parser.value(stationsOption));
    if (!stationsFile.isOpen()) return std::nullopt;
    engine::csv::Reader stationsReader = stationsFile.reader(style.delimiter);
    message = building::readBuildingStations(stationsReader, style.decimalSeparator, result,
                                             parser.isSet(centrelineOption));
    if (!readWell(message, stationsFile)) return std::nullopt;
    return result;
}

// The one beam of a project file, as a building of one beam.
std::optional<building::Building> readProject(const QCommandLineParser& parser,
                                              const QString& path) {
    if (parser.isSet(stationsOption) || parser.isSet(centrelineOption)) {
        printError(QStringLiteral("el proyecto «%1» ya trae la viga: quite --stations").arg(path));
        return std::nullopt;
    }
    // The file alone: the command designs the beams itself, so the project does not.
    const project::ReadResult saved = project::readProject(path);
    if (!saved.project) {
        printError(saved.error);
        return std::nullopt;
    }
    if (saved.project->beams.empty()) {
        printError(QStringLiteral("el proyecto «%1» no trae ninguna viga").arg(path));
        return std::nullopt;
    }
    building::Building result;
    for (const project::ProjectBeam& beam : saved.project->beams)
        result.beams.push_back({beam.input, beam.description.toStdString(), 0});
    return result;
}

// "diseñando vigas: 120 de 500" on standard error, redrawn in place, once the run has taken
// more than a second and only on a terminal.
class Progress {
  public:
    explicit Progress(std::size_t total) : total_(total), terminal_(isatty(STDERR_FILENO) == 1) {}
    void show(std::size_t done) {
        if (!terminal_) return;
        const auto now = std::chrono::steady_clock::now();
        if (now - start_ < std::chrono::seconds(1) || now - shown_ < std::chrono::milliseconds(100))
            return;
        shown_ = now;
        const std::string line =
            "\rdiseñando vigas: " + std::to_string(done) + " de " + std::to_string(total_);
        writeError(line);
        width_ = line.size();
    }
    ~Progress() {
        if (width_ > 0) writeError("\r" + std::string(width_, ' ') + "\r");
    }

  private:
    std::size_t total_;
    bool terminal_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point shown_{};
    std::size_t width_ = 0;
};

std::string jsonNumber(double value) {
    if (!std::isfinite(value)) return "null";
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string jsonString(std::string_view text) {
    std::string out;
    engine::appendJsonString(out, text);
    return out;
}

std::string barsJson(const building::Quantities& q) {
    std::map<int, double> byBar = q.longitudinalByBar;
    for (const auto& [bar, mass] : q.stirrupsByBar) byBar[bar] += mass;
    std::string out = "{";
    for (const auto& [bar, mass] : byBar) {
        if (out.size() > 1) out += ',';
        out += jsonString(std::to_string(bar)) + ':' + jsonNumber(mass);
    }
    return out + '}';
}

std::string quantitiesJson(const building::Quantities& q) {
    return "{\"by_bar\":" + barsJson(q) + ",\"stirrups\":" + jsonNumber(q.stirrups) +
           ",\"longitudinal\":" + jsonNumber(q.longitudinal) +
           ",\"total\":" + jsonNumber(q.total()) + ",\"concrete\":" + jsonNumber(q.concrete) + '}';
}

std::string quantitiesText(const building::Quantities& q, char separator) {
    const auto kg = [&](double value) { return formatFixed(value, 1, separator) + " kg"; };
    std::string out = "\nCantidades\n";
    for (const auto& [bar, mass] : q.longitudinalByBar)
        out += "  Longitudinal N° " + std::to_string(bar) + ": " + kg(mass) + '\n';
    for (const auto& [bar, mass] : q.stirrupsByBar)
        out += "  Estribos N° " + std::to_string(bar) + ": " + kg(mass) + '\n';
    out += "Acero longitudinal: " + kg(q.longitudinal) + '\n';
    out += "Acero de estribos: " + kg(q.stirrups) + '\n';
    out += "Acero total: " + kg(q.total()) + '\n';
    out += "Concreto: " + formatFixed(q.concrete, 2, separator) + " m3\n";
    out +=
        "Acero por m3 de concreto: " + formatFixed(q.steelPerConcrete(), 1, separator) + " kg/m3\n";
    return out;
}

// Writes `text` at `path` whole or not at all; false after printing why not.
bool writeWhole(const QString& path, const std::string& text) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(text.data(), static_cast<qint64>(text.size())) !=
            static_cast<qint64>(text.size()) ||
        !file.commit()) {
        printError(QStringLiteral("no se puede escribir «%1»: %2").arg(path, file.errorString()));
        return false;
    }
    return true;
}

}  // namespace

int runBeams(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.addOption(QCommandLineOption(stationsOption, QString(), QStringLiteral("archivo")));
    parser.addOption(QCommandLineOption(centrelineOption));
    parser.addOption(QCommandLineOption(groupOption));
    parser.addOption(QCommandLineOption(outOption, QString(), QStringLiteral("carpeta")));
    parser.addOption(QCommandLineOption(formatOption, QString(), QStringLiteral("formato"),
                                        QStringLiteral("text")));
    parser.addOption(QCommandLineOption(stirrupOption, QString(), QStringLiteral("barra")));
    parser.addOption(QCommandLineOption(barsOption, QString(), QStringLiteral("barras")));
    parser.addOption(QCommandLineOption(stockOption, QString(), QStringLiteral("longitud")));
    addCsvOptions(parser);
    if (!parseCommandLine(parser, arguments, QStringLiteral("beams"))) return exitUsage;
    if (helpRequested(parser)) {
        writeOut(beamsHelp);
        return exitSuccess;
    }
    const QStringList files = parser.positionalArguments();
    if (files.isEmpty()) {
        printError(QStringLiteral("falta el archivo de vigas (VIGAS.csv o PROYECTO.quintaral)"));
        return exitUsage;
    }
    if (files.size() > 1) {
        printError(QStringLiteral("argumento de más: %1").arg(files.at(1)));
        return exitUsage;
    }
    const std::optional<bool> asJson = readJsonFormat(parser.value(formatOption));
    if (!asJson) return exitUsage;
    const bool json = *asJson;
    const auto csv = csvOptions(parser);
    if (!csv) return exitUsage;
    engine::beam::BeamInput options;
    if (!readBarRange(parser, options) || !readStock(parser, options) ||
        !readStirrup(parser, options))
        return exitUsage;

    const QString source = files.first();
    auto read = source.endsWith(QLatin1String(".quintaral"), Qt::CaseInsensitive)
                    ? readProject(parser, source)
                    : readFiles(parser, source, *csv);
    if (!read) return exitUsage;
    building::Building& beams = *read;
    for (building::NamedBeam& beam : beams.beams) {
        if (parser.isSet(barsOption)) {
            beam.input.smallestBar = options.smallestBar;
            beam.input.largestBar = options.largestBar;
        }
        if (parser.isSet(stockOption)) beam.input.stockLength = options.stockLength;
        if (parser.isSet(stirrupOption))
            beam.input.settings.stirrupDesignation = options.settings.stirrupDesignation;
    }

    QString outDir;
    if (parser.isSet(outOption)) {
        outDir = parser.value(outOption);
        if (!QDir().mkpath(outDir)) {
            printError(QStringLiteral("no se puede crear la carpeta «%1»").arg(outDir));
            return exitUsage;
        }
    }

    std::vector<building::BeamGroup> groups;
    if (parser.isSet(groupOption)) {
        groups = building::groupBeams(beams);
    } else {
        groups.reserve(beams.beams.size());
        for (std::size_t i = 0; i < beams.beams.size(); ++i)
            groups.push_back({beams.beams[i].input.name, {i}});
    }

    // Text figures take the separator asked for; JSON's have a point.
    const char separator = json ? '.' : csv->decimalSeparator;
    int status = exitSuccess;
    building::Quantities total;
    std::vector<building::BeamQuantities> perBeam;  // only for cantidades.csv
    dxfexport::FileNames fileNames;
    Progress progress(beams.beams.size());
    std::size_t done = 0;
    if (json) writeOut("{\"beams\":[");
    bool firstJson = true;
    for (const building::BeamGroup& group : groups) {
        const bool grouped = group.members.size() > 1;
        const engine::beam::BeamInput input =
            grouped ? building::groupInput(beams, group) : beams.beams[group.members.front()].input;
        const engine::beam::BeamOutcome outcome = engine::beam::designBeam(input);
        const auto* design = std::get_if<engine::beam::BeamDesign>(&outcome);
        building::Quantities quantities;
        std::string verdict;
        if (design) {
            quantities = building::designQuantities(*design);
            if (design->passes) {
                verdict = "cumple";
            } else {
                if (status != exitUsage) status = exitFailed;
                for (const auto& check : design->checks) {
                    if (check.passes) continue;
                    verdict = "no cumple: " + engine::beam::checkLine(check, separator);
                    break;
                }
            }
        } else {
            const auto& error = std::get<engine::beam::BeamError>(outcome);
            verdict = "no se puede diseñar: " + engine::beam::errorText(error, separator);
            // A value no beam can have is bad input, which outranks a beam that fails.
            status = error.kind == engine::beam::BeamErrorKind::Input ? exitUsage
                     : status == exitUsage                            ? exitUsage
                                                                      : exitFailed;
        }
        std::string designObject;
        if (json && design) {
            designObject = engine::beam::designJson(*design);
            while (!designObject.empty() && designObject.back() == '\n') designObject.pop_back();
        }
        std::string text;
        for (const std::size_t member : group.members) {
            const building::NamedBeam& beam = beams.beams[member];
            total.add(quantities);
            if (!outDir.isEmpty()) perBeam.push_back({beam.input.name, quantities});
            if (json) {
                text += firstJson ? "" : ",";
                firstJson = false;
                text += "\n{\"name\":" + jsonString(beam.input.name) +
                        ",\"group\":" + (grouped ? jsonString(group.name) : std::string("null")) +
                        ",\"description\":" + jsonString(beam.description) +
                        ",\"design\":" + (design ? designObject : std::string("null"));
                if (!design) text += ",\"error\":" + jsonString(verdict);
                text += '}';
            } else {
                const std::size_t spans = beam.input.spans.size();
                text += beam.input.name + "  " + std::to_string(spans) +
                        (spans == 1 ? " vano  " : " vanos  ") + verdict;
                if (design) text += "  " + formatFixed(quantities.total(), 1, separator) + " kg";
                if (grouped) text += "  (grupo " + group.name + ")";
                text += '\n';
            }
        }
        writeOut(text);
        if (design && !outDir.isEmpty()) {
            const QString path = QDir(outDir).filePath(
                QString::fromStdString(fileNames.take(group.name)) + QStringLiteral(".dxf"));
            const std::string error = dxfexport::writeBeamDxf(
                QFile::encodeName(path).toStdString(), *design, input, csv->decimalSeparator);
            if (!error.empty()) {
                writeError(error + '\n');
                return exitUsage;
            }
        }
        done += group.members.size();
        progress.show(done);
    }
    if (json) {
        std::string tail = "\n],\"groups\":[";
        bool firstGroup = true;
        for (const building::BeamGroup& group : groups) {
            if (group.members.size() < 2) continue;
            tail += firstGroup ? "\n" : ",\n";
            firstGroup = false;
            tail += "{\"name\":" + jsonString(group.name) + ",\"beams\":[";
            for (std::size_t i = 0; i < group.members.size(); ++i)
                tail += (i ? "," : "") + jsonString(beams.beams[group.members[i]].input.name);
            tail += "]}";
        }
        tail += "],\n\"quantities\":" + quantitiesJson(total) + "}\n";
        writeOut(tail);
    } else {
        writeOut(quantitiesText(total, separator));
    }
    if (!outDir.isEmpty() &&
        !writeWhole(QDir(outDir).filePath(QStringLiteral("cantidades.csv")),
                    building::quantitiesCsv(perBeam, csv->delimiter, csv->decimalSeparator)))
        return exitUsage;
    return status;
}

}  // namespace cli
