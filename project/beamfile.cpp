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
// `prefix` names the beam's object in messages: "beam." or "beams[2].".
QString outOfBounds(const QString& prefix, const QString& key, double value,
                    const eb::Bound& bound) {
    return QStringLiteral("el dato \"%1%2\" = %3 está fuera de lo admitido (%4)")
        .arg(prefix, key,
             fromEngine((eb::Phrase() << eb::Figure{value, eb::Figure::shortest}).text('.')),
             fromEngine(eb::rangeText(bound, '.')));
}

QString beamKey(const QString& prefix, const QString& key) {
    return invalidKey(prefix + key);
}

QString readBeamSpans(const QString& prefix, const QJsonObject& object, eb::BeamInput& beam) {
    const QJsonValue spansValue = object.value(QLatin1String("spans"));
    if (!spansValue.isArray() || spansValue.toArray().isEmpty() ||
        spansValue.toArray().size() > maximumSpans)
        return beamKey(prefix, QStringLiteral("spans"));
    const QJsonArray spans = spansValue.toArray();
    for (qsizetype i = 0; i < spans.size(); ++i) {
        const QString name = QStringLiteral("spans[%1]").arg(i);
        if (!spans[i].isObject()) return beamKey(prefix, name);
        const QJsonObject spanObject = spans[i].toObject();
        eb::Span span;
        const std::optional<double> length = positiveOf(spanObject.value(QLatin1String("length")));
        if (!length) return beamKey(prefix, name + QStringLiteral(".length"));
        if (!eb::bounds::spanLength.holds(*length))
            return outOfBounds(prefix, name + QStringLiteral(".length"), *length,
                               eb::bounds::spanLength);
        span.length = *length;
        for (const SpanMomentKey& moment : spanMomentKeys) {
            const std::optional<double> value =
                nonNegativeOf(spanObject.value(QLatin1String(moment.key)));
            const QString key = name + QLatin1Char('.') + QLatin1String(moment.key);
            if (!value) return beamKey(prefix, key);
            if (!eb::bounds::moment.holds(*value))
                return outOfBounds(prefix, key, *value, eb::bounds::moment);
            span.moments.*moment.field = *value;
        }
        const QJsonValue midMin = spanObject.value(QLatin1String("muMidMin"));
        if (!midMin.isUndefined()) {
            // The smallest positive moment at midspan is never above the largest; negative, the
            // span hogs over its whole length.
            const std::optional<double> value = finiteOf(midMin);
            if (!value || *value > span.moments.mid)
                return beamKey(prefix, name + QStringLiteral(".muMidMin"));
            if (!eb::bounds::moment.holds(*value))
                return outOfBounds(prefix, name + QStringLiteral(".muMidMin"), *value,
                                   eb::bounds::moment);
            span.moments.midMin = *value;
        }
        // The factored gravity load, when the file has it (files before it had none: the
        // stirrups take the seismic shear alone).
        const QJsonValue load = spanObject.value(QLatin1String("wu"));
        if (!load.isUndefined()) {
            const std::optional<double> value = nonNegativeOf(load);
            if (!value) return beamKey(prefix, name + QStringLiteral(".wu"));
            if (!eb::bounds::gravityLoad.holds(*value))
                return outOfBounds(prefix, name + QStringLiteral(".wu"), *value,
                                   eb::bounds::gravityLoad);
            span.wu = *value;
        }
        // Mu+ at the faces, magnitudes, when the file has them.
        for (const auto& [key, field] : {std::pair{"muPosLeft", &eb::SpanMoments::posLeft},
                                         std::pair{"muPosRight", &eb::SpanMoments::posRight}}) {
            const QJsonValue given = spanObject.value(QLatin1String(key));
            if (given.isUndefined()) continue;
            const std::optional<double> value = nonNegativeOf(given);
            const QString keyName = name + QLatin1Char('.') + QLatin1String(key);
            if (!value) return beamKey(prefix, keyName);
            if (!eb::bounds::moment.holds(*value))
                return outOfBounds(prefix, keyName, *value, eb::bounds::moment);
            span.moments.*field = *value;
        }
        beam.spans.push_back(span);
    }

    const QJsonValue supportsValue = object.value(QLatin1String("supports"));
    if (!supportsValue.isArray() || supportsValue.toArray().size() != spans.size() + 1)
        return beamKey(prefix, QStringLiteral("supports"));
    for (const QJsonValue& support : supportsValue.toArray()) {
        const std::optional<double> width = positiveOf(support);
        if (!width) return beamKey(prefix, QStringLiteral("supports"));
        if (!eb::bounds::supportWidth.holds(*width))
            return outOfBounds(prefix, QStringLiteral("supports[%1]").arg(beam.supports.size()),
                               *width, eb::bounds::supportWidth);
        beam.supports.push_back(*width);
    }
    // The columns' widths across the beam, one per support (0: as wide as the support); files
    // without them have square columns.
    const QJsonValue columnsValue = object.value(QLatin1String("columns"));
    if (!columnsValue.isUndefined()) {
        if (!columnsValue.isArray() || columnsValue.toArray().size() != spans.size() + 1)
            return beamKey(prefix, QStringLiteral("columns"));
        for (const QJsonValue& column : columnsValue.toArray()) {
            const std::optional<double> width = nonNegativeOf(column);
            if (!width) return beamKey(prefix, QStringLiteral("columns"));
            if (*width != 0 && !eb::bounds::columnWidth.holds(*width))
                return outOfBounds(prefix, QStringLiteral("columns[%1]").arg(beam.columns.size()),
                                   *width, eb::bounds::columnWidth);
            beam.columns.push_back(*width);
        }
    }

    const QJsonValue stationsValue = object.value(QLatin1String("stations"));
    if (!stationsValue.isUndefined()) {
        if (!stationsValue.isArray()) return beamKey(prefix, QStringLiteral("stations"));
        const QJsonArray stations = stationsValue.toArray();
        for (qsizetype i = 0; i < stations.size(); ++i) {
            const QString name = QStringLiteral("stations[%1]").arg(i);
            const QJsonObject row = stations[i].toObject();
            const std::optional<int> span = integerOf(row.value(QLatin1String("span")));
            const std::optional<double> x = finiteOf(row.value(QLatin1String("x")));
            const std::optional<double> mu = finiteOf(row.value(QLatin1String("mu")));
            if (!stations[i].isObject() || !span || *span < 1 || *span > spans.size() || !x || !mu)
                return beamKey(prefix, name);
            if (!eb::bounds::moment.holds(*mu))
                return outOfBounds(prefix, name + QStringLiteral(".mu"), *mu, eb::bounds::moment);
            eb::Station station{*span, *x, *mu};
            // The analysis shear, signed, when the station has one.
            const QJsonValue shear = row.value(QLatin1String("v"));
            if (!shear.isUndefined()) {
                station.v = finiteOf(shear);
                if (!station.v) return beamKey(prefix, name + QStringLiteral(".v"));
                if (!eb::bounds::shear.holds(*station.v))
                    return outOfBounds(prefix, name + QStringLiteral(".v"), *station.v,
                                       eb::bounds::shear);
            }
            beam.stations.push_back(station);
        }
    }
    const QJsonValue centreline = object.value(QLatin1String("stationsFromCentreline"));
    if (!centreline.isUndefined()) {
        if (!centreline.isBool()) return beamKey(prefix, QStringLiteral("stationsFromCentreline"));
        beam.stationsFromCentreline = centreline.toBool();
    }
    // Each station lies in its span: between the faces, or between the supports' centrelines
    // when x is measured from the left one (as the stations files are read).
    for (std::size_t k = 0; k < beam.stations.size(); ++k) {
        const eb::Station& station = beam.stations[k];
        const auto i = static_cast<std::size_t>(station.span - 1);
        const double to =
            beam.stationsFromCentreline
                ? beam.supports[i] / 200 + beam.spans[i].length + beam.supports[i + 1] / 200
                : beam.spans[i].length;
        constexpr double slack = 1e-9;  // for faces and centrelines computed from the widths
        if (!(station.x >= -slack && station.x <= to + slack))
            return beamKey(prefix, QStringLiteral("stations[%1].x").arg(k));
    }
    return {};
}

