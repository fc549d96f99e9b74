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

#include "engine/catalogue.h"
#include "engine/design.h"
#include "engine/numbers.h"
#include "project/beamfile.h"
#include "project/jsonvalues.h"
#include "quintaral/version.h"

namespace project {

using namespace json;

namespace {

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

// "Mu (momento último, clave "mu")": the input as the window names it, and its key for
// whoever reads the file itself.
QString describedInput(Input input) {
    const engine::InputInfo& name = engine::inputs[int(input)];
    return QStringLiteral("%1 (%2, clave \"%3\")")
        .arg(fromEngine(name.symbol), fromEngine(name.description), fromEngine(name.key));
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
    for (const auto reader : {readHeader, readInputs, readLayout, readArrangement, readBeams}) {
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
    const int version =
        std::max(std::clamp(savedVersion, 1, schemaVersion), beamsSchemaVersion(project.beams));
    root.insert(QLatin1String("schemaVersion"), version);
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

    writeBeams(root, project.beams, version);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

QString writeProject(const QString& path, const ProjectFile& project,
                     const std::function<void()>& beforeCommit) {
    if (project.arrangement &&
        (!writable(project.arrangement->tension) || !writable(project.arrangement->compression)))
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
