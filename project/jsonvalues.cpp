#include "project/jsonvalues.h"

#include <cmath>
#include <limits>

#include "engine/catalogue.h"

namespace project::json {

QString fromEngine(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString invalidKey(const QString& key) {
    return QStringLiteral("el dato \"%1\" no es válido").arg(key);
}

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

std::optional<double> positiveOf(const QJsonValue& value) {
    const std::optional<double> number = nonNegativeOf(value);
    if (!number || *number == 0) return std::nullopt;
    return number;
}

std::optional<double> finiteOf(const QJsonValue& value) {
    if (!value.isDouble() || !std::isfinite(value.toDouble())) return std::nullopt;
    return value.toDouble();
}

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

}  // namespace project::json