// Reads a beam's object, named `prefix` in messages, designed under `code` unless it has a code
// of its own.
QString readBeamObject(const QString& prefix, const QJsonObject& object, engine::DesignCode code,
                       ProjectBeam& read) {
    eb::BeamInput& beam = read.input;
    // Files from before beams had names hold the default one.
    const QJsonValue name = object.value(QLatin1String("name"));
    if (!name.isUndefined()) {
        if (!name.isString() || !eb::validBeamName(name.toString().toStdString()))
            return beamKey(prefix, QStringLiteral("name"));
        beam.name = name.toString().toStdString();
    }
    // Where the beam is (the drawings' title block); either may be left out or empty.
    for (const auto& [key, field] :
         {std::pair{"axis", &eb::BeamInput::axis}, std::pair{"level", &eb::BeamInput::level}}) {
        const QJsonValue label = object.value(QLatin1String(key));
        if (label.isUndefined()) continue;
        if (!label.isString() || !eb::validBeamLabel(label.toString().toStdString()))
            return beamKey(prefix, QLatin1String(key));
        beam.*field = label.toString().toStdString();
    }

    // A beam without a code of its own is designed under the project's.
    const QJsonValue ownCode = object.value(QLatin1String("designCode"));
    beam.code = code;
    if (!ownCode.isUndefined()) {
        const auto known = engine::codeFromName(ownCode.toString().toStdString());
        if (!ownCode.isString() || !known) return beamKey(prefix, QStringLiteral("designCode"));
        beam.code = *known;
    }
    const QJsonValue description = object.value(QLatin1String("description"));
    if (!description.isUndefined()) {
        if (!description.isString()) return beamKey(prefix, QStringLiteral("description"));
        read.description = description.toString();
    }
    const QJsonValue group = object.value(QLatin1String("group"));
    if (!group.isUndefined()) {
        if (!group.isString()) return beamKey(prefix, QStringLiteral("group"));
        read.group = group.toString();
    }
    const QJsonValue seismicClass = object.value(QLatin1String("class"));
    const auto knownClass = eb::classFromName(seismicClass.toString().toStdString());
    if (!seismicClass.isString() || !knownClass) return beamKey(prefix, QStringLiteral("class"));
    beam.seismicClass = *knownClass;

    const QJsonValue sectionValue = object.value(QLatin1String("section"));
    if (!sectionValue.isObject()) return beamKey(prefix, QStringLiteral("section"));
    const QJsonObject section = sectionValue.toObject();
    for (const BeamSectionKey& key : beamSectionKeys) {
        const std::optional<double> value = positiveOf(section.value(QLatin1String(key.key)));
        if (!value) return beamKey(prefix, QStringLiteral("section.") + QLatin1String(key.key));
        beam.*key.field = *value;
    }

    if (const QString reason = readLayoutObject(object.value(QLatin1String("layout")),
                                                prefix + QStringLiteral("layout"), beam.settings);
        !reason.isEmpty())
        return reason;
    // A beam's stirrups are bent from the two bars the designer details hoops for.
    if (beam.settings.stirrupDesignation != 3 && beam.settings.stirrupDesignation != 4)
        return beamKey(prefix, QStringLiteral("layout.stirrup")) +
               QStringLiteral(": el estribo de una viga es N° 3 o N° 4");
    const QJsonValue bars = object.value(QLatin1String("bars"));
    if (!bars.isUndefined()) {
        const std::optional<int> smallest =
            integerOf(bars.toObject().value(QLatin1String("smallest")));
        const std::optional<int> largest =
            integerOf(bars.toObject().value(QLatin1String("largest")));
        if (!bars.isObject() || !smallest || !largest || !engine::findBar(*smallest) ||
            !engine::findBar(*largest) || *smallest > *largest)
            return beamKey(prefix, QStringLiteral("bars"));
        beam.smallestBar = *smallest;
        beam.largestBar = *largest;
    }
    const QJsonValue stock = object.value(QLatin1String("stock"));
    if (!stock.isUndefined()) {
        const std::optional<double> length = positiveOf(stock);
        if (!length) return beamKey(prefix, QStringLiteral("stock"));
        if (!eb::bounds::stockLength.holds(*length))
            return outOfBounds(prefix, QStringLiteral("stock"), *length, eb::bounds::stockLength);
        beam.stockLength = *length;
    }
    return readBeamSpans(prefix, object, beam);
}

}  // namespace

