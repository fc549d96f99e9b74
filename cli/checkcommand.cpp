#include <QCommandLineOption>
#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "commandline.h"
#include "commands.h"
#include "engine/capacity.h"
#include "engine/layout.h"
#include "engine/numbers.h"
#include "engine/run.h"
#include "helptexts.h"

namespace cli {

namespace {

const QString tensionOption = QStringLiteral("tension");
const QString compressionOption = QStringLiteral("compression");

// The steel of one layer as typed: an area in cm2 or bars of the catalogue.
struct LayerSteel {
    double area = 0;
    double barDiameter = 0;  // cm; 0 for a plain area
};

// "12.5" is an area; "4N10" or "2N8+1N6" names bars, whose largest diameter is kept so that
// the concrete they displace is counted as the stress block reaches them. A plain area has no
// bar size: its displaced concrete counts all at once when the block passes its depth.
std::optional<LayerSteel> readSteel(const QString& option, const QString& text) {
    const std::string steel = text.toStdString();
    if (const auto area = commandLineNumber(text)) {
        if (*area > 0) return LayerSteel{*area, 0};
        printError(
            QStringLiteral("el área de --%1 debe ser mayor que cero: «%2»").arg(option, text));
        return std::nullopt;
    }
    const engine::ParsedLayer parsed = engine::parseLayer(steel);
    if (!parsed.ok()) {
        printError(QStringLiteral("el acero de --%1 no es un área en cm² ni unas barras: %2")
                       .arg(option, QString::fromStdString(parsed.error)));
        return std::nullopt;
    }
    double diameter = 0;
    for (const engine::BarGroup& group : parsed.layer)
        diameter = std::max(diameter, group.bar->diameterCm());
    return LayerSteel{engine::layerArea(parsed.layer), diameter};
}

// Every AREA@DEPTH given after `option`, each inside the height; none after printing why not.
std::optional<std::vector<engine::SteelLayer>> readLayers(const QCommandLineParser& parser,
                                                          const QString& option, double h) {
    std::vector<engine::SteelLayer> layers;
    for (const QString& value : parser.values(option)) {
        const qsizetype at = value.lastIndexOf(QLatin1Char('@'));
        if (at < 0) {
            printError(
                QStringLiteral("--%1 espera ÁREA@PROFUNDIDAD, como 25.81@60.96 o 4N10@60.96: «%2»")
                    .arg(option, value));
            return std::nullopt;
        }
        const QString depthText = value.mid(at + 1);
        const auto depth = commandLineNumber(depthText);
        if (!depth) {
            printError(QStringLiteral("la profundidad de --%1 no es un número: «%2»")
                           .arg(option, depthText));
            return std::nullopt;
        }
        if (!(*depth > 0 && *depth < h)) {
            printError(
                QStringLiteral("la profundidad de --%1 debe quedar dentro de la altura, "
                               "entre 0 y h = %2 cm: «%3»")
                    .arg(option, QString::fromStdString(engine::formatGeneral(h, '.')), value));
            return std::nullopt;
        }
        const auto steel = readSteel(option, value.left(at));
        if (!steel) return std::nullopt;
        layers.push_back({steel->area, *depth, steel->barDiameter});
    }
    return layers;
}

}  // namespace

int runCheck(const QStringList& arguments) {
    const std::array<QString, 5> names{QStringLiteral("b"), QStringLiteral("h"),
                                       QStringLiteral("fc"), QStringLiteral("fy"),
                                       QStringLiteral("mu")};
    QCommandLineParser parser;
    for (const QString& name : names)
        parser.addOption(QCommandLineOption(name, QString(), QStringLiteral("valor")));
    parser.addOption(QCommandLineOption(tensionOption, QString(), QStringLiteral("capa")));
    parser.addOption(QCommandLineOption(compressionOption, QString(), QStringLiteral("capa")));
    addCodeOption(parser);
    const QString command = QStringLiteral("check");
    if (const auto status = parseOptions(parser, arguments, command, help::check,
                                         {tensionOption, compressionOption}))
        return *status;
    const auto numbers = numberOptions(parser, names);
    const auto code = codeOption(parser);
    if (!numbers || !code) return exitUsage;
    const std::array<double, 5>& values = *numbers;
    if (!parser.isSet(tensionOption)) {
        printError(QStringLiteral("falta la opción --%1").arg(tensionOption));
        return exitUsage;
    }
    const double h = values[1];
    const auto tension = readLayers(parser, tensionOption, h);
    if (!tension) return exitUsage;
    const auto compression = readLayers(parser, compressionOption, h);
    if (!compression) return exitUsage;
    // Compression steel lies between the compression face and the tension steel: a layer below
    // the tension steel's centroid would be tension steel under another name.
    double tensionArea = 0;
    double tensionMoment = 0;
    for (const engine::SteelLayer& layer : *tension) {
        tensionArea += layer.area;
        tensionMoment += layer.area * layer.depth;
    }
    const double tensionCentroid = tensionMoment / tensionArea;
    for (const engine::SteelLayer& layer : *compression) {
        if (layer.depth < tensionCentroid) continue;
        printError(QStringLiteral("la capa de --%1 a %2 cm no queda por encima del acero en "
                                  "tracción (su centroide a %3 cm de la cara en compresión): "
                                  "el acero en compresión va entre esa cara y el de tracción")
                       .arg(compressionOption,
                            QString::fromStdString(engine::formatGeneral(layer.depth, '.')),
                            QString::fromStdString(engine::formatGeneral(tensionCentroid, '.'))));
        return exitUsage;
    }

    const auto result = engine::checkCapacity({.code = *code,
                                               .b = values[0],
                                               .h = h,
                                               .fc = values[2],
                                               .fy = values[3],
                                               .mu = values[4],
                                               .tension = *tension,
                                               .compression = *compression});
    if (!result) {
        // Values no section can have are named as the design names them.
        const std::string rule = engine::inputRuleText(
            {.b = values[0], .h = h, .fc = values[2], .fy = values[3], .mu = values[4]}, '.');
        if (!rule.empty()) printError(QString::fromStdString(rule));
        printError(
            QStringLiteral("la sección no se puede revisar: b, h, f'c y Fy deben ser "
                           "mayores que cero, Mu no negativo, y el acero menos que el "
                           "área de la sección"));
        return exitUsage;
    }
    std::string text;
    appendLines(text, engine::capacityLines(*result, *code, '.'));
    writeOut(text);
    return result->passes ? exitSuccess : exitFailed;
}

}  // namespace cli
