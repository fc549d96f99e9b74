#include "project/beamfile.h"

#include <QJsonArray>
#include <utility>
#include <vector>

#include "engine/beam/bounds.h"
#include "engine/catalogue.h"
#include "engine/code.h"
#include "project/jsonvalues.h"
#include "project/projectfile.h"

namespace project {

using namespace json;

namespace {

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
        // The factored gravity load, when the file has it (files before it had none: the
        // stirrups take the seismic shear alone).
        const QJsonValue load = spanObject.value(QLatin1String("wu"));
        if (!load.isUndefined()) {
            const std::optional<double> value = nonNegativeOf(load);
            if (!value) return beamKey(name + QStringLiteral(".wu"));
            if (!eb::bounds::gravityLoad.holds(*value))
                return outOfBounds(name + QStringLiteral(".wu"), *value, eb::bounds::gravityLoad);
            span.wu = *value;
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
            eb::Station station{*span, *x, *mu};
            // The analysis shear, signed, when the station has one.
            const QJsonValue shear = row.value(QLatin1String("v"));
            if (!shear.isUndefined()) {
                station.v = finiteOf(shear);
                if (!station.v) return beamKey(name + QStringLiteral(".v"));
                if (!eb::bounds::shear.holds(*station.v))
                    return outOfBounds(name + QStringLiteral(".v"), *station.v,
                                       eb::bounds::shear);
            }
            beam.stations.push_back(station);
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

}  // namespace

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
    // Where the beam is (the drawings' title block); either may be left out or empty.
    for (const auto& [key, field] : {std::pair{"axis", &eb::BeamInput::axis},
                                     std::pair{"level", &eb::BeamInput::level}}) {
        const QJsonValue label = object.value(QLatin1String(key));
        if (label.isUndefined()) continue;
        if (!label.isString() || !eb::validBeamLabel(label.toString().toStdString()))
            return beamKey(QLatin1String(key));
        beam.*field = label.toString().toStdString();
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
    // A beam's stirrups are bent from the two bars the designer details hoops for.
    if (beam.settings.stirrupDesignation != 3 && beam.settings.stirrupDesignation != 4)
        return beamKey(QStringLiteral("layout.stirrup")) +
               QStringLiteral(": el estribo de una viga es N° 3 o N° 4");
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

bool beamNeedsShearSchema(const eb::BeamInput& beam) {
    if (!beam.axis.empty() || !beam.level.empty()) return true;
    for (const eb::Span& span : beam.spans)
        if (span.wu) return true;
    for (const eb::Station& station : beam.stations)
        if (station.v) return true;
    return false;
}

QJsonObject beamObject(QJsonObject object, const eb::BeamInput& beam) {
    // A beam with the default name keeps files that never had one as they were.
    if (beam.name != eb::defaultBeamName || object.contains(QLatin1String("name")))
        object.insert(QLatin1String("name"), QString::fromStdString(beam.name));
    for (const auto& [key, label] : {std::pair{"axis", &beam.axis}, std::pair{"level", &beam.level}}) {
        if (label->empty())
            object.remove(QLatin1String(key));
        else
            object.insert(QLatin1String(key), QString::fromStdString(*label));
    }
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
        if (span.wu) spanObject.insert(QLatin1String("wu"), *span.wu);
        spans.push_back(spanObject);
    }
    QJsonArray spanArray = mergedArray(object.value(QLatin1String("spans")), spans);
    // A moment or a load no longer typed (minimum, or positive at a face) goes, with whatever
    // else the span kept.
    for (qsizetype i = 0; i < spanArray.size(); ++i) {
        const eb::SpanMoments& moments = beam.spans[std::size_t(i)].moments;
        QJsonObject spanObject = spanArray[i].toObject();
        if (!moments.midMin) spanObject.remove(QLatin1String("muMidMin"));
        if (!moments.posLeft) spanObject.remove(QLatin1String("muPosLeft"));
        if (!moments.posRight) spanObject.remove(QLatin1String("muPosRight"));
        if (!beam.spans[std::size_t(i)].wu) spanObject.remove(QLatin1String("wu"));
        spanArray[i] = spanObject;
    }
    object.insert(QLatin1String("spans"), spanArray);

    if (beam.stations.empty()) {
        object.remove(QLatin1String("stations"));
    } else {
        std::vector<QJsonObject> stations;
        for (const eb::Station& station : beam.stations) {
            QJsonObject row{{QLatin1String("span"), station.span},
                            {QLatin1String("x"), station.x},
                            {QLatin1String("mu"), station.mu}};
            if (station.v) row.insert(QLatin1String("v"), *station.v);
            stations.push_back(row);
        }
        QJsonArray rows = mergedArray(object.value(QLatin1String("stations")), stations);
        for (qsizetype k = 0; k < rows.size(); ++k) {
            if (beam.stations[std::size_t(k)].v) continue;
            QJsonObject row = rows[k].toObject();
            row.remove(QLatin1String("v"));
            rows[k] = row;
        }
        object.insert(QLatin1String("stations"), rows);
    }
    // Written when it says something, or when the file already had it.
    if (beam.stationsFromCentreline || object.contains(QLatin1String("stationsFromCentreline")))
        object.insert(QLatin1String("stationsFromCentreline"), beam.stationsFromCentreline);
    return object;
}

}  // namespace project