QString readBeams(const QJsonObject& root, ProjectFile& project) {
    const QJsonValue list = root.value(QLatin1String("beams"));
    const int version = integerOf(root.value(QLatin1String("schemaVersion"))).value_or(1);
    if (version >= beamListSchemaVersion && !list.isUndefined()) {
        if (!list.isArray()) return invalidKey("beams");
        const QJsonArray objects = list.toArray();
        for (qsizetype i = 0; i < objects.size(); ++i) {
            const QString prefix = QStringLiteral("beams[%1].").arg(i);
            if (!objects[i].isObject()) return invalidKey(QStringLiteral("beams[%1]").arg(i));
            ProjectBeam beam;
            if (const QString reason =
                    readBeamObject(prefix, objects[i].toObject(), project.code, beam);
                !reason.isEmpty())
                return reason;
            for (const ProjectBeam& earlier : project.beams)
                if (earlier.input.name == beam.input.name)
                    return QStringLiteral("dos vigas se llaman \"%1\"")
                        .arg(QString::fromStdString(beam.input.name));
            project.beams.push_back(std::move(beam));
        }
        return {};
    }
    const QJsonValue beamValue = root.value(QLatin1String("beam"));
    if (beamValue.isUndefined()) return {};
    if (!beamValue.isObject()) return invalidKey("beam");
    ProjectBeam beam;
    const QString reason =
        readBeamObject(QStringLiteral("beam."), beamValue.toObject(), project.code, beam);
    if (!reason.isEmpty()) return reason;
    project.beams.push_back(std::move(beam));
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

int beamsSchemaVersion(const std::vector<ProjectBeam>& beams) {
    if (beams.empty()) return 1;
    if (beams.size() > 1 || !beams.front().description.isEmpty() || !beams.front().group.isEmpty())
        return beamListSchemaVersion;
    return beamNeedsShearSchema(beams.front().input) ? shearSchemaVersion : beamSchemaVersion;
}

void writeBeams(QJsonObject& root, const std::vector<ProjectBeam>& beams, int version) {
    if (version < beamListSchemaVersion) {
        root.remove(QLatin1String("beams"));
        if (beams.empty())
            root.remove(QLatin1String("beam"));
        else
            root.insert(
                QLatin1String("beam"),
                beamObject(root.value(QLatin1String("beam")).toObject(), beams.front().input));
        return;
    }
    // Each beam is written over the saved object of the same name, wherever the list had it, so
    // keys this version does not know follow their beam through a reordering.
    const QJsonArray saved = root.value(QLatin1String("beams")).toArray();
    const auto savedObject = [&saved](const std::string& name) {
        for (const QJsonValue& value : saved) {
            const QJsonObject object = value.toObject();
            if (object.value(QLatin1String("name")).toString().toStdString() == name) return object;
        }
        return QJsonObject();
    };
    QJsonArray list;
    for (const ProjectBeam& beam : beams) {
        QJsonObject object = beamObject(savedObject(beam.input.name), beam.input);
        object.insert(QLatin1String("name"), QString::fromStdString(beam.input.name));
        if (beam.description.isEmpty())
            object.remove(QLatin1String("description"));
        else
            object.insert(QLatin1String("description"), beam.description);
        if (beam.group.isEmpty())
            object.remove(QLatin1String("group"));
        else
            object.insert(QLatin1String("group"), beam.group);
        list.append(object);
    }
    root.remove(QLatin1String("beam"));
    root.insert(QLatin1String("beams"), list);
}

QJsonObject beamObject(QJsonObject object, const eb::BeamInput& beam) {
    // A beam with the default name keeps files that never had one as they were.
    if (beam.name != eb::defaultBeamName || object.contains(QLatin1String("name")))
        object.insert(QLatin1String("name"), QString::fromStdString(beam.name));
    for (const auto& [key, label] :
         {std::pair{"axis", &beam.axis}, std::pair{"level", &beam.level}}) {
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
