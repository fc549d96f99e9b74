#include "projectfile.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QSaveFile>
#include <cmath>
#include <limits>

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

QString readHeader(const QJsonObject& root, Project& project) {
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

QString readInputs(const QJsonObject& root, Project& project) {
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

QString readLayout(const QJsonObject& root, Project& project) {
    const QJsonValue layoutValue = root.value(QLatin1String("layout"));
    if (layoutValue.isUndefined()) return {};
    if (!layoutValue.isObject()) return invalidKey("layout");
    const QJsonObject object = layoutValue.toObject();
    LayoutInputs layout;

    const QJsonValue stirrup = object.value(QLatin1String("stirrup"));
    if (!stirrup.isUndefined()) {
        const std::optional<int> designation = integerOf(stirrup);
        if (!designation || !engine::findBar(*designation)) return invalidKey("layout.stirrup");
        layout.stirrup = *designation;
    }
    for (const auto& [key, field] : {std::pair{"clearCover", &LayoutInputs::clearCover},
                                     std::pair{"aggregate", &LayoutInputs::aggregate}}) {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isUndefined()) continue;
        const std::optional<double> number = nonNegativeOf(value);
        if (!number) return invalidKey(QStringLiteral("layout.") + QLatin1String(key));
        layout.*field = *number;
    }
    const QJsonValue layers = object.value(QLatin1String("maxLayers"));
    if (!layers.isUndefined()) {
        const std::optional<int> count = integerOf(layers);
        if (count != 1 && count != 2) return invalidKey("layout.maxLayers");
        layout.maximumLayers = *count;
    }
    project.layout = layout;
    return {};
}

QString readArrangement(const QJsonObject& root, Project& project) {
    const QJsonValue arrangementValue = root.value(QLatin1String("arrangement"));
    if (arrangementValue.isUndefined()) return {};
    if (!arrangementValue.isObject()) return invalidKey("arrangement");
    const QJsonObject object = arrangementValue.toObject();
    Arrangement arrangement;

    const QJsonValue tension = object.value(QLatin1String("tension"));
    if (!tension.isArray() || tension.toArray().isEmpty() || tension.toArray().size() > 2)
        return invalidKey("arrangement.tension");
    for (const QJsonValue& layer : tension.toArray()) {
        if (!layer.isString()) return invalidKey("arrangement.tension");
        arrangement.tensionLayers.append(layer.toString());
    }
    const QJsonValue compression = object.value(QLatin1String("compression"));
    if (!compression.isUndefined() && !compression.isString())
        return invalidKey("arrangement.compression");
    arrangement.compression = compression.toString();
    project.arrangement = arrangement;
    return {};
}

// The reason the bytes are not a project this version opens, or an empty string.
QString parseReason(const QByteArray& bytes, Project& project) {
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
    for (const auto reader : {readHeader, readInputs, readLayout, readArrangement}) {
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

engine::LayoutSettings savedLayoutSettings(const std::optional<LayoutInputs>& layout) {
    const LayoutInputs inputs = layout.value_or(LayoutInputs{});
    return {.stirrupDesignation = inputs.stirrup,
            .clearCover = inputs.clearCover,
            .maxAggregate = inputs.aggregate,
            .maxTensionLayers = inputs.maximumLayers};
}

LayoutInputs layoutInputsOf(const engine::LayoutSettings& settings) {
    return {settings.stirrupDesignation, settings.clearCover, settings.maxAggregate,
            settings.maxTensionLayers};
}

QString programVersion() {
    return QStringLiteral(QUINTARAL_VERSION);
}

ReadResult parseProject(const QByteArray& bytes, const QString& path) {
    Project project;
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

QByteArray serializeProject(const Project& project) {
    QJsonObject root = project.source;
    root.insert(QLatin1String("format"), QLatin1String(formatName));
    root.insert(QLatin1String("schemaVersion"), schemaVersion);
    root.insert(QLatin1String("programVersion"), programVersion());
    const std::string_view code = engine::codeName(project.code);
    root.insert(QLatin1String("designCode"), QLatin1String(code.data(), qsizetype(code.size())));

    QJsonObject unitsObject = root.value(QLatin1String("units")).toObject();
    for (const UnitKey& unit : units)
        unitsObject.insert(QLatin1String(unit.key), QLatin1String(unit.unit));
    root.insert(QLatin1String("units"), unitsObject);

    QJsonObject inputs = root.value(QLatin1String("inputs")).toObject();
    for (const Input input : allInputs) inputs.insert(inputKey(input), project.inputs[input]);
    root.insert(QLatin1String("inputs"), inputs);

    if (project.layout) {
        QJsonObject layout = root.value(QLatin1String("layout")).toObject();
        layout.insert(QLatin1String("stirrup"), project.layout->stirrup);
        layout.insert(QLatin1String("clearCover"), project.layout->clearCover);
        layout.insert(QLatin1String("aggregate"), project.layout->aggregate);
        layout.insert(QLatin1String("maxLayers"), project.layout->maximumLayers);
        root.insert(QLatin1String("layout"), layout);
    } else {
        root.remove(QLatin1String("layout"));
    }

    if (project.arrangement) {
        QJsonObject arrangement = root.value(QLatin1String("arrangement")).toObject();
        arrangement.insert(QLatin1String("tension"),
                           QJsonArray::fromStringList(project.arrangement->tensionLayers));
        if (project.arrangement->compression.isEmpty())
            arrangement.remove(QLatin1String("compression"));
        else
            arrangement.insert(QLatin1String("compression"), project.arrangement->compression);
        root.insert(QLatin1String("arrangement"), arrangement);
    } else {
        root.remove(QLatin1String("arrangement"));
    }
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

QString writeProject(const QString& path, const Project& project,
                     const std::function<void()>& beforeCommit) {
    const QByteArray bytes = serializeProject(project);
    // Only what opens again is written: a file this program refuses helps nobody.
    Project check;
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

TextInputs inputsFromTexts(const std::array<QString, inputCount>& texts, char decimalSeparator) {
    TextInputs result;
    for (const Input input : allInputs) {
        const std::optional<double> value =
            engine::parseNumber(texts[static_cast<int>(input)].toStdString(), decimalSeparator);
        if (!value) {
            result.invalid = input;
            break;
        }
        result.inputs[input] = *value;
    }
    return result;
}

QString inputText(double value, char decimalSeparator) {
    std::string text;
    engine::appendShortestNumber(text, value, decimalSeparator);
    return QString::fromStdString(text);
}

QString notANumberMessage(const QString& path, Input input) {
    return saveMessage(path, QStringLiteral("el dato %1 no es un número").arg(inputLabel(input)));
}

}  // namespace project
