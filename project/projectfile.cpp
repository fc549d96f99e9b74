#include "project/projectfile.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QSaveFile>
#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/beam/bounds.h"
#include "engine/catalogue.h"
#include "engine/design.h"
#include "engine/numbers.h"
#include "quintaral/version.h"

namespace project {

namespace {

QString fromEngine(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

struct UnitKey {
    const char* key;
    const char* unit;
};
constexpr UnitKey units[] = {{"length", "cm"}, {"stress", "kg/cm2"}, {"moment", "Tn-m"}};

constexpr Input allInputs[] = {Input::Width, Input::Height, Input::Cover,           Input::Fc,
                               Input::Fy,    Input::Moment, Input::CompressionCover};

QString fileNameOf(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    return name.isEmpty() ? path : name;
}

QString openMessage(const QString& path, const QString& reason) {
    return QStringLiteral("No se puede abrir el archivo \"%1\": %2.").arg(fileNameOf(path), reason);
}

QString saveMessage(const QString& path, const QString& reason) {
    return QStringLiteral("No se puede guardar el archivo \"%1\": %2.")
        .arg(fileNameOf(path), reason);
}

QString invalidKey(const QString& key) {
    return QStringLiteral("el dato \"%1\" no es válido").arg(key);
}

// "Mu (momento último, clave "mu")": the input as the window names it, and its key for
// whoever reads the file itself.
QString describedInput(Input input) {
    const engine::InputInfo& name = engine::inputs[int(input)];
    return QStringLiteral("%1 (%2, clave \"%3\")")
        .arg(fromEngine(name.symbol), fromEngine(name.description), fromEngine(name.key));
}

// An integral JSON number that fits an int.
std::optional<int> integerOf(const QJsonValue& value) {
    if (!value.isDouble()) return std::nullopt;
    const double number = value.toDouble();
    if (number != std::floor(number) || number < std::numeric_limits<int>::min() ||
        number > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(number);
}

std::optional<double> nonNegativeOf(const QJsonValue& value) {
    if (!value.isDouble()) return std::nullopt;
    const double number = value.toDouble();
    if (!std::isfinite(number) || number < 0) return std::nullopt;
    return number;
}

// Each reader returns the reason a part is refused, or an empty string.

QString readHeader(const QJsonObject& root, ProjectFile& project) {
    if (root.value(QLatin1String("format")) != QJsonValue(QLatin1String(formatName)))
        return QStringLiteral("no es un proyecto de Quintaral");

    const std::optional<int> version = integerOf(root.value(QLatin1String("schemaVersion")));
    if (!version || *version < 1) return QStringLiteral("no indica una versión de formato válida");
    if (*version > schemaVersion)
        return QStringLiteral(
                   "fue guardado por una versión más reciente de Quintaral (formato %1); esta "
                   "versión abre hasta el formato %2")
            .arg(*version)
            .arg(schemaVersion);

    const QJsonValue written = root.value(QLatin1String("programVersion"));
    if (!written.isUndefined() && !written.isString()) return invalidKey("programVersion");
    project.programVersion = written.toString();

    // Files without a code are NSR-98 designs: the only code there was before codes were named.
    const QJsonValue code = root.value(QLatin1String("designCode"));
    if (code.isUndefined()) {
        project.code = engine::DesignCode::Nsr98;
    } else {
        const auto known = engine::codeFromName(code.toString().toStdString());
        if (!known)
            return QStringLiteral("la norma de diseño \"%1\" no es NSR-98 ni NSR-10")
                .arg(code.isString() ? code.toString() : QStringLiteral("?"));
        project.code = *known;
    }

    const QJsonValue unitsValue = root.value(QLatin1String("units"));
    if (unitsValue.isUndefined()) return {};
    if (!unitsValue.isObject()) return invalidKey("units");
    const QJsonObject unitsObject = unitsValue.toObject();
    for (const UnitKey& unit : units) {
        const QJsonValue found = unitsObject.value(QLatin1String(unit.key));
        if (!found.isUndefined() && found != QJsonValue(QLatin1String(unit.unit)))
            return QStringLiteral(
                       "usa unidades que este programa no maneja (%1: \"%2\"; se "
                       "esperaba \"%3\")")
                .arg(QLatin1String(unit.key),
                     found.isString() ? found.toString() : QStringLiteral("?"),
                     QLatin1String(unit.unit));
    }
    return {};
}

QString readInputs(const QJsonObject& root, ProjectFile& project) {
    const QJsonValue inputsValue = root.value(QLatin1String("inputs"));
    if (!inputsValue.isObject()) return QStringLiteral("no contiene los datos de la viga");
    const QJsonObject inputs = inputsValue.toObject();
    for (const Input input : allInputs) {
        const QJsonValue value = inputs.value(inputKey(input));
        if (value.isUndefined())
            return QStringLiteral("falta el dato %1").arg(describedInput(input));
        // The JSON reader takes no infinities or NaN; the check keeps that a property of
        // this file rather than of the reader.
        if (!value.isDouble() || !std::isfinite(value.toDouble()))
            return QStringLiteral("el dato %1 no es un número").arg(describedInput(input));
        project.inputs[input] = value.toDouble();
    }
    return {};
}

// The settings of a layout object, when there is one; `prefix` names it and its keys in
// messages ("layout").
QString readLayoutObject(const QJsonValue& value, const QString& prefix,
                         engine::LayoutSettings& layout) {
    if (value.isUndefined()) return {};
    if (!value.isObject()) return invalidKey(prefix);
    const QJsonObject object = value.toObject();
    const QJsonValue stirrup = object.value(QLatin1String("stirrup"));
    if (!stirrup.isUndefined()) {
        const std::optional<int> designation = integerOf(stirrup);
        if (!designation || !engine::findBar(*designation))
            return invalidKey(prefix + QStringLiteral(".stirrup"));
        layout.stirrupDesignation = *designation;
    }
    for (const auto& [key, field] :
         {std::pair{"clearCover", &engine::LayoutSettings::clearCover},
          std::pair{"aggregate", &engine::LayoutSettings::maxAggregate}}) {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isUndefined()) continue;
        const std::optional<double> number = nonNegativeOf(value);
        if (!number) return invalidKey(prefix + QLatin1Char('.') + QLatin1String(key));
        layout.*field = *number;
    }
    const QJsonValue layers = object.value(QLatin1String("maxLayers"));
    if (!layers.isUndefined()) {
        const std::optional<int> count = integerOf(layers);
        if (count != 1 && count != 2) return invalidKey(prefix + QStringLiteral(".maxLayers"));
        layout.maxTensionLayers = *count;
    }
    return {};
}

QString readLayout(const QJsonObject& root, ProjectFile& project) {
    const QJsonValue layoutValue = root.value(QLatin1String("layout"));
    if (layoutValue.isUndefined()) return {};
    engine::LayoutSettings layout;
    const QString reason = readLayoutObject(layoutValue, QStringLiteral("layout"), layout);
    if (reason.isEmpty()) project.layout = layout;
    return reason;
}

// A saved layer's text as bars; none when it does not read as catalogue bars.
std::optional<engine::Layer> layerOf(const QJsonValue& value) {
    if (!value.isString()) return std::nullopt;
    const engine::ParsedLayer parsed = engine::parseLayer(value.toString().toStdString());
    if (!parsed.ok()) return std::nullopt;
    return parsed.layer;
}

// A blank compression text is no compression steel.
bool blankText(const QJsonValue& value) {
    return value.isUndefined() || (value.isString() && value.toString().trimmed().isEmpty());
}

// The tension layers of a saved array; a blank text is a layer left empty, as the window
// leaves it. None when a text does not read as catalogue bars or no layer holds bars.
std::optional<std::vector<engine::Layer>> tensionLayersOf(const QJsonValue& value) {
    if (!value.isArray() || value.toArray().isEmpty() || value.toArray().size() > 2)
        return std::nullopt;
    std::vector<engine::Layer> layers;
    for (const QJsonValue& text : value.toArray()) {
        if (blankText(text)) continue;
        const std::optional<engine::Layer> layer = layerOf(text);
        if (!layer) return std::nullopt;
        layers.push_back(*layer);
    }
    if (layers.empty()) return std::nullopt;
    return layers;
}

QString readArrangement(const QJsonObject& root, ProjectFile& project) {
    const QJsonValue arrangementValue = root.value(QLatin1String("arrangement"));
    if (arrangementValue.isUndefined()) return {};
    if (!arrangementValue.isObject()) return invalidKey("arrangement");
    const QJsonObject object = arrangementValue.toObject();
    ChosenBars bars;
    const auto tension = tensionLayersOf(object.value(QLatin1String("tension")));
    if (!tension) return invalidKey("arrangement.tension");
    bars.tension.layers = *tension;
    const QJsonValue compression = object.value(QLatin1String("compression"));
    if (!blankText(compression)) {
        const std::optional<engine::Layer> layer = layerOf(compression);
        if (!layer) return invalidKey("arrangement.compression");
        bars.compression.layers.push_back(*layer);
    }
    project.arrangement = bars;
    return {};
}

namespace eb = engine::beam;

// The beam's section and materials: key in the file, field of the input. The keys are those of
// the section's inputs.
struct BeamSectionKey {
    const char* key;
    double eb::BeamInput::*field;
};
constexpr BeamSectionKey beamSectionKeys[] = {
    {"b", &eb::BeamInput::b},          {"h", &eb::BeamInput::h},
    {"cover", &eb::BeamInput::dPrime}, {"cover2", &eb::BeamInput::dSecond},
    {"fc", &eb::BeamInput::fc},        {"fy", &eb::BeamInput::fy},
};

// The moments typed for a span: key in the file, field.
struct SpanMomentKey {
    const char* key;
    double eb::SpanMoments::*field;
};
constexpr SpanMomentKey spanMomentKeys[] = {{"muLeft", &eb::SpanMoments::left},
                                            {"muMid", &eb::SpanMoments::mid},
                                            {"muRight", &eb::SpanMoments::right}};

// More spans than any beam is drawn or designed with; a file with more is refused before the
// design tries it.
constexpr auto maximumSpans = static_cast<qsizetype>(eb::bounds::maxSpans);

// A value the file has but no beam may have: the key and the value, and the range it must lie in.
QString outOfBounds(const QString& key, double value, const eb::Bound& bound) {
    return QStringLiteral("el dato \"beam.%1\" = %2 está fuera de lo admitido (%3)")
        .arg(key, fromEngine((eb::Phrase() << eb::Figure{value, eb::Figure::shortest}).text('.')),
             fromEngine(eb::rangeText(bound, '.')));
}

std::optional<double> positiveOf(const QJsonValue& value) {
    const std::optional<double> number = nonNegativeOf(value);
    if (!number || *number == 0) return std::nullopt;
    return number;
}

std::optional<double> finiteOf(const QJsonValue& value) {
    if (!value.isDouble() || !std::isfinite(value.toDouble())) return std::nullopt;
    return value.toDouble();
}

QString beamKey(const QString& key) {
    return invalidKey(QStringLiteral("beam.") + key);
}

QString readBeamSpans(const QJsonObject& object, eb::BeamInput& beam) {
    const QJsonValue spansValue = object.value(QLatin1String("spans"));
    if (!spansValue.isArray() || spansValue.toArray().isEmpty() ||
        spansValue.toArray().size() > maximumSpans)
        return beamKey(QStringLiteral("spans"));
    const QJsonArray spans = spansValue.toArray();
    for (qsizetype i = 0; i < spans.size(); ++i) {
        const QString name = QStringLiteral("spans[%1]").arg(i);
        if (!spans[i].isObject()) return beamKey(name);
        const QJsonObject spanObject = spans[i].toObject();
        eb::Span span;
        const std::optional<double> length = positiveOf(spanObject.value(QLatin1String("length")));
        if (!length) return beamKey(name + QStringLiteral(".length"));
        if (!eb::bounds::spanLength.holds(*length))
            return outOfBounds(name + QStringLiteral(".length"), *length, eb::bounds::spanLength);
        span.length = *length;
        for (const SpanMomentKey& moment : spanMomentKeys) {
            const std::optional<double> value =
                nonNegativeOf(spanObject.value(QLatin1String(moment.key)));
            const QString key = name + QLatin1Char('.') + QLatin1String(moment.key);
            if (!value) return beamKey(key);
            if (!eb::bounds::moment.holds(*value))
                return outOfBounds(key, *value, eb::bounds::moment);
            span.moments.*moment.field = *value;
        }
        const QJsonValue midMin = spanObject.value(QLatin1String("muMidMin"));
        if (!midMin.isUndefined()) {
            // The smallest positive moment at midspan is never above the largest; negative, the
            // span hogs over its whole length.
            const std::optional<double> value = finiteOf(midMin);
            if (!value || *value > span.moments.mid)
                return beamKey(name + QStringLiteral(".muMidMin"));
            if (!eb::bounds::moment.holds(*value))
                return outOfBounds(name + QStringLiteral(".muMidMin"), *value, eb::bounds::moment);
            span.moments.midMin = *value;
        }
        // Mu+ at the faces, magnitudes, when the file has them.
        for (const auto& [key, field] : {std::pair{"muPosLeft", &eb::SpanMoments::posLeft},
                                         std::pair{"muPosRight", &eb::SpanMoments::posRight}}) {
            const QJsonValue given = spanObject.value(QLatin1String(key));
            if (given.isUndefined()) continue;
            const std::optional<double> value = nonNegativeOf(given);
            const QString keyName = name + QLatin1Char('.') + QLatin1String(key);
            if (!value) return beamKey(keyName);
            if (!eb::bounds::moment.holds(*value))
                return outOfBounds(keyName, *value, eb::bounds::moment);
            span.moments.*field = *value;
        }
        beam.spans.push_back(span);
    }

    const QJsonValue supportsValue = object.value(QLatin1String("supports"));
    if (!supportsValue.isArray() || supportsValue.toArray().size() != spans.size() + 1)
        return beamKey(QStringLiteral("supports"));
    for (const QJsonValue& support : supportsValue.toArray()) {
        const std::optional<double> width = positiveOf(support);
        if (!width) return beamKey(QStringLiteral("supports"));
        if (!eb::bounds::supportWidth.holds(*width))
            return outOfBounds(QStringLiteral("supports[%1]").arg(beam.supports.size()), *width,
                               eb::bounds::supportWidth);
        beam.supports.push_back(*width);
    }
    // The columns' widths across the beam, one per support (0: as wide as the support); files
    // without them have square columns.
    const QJsonValue columnsValue = object.value(QLatin1String("columns"));
    if (!columnsValue.isUndefined()) {
        if (!columnsValue.isArray() || columnsValue.toArray().size() != spans.size() + 1)
            return beamKey(QStringLiteral("columns"));
        for (const QJsonValue& column : columnsValue.toArray()) {
            const std::optional<double> width = nonNegativeOf(column);
            if (!width) return beamKey(QStringLiteral("columns"));
            if (*width != 0 && !eb::bounds::columnWidth.holds(*width))
                return outOfBounds(QStringLiteral("columns[%1]").arg(beam.columns.size()), *width,
                                   eb::bounds::columnWidth);
            beam.columns.push_back(*width);
        }
    }

    const QJsonValue stationsValue = object.value(QLatin1String("stations"));
    if (!stationsValue.isUndefined()) {
        if (!stationsValue.isArray()) return beamKey(QStringLiteral("stations"));
        const QJsonArray stations = stationsValue.toArray();
        for (qsizetype i = 0; i < stations.size(); ++i) {
            const QString name = QStringLiteral("stations[%1]").arg(i);
            const QJsonObject row = stations[i].toObject();
            const std::optional<int> span = integerOf(row.value(QLatin1String("span")));
            const std::optional<double> x = finiteOf(row.value(QLatin1String("x")));
            const std::optional<double> mu = finiteOf(row.value(QLatin1String("mu")));
            if (!stations[i].isObject() || !span || *span < 1 || *span > spans.size() || !x || !mu)
                return beamKey(name);
            if (!eb::bounds::moment.holds(*mu))
                return outOfBounds(name + QStringLiteral(".mu"), *mu, eb::bounds::moment);
            beam.stations.push_back({*span, *x, *mu});
        }
    }
    const QJsonValue centreline = object.value(QLatin1String("stationsFromCentreline"));
    if (!centreline.isUndefined()) {
        if (!centreline.isBool()) return beamKey(QStringLiteral("stationsFromCentreline"));
        beam.stationsFromCentreline = centreline.toBool();
    }
    // Each station lies in its span: between the faces, or between the supports' centrelines
    // when x is measured from the left one (as the stations files are read).
    for (std::size_t k = 0; k < beam.stations.size(); ++k) {
        const eb::Station& station = beam.stations[k];
        const auto i = static_cast<std::size_t>(station.span - 1);
        const double to = beam.stationsFromCentreline
                              ? beam.supports[i] / 200 + beam.spans[i].length +
                                    beam.supports[i + 1] / 200
                              : beam.spans[i].length;
        constexpr double slack = 1e-9;  // for faces and centrelines computed from the widths
        if (!(station.x >= -slack && station.x <= to + slack))
            return beamKey(QStringLiteral("stations[%1].x").arg(k));
    }
    return {};
}

QString readBeam(const QJsonObject& root, ProjectFile& project) {
    const QJsonValue beamValue = root.value(QLatin1String("beam"));
    if (beamValue.isUndefined()) return {};
    if (!beamValue.isObject()) return invalidKey("beam");
    const QJsonObject object = beamValue.toObject();
    eb::BeamInput beam;
    // Files from before beams had names hold the default one.
    const QJsonValue name = object.value(QLatin1String("name"));
    if (!name.isUndefined()) {
        if (!name.isString() || !eb::validBeamName(name.toString().toStdString()))
            return beamKey(QStringLiteral("name"));
        beam.name = name.toString().toStdString();
    }

    // A beam without a code of its own is designed under the project's.
    const QJsonValue code = object.value(QLatin1String("designCode"));
    beam.code = project.code;
    if (!code.isUndefined()) {
        const auto known = engine::codeFromName(code.toString().toStdString());
        if (!code.isString() || !known) return beamKey(QStringLiteral("designCode"));
        beam.code = *known;
    }
    const QJsonValue seismicClass = object.value(QLatin1String("class"));
    const auto knownClass = eb::classFromName(seismicClass.toString().toStdString());
    if (!seismicClass.isString() || !knownClass) return beamKey(QStringLiteral("class"));
    beam.seismicClass = *knownClass;

    const QJsonValue sectionValue = object.value(QLatin1String("section"));
    if (!sectionValue.isObject()) return beamKey(QStringLiteral("section"));
    const QJsonObject section = sectionValue.toObject();
    for (const BeamSectionKey& key : beamSectionKeys) {
        const std::optional<double> value = positiveOf(section.value(QLatin1String(key.key)));
        if (!value) return beamKey(QStringLiteral("section.") + QLatin1String(key.key));
        beam.*key.field = *value;
    }

    if (const QString reason = readLayoutObject(object.value(QLatin1String("layout")),
                                                QStringLiteral("beam.layout"), beam.settings);
        !reason.isEmpty())
        return reason;
    const QJsonValue bars = object.value(QLatin1String("bars"));
    if (!bars.isUndefined()) {
        const std::optional<int> smallest =
            integerOf(bars.toObject().value(QLatin1String("smallest")));
        const std::optional<int> largest =
            integerOf(bars.toObject().value(QLatin1String("largest")));
        if (!bars.isObject() || !smallest || !largest || !engine::findBar(*smallest) ||
            !engine::findBar(*largest) || *smallest > *largest)
            return beamKey(QStringLiteral("bars"));
        beam.smallestBar = *smallest;
        beam.largestBar = *largest;
    }
    const QJsonValue stock = object.value(QLatin1String("stock"));
    if (!stock.isUndefined()) {
        const std::optional<double> length = positiveOf(stock);
        if (!length) return beamKey(QStringLiteral("stock"));
        if (!eb::bounds::stockLength.holds(*length))
            return outOfBounds(QStringLiteral("stock"), *length, eb::bounds::stockLength);
        beam.stockLength = *length;
    }
    const QString reason = readBeamSpans(object, beam);
    if (!reason.isEmpty()) return reason;
    project.beam = std::move(beam);
    return {};
}

// Writes each element of `values` over the object at the same place of `saved`, so that keys
// this version does not know survive in the spans and stations too.
QJsonArray mergedArray(const QJsonValue& saved, const std::vector<QJsonObject>& values) {
    const QJsonArray before = saved.toArray();
    QJsonArray array;
    for (std::size_t i = 0; i < values.size(); ++i) {
        QJsonObject object =
            qsizetype(i) < before.size() ? before[qsizetype(i)].toObject() : QJsonObject();
        for (auto it = values[i].begin(); it != values[i].end(); ++it)
            object.insert(it.key(), it.value());
        array.append(object);
    }
    return array;
}

QJsonObject layoutObject(QJsonObject layout, const engine::LayoutSettings& settings) {
    layout.insert(QLatin1String("stirrup"), settings.stirrupDesignation);
    layout.insert(QLatin1String("clearCover"), settings.clearCover);
    layout.insert(QLatin1String("aggregate"), settings.maxAggregate);
    layout.insert(QLatin1String("maxLayers"), settings.maxTensionLayers);
    return layout;
}

QJsonObject beamObject(QJsonObject object, const eb::BeamInput& beam) {
    // A beam with the default name keeps files that never had one as they were.
    if (beam.name != eb::defaultBeamName || object.contains(QLatin1String("name")))
        object.insert(QLatin1String("name"), QString::fromStdString(beam.name));
    object.insert(QLatin1String("designCode"), fromEngine(engine::codeName(beam.code)));
    object.insert(QLatin1String("class"), fromEngine(eb::className(beam.seismicClass)));
    QJsonObject section = object.value(QLatin1String("section")).toObject();
    for (const BeamSectionKey& key : beamSectionKeys)
        section.insert(QLatin1String(key.key), beam.*key.field);
    object.insert(QLatin1String("section"), section);
    object.insert(QLatin1String("layout"),
                  layoutObject(object.value(QLatin1String("layout")).toObject(), beam.settings));
    QJsonObject bars = object.value(QLatin1String("bars")).toObject();
    bars.insert(QLatin1String("smallest"), beam.smallestBar);
    bars.insert(QLatin1String("largest"), beam.largestBar);
    object.insert(QLatin1String("bars"), bars);
    object.insert(QLatin1String("stock"), beam.stockLength);

    QJsonArray supports;
    for (const double width : beam.supports) supports.append(width);
    object.insert(QLatin1String("supports"), supports);
    if (beam.columns.empty()) {
        object.remove(QLatin1String("columns"));
    } else {
        QJsonArray columns;
        for (const double width : beam.columns) columns.append(width);
        object.insert(QLatin1String("columns"), columns);
    }
    std::vector<QJsonObject> spans;
    for (const eb::Span& span : beam.spans) {
        QJsonObject spanObject{{QLatin1String("length"), span.length}};
        for (const SpanMomentKey& moment : spanMomentKeys)
            spanObject.insert(QLatin1String(moment.key), span.moments.*moment.field);
        if (span.moments.midMin) spanObject.insert(QLatin1String("muMidMin"), *span.moments.midMin);
        if (span.moments.posLeft)
            spanObject.insert(QLatin1String("muPosLeft"), *span.moments.posLeft);
        if (span.moments.posRight)
            spanObject.insert(QLatin1String("muPosRight"), *span.moments.posRight);
        spans.push_back(spanObject);
    }
    QJsonArray spanArray = mergedArray(object.value(QLatin1String("spans")), spans);
    // A moment no longer typed (minimum, or positive at a face) goes, with whatever else the
    // span kept.
    for (qsizetype i = 0; i < spanArray.size(); ++i) {
        const eb::SpanMoments& moments = beam.spans[std::size_t(i)].moments;
        QJsonObject spanObject = spanArray[i].toObject();
        if (!moments.midMin) spanObject.remove(QLatin1String("muMidMin"));
        if (!moments.posLeft) spanObject.remove(QLatin1String("muPosLeft"));
        if (!moments.posRight) spanObject.remove(QLatin1String("muPosRight"));
        spanArray[i] = spanObject;
    }
    object.insert(QLatin1String("spans"), spanArray);

    if (beam.stations.empty()) {
        object.remove(QLatin1String("stations"));
    } else {
        std::vector<QJsonObject> stations;
        for (const eb::Station& station : beam.stations)
            stations.push_back({{QLatin1String("span"), station.span},
                                {QLatin1String("x"), station.x},
                                {QLatin1String("mu"), station.mu}});
        object.insert(QLatin1String("stations"),
                      mergedArray(object.value(QLatin1String("stations")), stations));
    }
    // Written when it says something, or when the file already had it.
    if (beam.stationsFromCentreline || object.contains(QLatin1String("stationsFromCentreline")))
        object.insert(QLatin1String("stationsFromCentreline"), beam.stationsFromCentreline);
    return object;
}

// Whether every group names a catalogue bar at least once, so that the bars have a text.
bool writable(const engine::Arrangement& arrangement) {
    for (const engine::Layer& layer : arrangement.layers) {
        if (layer.empty()) return false;
        for (const engine::BarGroup& group : layer)
            if (group.count < 1 || !group.bar) return false;
    }
    return true;
}

// The texts the bars are saved as: those the file had when they read as the same bars.
QJsonValue tensionTexts(const QJsonValue& saved, const std::vector<engine::Layer>& layers) {
    if (tensionLayersOf(saved) == layers) return saved;
    QJsonArray texts;
    for (const engine::Layer& layer : layers)
        texts.append(QString::fromStdString(engine::formatLayer(layer)));
    return texts;
}

QJsonValue compressionText(const QJsonValue& saved, const engine::Layer& layer) {
    if (layerOf(saved) == layer) return saved;
    return QString::fromStdString(engine::formatLayer(layer));
}

// The reason the bytes are not a project this version opens, or an empty string.
QString parseReason(const QByteArray& bytes, ProjectFile& project) {
    if (bytes.trimmed().isEmpty()) return QStringLiteral("está vacío");
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError)
        return QStringLiteral(
                   "su contenido no es JSON válido (error en el byte %1); puede estar dañado o "
                   "incompleto")
            .arg(error.offset);
    if (!document.isObject()) return QStringLiteral("no es un proyecto de Quintaral");
    const QJsonObject root = document.object();
    project.source = root;
    for (const auto reader : {readHeader, readInputs, readLayout, readArrangement, readBeam}) {
        const QString reason = reader(root, project);
        if (!reason.isEmpty()) return reason;
    }
    return {};
}

}  // namespace

QString inputKey(Input input) {
    return fromEngine(engine::inputs[int(input)].key);
}

QString inputLabel(Input input) {
    const engine::InputInfo& name = engine::inputs[int(input)];
    return QStringLiteral("%1 (%2)").arg(fromEngine(name.symbol), fromEngine(name.description));
}

QString programVersion() {
    return QStringLiteral(QUINTARAL_VERSION);
}

ReadResult parseProject(const QByteArray& bytes, const QString& path) {
    ProjectFile project;
    const QString reason = parseReason(bytes, project);
    if (!reason.isEmpty()) return {std::nullopt, openMessage(path, reason)};
    return {std::move(project), {}};
}

ReadResult readProject(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        return {std::nullopt, openMessage(path, QStringLiteral("el archivo no existe"))};
    if (info.isDir())
        return {std::nullopt, openMessage(path, QStringLiteral("es una carpeta, no un archivo"))};
    if (!info.isFile())
        return {std::nullopt, openMessage(path, QStringLiteral("no es un archivo común"))};
    const QString tooLarge =
        QStringLiteral("mide más de 1 MiB, demasiado para un proyecto de Quintaral");
    if (info.size() > maximumFileSize) return {std::nullopt, openMessage(path, tooLarge)};

    QFile file(path);
    const QString unreadable =
        QStringLiteral("no se puede leer (sin permiso de lectura o error del disco)");
    if (!file.open(QIODevice::ReadOnly)) return {std::nullopt, openMessage(path, unreadable)};
    // The file may have grown since its size was looked at: read no more than the limit allows.
    const QByteArray bytes = file.read(maximumFileSize + 1);
    if (file.error() != QFileDevice::NoError) return {std::nullopt, openMessage(path, unreadable)};
    if (bytes.size() > maximumFileSize) return {std::nullopt, openMessage(path, tooLarge)};
    return parseProject(bytes, path);
}

QByteArray serializeProject(const ProjectFile& project) {
    QJsonObject root = project.source;
    root.insert(QLatin1String("format"), QLatin1String(formatName));
    // A beam needs the format that holds one; a project without keeps its file's version.
    const int savedVersion = integerOf(root.value(QLatin1String("schemaVersion"))).value_or(1);
    root.insert(QLatin1String("schemaVersion"), project.beam
                                                    ? std::max(savedVersion, beamSchemaVersion)
                                                    : std::clamp(savedVersion, 1, schemaVersion));
    root.insert(QLatin1String("programVersion"), programVersion());
    root.insert(QLatin1String("designCode"), fromEngine(engine::codeName(project.code)));

    QJsonObject unitsObject = root.value(QLatin1String("units")).toObject();
    for (const UnitKey& unit : units)
        unitsObject.insert(QLatin1String(unit.key), QLatin1String(unit.unit));
    root.insert(QLatin1String("units"), unitsObject);

    QJsonObject inputs = root.value(QLatin1String("inputs")).toObject();
    for (const Input input : allInputs) inputs.insert(inputKey(input), project.inputs[input]);
    root.insert(QLatin1String("inputs"), inputs);

    if (project.layout) {
        root.insert(QLatin1String("layout"),
                    layoutObject(root.value(QLatin1String("layout")).toObject(), *project.layout));
    } else {
        root.remove(QLatin1String("layout"));
    }

    if (project.arrangement) {
        QJsonObject arrangement = root.value(QLatin1String("arrangement")).toObject();
        arrangement.insert(QLatin1String("tension"),
                           tensionTexts(arrangement.value(QLatin1String("tension")),
                                        project.arrangement->tension.layers));
        const QJsonValue savedCompression = arrangement.value(QLatin1String("compression"));
        const std::vector<engine::Layer>& compression = project.arrangement->compression.layers;
        if (!compression.empty())
            arrangement.insert(QLatin1String("compression"),
                               compressionText(savedCompression, compression.front()));
        else if (!blankText(savedCompression))
            arrangement.remove(QLatin1String("compression"));
        root.insert(QLatin1String("arrangement"), arrangement);
    } else {
        root.remove(QLatin1String("arrangement"));
    }

    if (project.beam)
        root.insert(QLatin1String("beam"),
                    beamObject(root.value(QLatin1String("beam")).toObject(), *project.beam));
    else
        root.remove(QLatin1String("beam"));
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

QString writeProject(const QString& path, const ProjectFile& project,
                     const std::function<void()>& beforeCommit) {
    if (project.arrangement && (!writable(project.arrangement->tension) ||
                                !writable(project.arrangement->compression)))
        return saveMessage(path, invalidKey("arrangement"));
    const QByteArray bytes = serializeProject(project);
    // Only what opens again is written: a file this program refuses helps nobody.
    ProjectFile check;
    const QString reason = parseReason(bytes, check);
    if (!reason.isEmpty()) return saveMessage(path, reason);

    const QFileInfo info(path);
    if (info.isDir())
        return saveMessage(path, QStringLiteral("ya existe una carpeta con ese nombre"));
    if (!info.dir().exists())
        return saveMessage(path, QStringLiteral("la carpeta \"%1\" no existe")
                                     .arg(QDir::toNativeSeparators(info.absolutePath())));
    const bool replacing = info.exists();

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return saveMessage(path, QStringLiteral("no se puede crear el archivo en la carpeta \"%1\" "
                                                "(sin permiso de escritura)")
                                     .arg(QDir::toNativeSeparators(info.absolutePath())));
    const QString unfinished =
        replacing ? QStringLiteral(
                        "no se pudo terminar de escribirlo (¿disco lleno?); el archivo "
                        "anterior queda como estaba")
                  : QStringLiteral("no se pudo terminar de escribirlo (¿disco lleno?)");
    // Qt 6.4's commit() reports success after a flush that failed part way (a full disk), so
    // the flush is checked here, before the new file can replace the old one.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.cancelWriting();
        return saveMessage(path, unfinished);
    }
    if (beforeCommit) beforeCommit();
    if (!file.commit()) return saveMessage(path, unfinished);
    return {};
}

QString inputOutOfFieldRange(const QString& path, const DesignInputs& inputs) {
    for (const Input input : allInputs) {
        const double magnitude = std::fabs(inputs[input]);
        if (magnitude <= largestFieldValue && (magnitude == 0 || magnitude >= smallestFieldValue))
            continue;
        return openMessage(path, QStringLiteral("el dato %1 no es válido: ha de ser cero o "
                                                "estar entre 0.000001 y 1000000, con su signo")
                                     .arg(describedInput(input)));
    }
    return {};
}

QString notANumberMessage(const QString& path, Input input) {
    return saveMessage(path, QStringLiteral("el dato %1 no es un número").arg(inputLabel(input)));
}

}  // namespace project
