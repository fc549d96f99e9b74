#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <optional>
#include <string_view>
#include <vector>

#include "engine/layout.h"

// What the readers and writers of a project file's parts share: values read from JSON with
// their checks, the message naming a key that is refused, the layout object, and arrays written
// over the saved ones so that keys this version does not know survive.
namespace project::json {

QString fromEngine(std::string_view text);

// "el dato "layout.stirrup" no es válido".
QString invalidKey(const QString& key);

// An integral JSON number that fits an int.
std::optional<int> integerOf(const QJsonValue& value);
// A finite JSON number: not negative; greater than zero; any.
std::optional<double> nonNegativeOf(const QJsonValue& value);
std::optional<double> positiveOf(const QJsonValue& value);
std::optional<double> finiteOf(const QJsonValue& value);

// The settings of a layout object, when there is one; `prefix` names it and its keys in
// messages ("layout"). The reason it is refused, or an empty string.
QString readLayoutObject(const QJsonValue& value, const QString& prefix,
                         engine::LayoutSettings& layout);
// The layout object as saved, its other keys kept.
QJsonObject layoutObject(QJsonObject layout, const engine::LayoutSettings& settings);

// Writes each element of `values` over the object at the same place of `saved`, so that keys
// this version does not know survive in the spans and stations too.
QJsonArray mergedArray(const QJsonValue& saved, const std::vector<QJsonObject>& values);

}  // namespace project::json
