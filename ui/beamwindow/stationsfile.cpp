#include "beamwindow/stationsfile.h"

#include <QFile>
#include <optional>
#include <string_view>
#include <variant>

#include "common/enginetext.h"
#include "engine/beam/beamcsv.h"
#include "engine/csv.h"

namespace {

// A file's bytes and whether its header separates fields with semicolons (then the decimal
// separator is the comma); none when it does not open.
struct CsvBytes {
    QByteArray bytes;
    bool semicolons = false;
    engine::csv::Reader reader() const {
        return engine::csv::Reader(
            engine::csv::memorySource(std::string_view(bytes.constData(), bytes.size())),
            semicolons ? ';' : ',');
    }
    char decimalSeparator() const { return semicolons ? ',' : '.'; }
};

std::optional<CsvBytes> csvBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    CsvBytes read{file.readAll()};
    const qsizetype firstLine = read.bytes.indexOf('\n');
    read.semicolons =
        read.bytes.left(firstLine < 0 ? read.bytes.size() : firstLine).contains(';');
    return read;
}

QString notOpened(const QString& path) {
    return QStringLiteral("No se pudo abrir «%1».").arg(path);
}

}  // namespace

BuildingRead readBuildingFiles(const QString& beamsPath, const QString& stationsPath,
                               bool fromCentreline) {
    BuildingRead read;
    const auto beams = csvBytes(beamsPath);
    if (!beams) {
        read.error = notOpened(beamsPath);
        return read;
    }
    engine::csv::Reader beamsReader = beams->reader();
    auto building = engine::building::readBuilding(beamsReader, beams->decimalSeparator(),
                                                   !stationsPath.isEmpty());
    if (const auto* problem = std::get_if<std::string>(&building)) {
        read.error = QStringLiteral("«%1», %2").arg(beamsPath, fromEngine(*problem));
        return read;
    }
    read.building = std::get<engine::building::Building>(std::move(building));
    if (stationsPath.isEmpty()) return read;
    const auto stations = csvBytes(stationsPath);
    if (!stations) {
        read.error = notOpened(stationsPath);
        return read;
    }
    engine::csv::Reader stationsReader = stations->reader();
    if (const auto problem = engine::building::readBuildingStations(
            stationsReader, stations->decimalSeparator(), read.building, fromCentreline))
        read.error = QStringLiteral("«%1», %2").arg(stationsPath, fromEngine(*problem));
    return read;
}

StationsRead readStationsFile(const QString& path, const engine::beam::BeamInput& beam,
                              bool fromCentreline) {
    StationsRead read;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        read.error = QStringLiteral("No se pudo abrir «%1».").arg(path);
        return read;
    }
    const QByteArray bytes = file.readAll();
    const qsizetype firstLine = bytes.indexOf('\n');
    const bool semicolons = bytes.left(firstLine < 0 ? bytes.size() : firstLine).contains(';');
    engine::csv::Reader reader(
        engine::csv::memorySource(std::string_view(bytes.constData(), bytes.size())),
        semicolons ? ';' : ',');
    const engine::beam::SpansFile spans{beam.supports, beam.spans, beam.columns};
    auto stations =
        engine::beam::readStations(reader, semicolons ? ',' : '.', spans, fromCentreline);
    if (const auto* problem = std::get_if<std::string>(&stations)) {
        read.error = QStringLiteral("«%1», %2").arg(path, fromEngine(*problem));
        return read;
    }
    read.stations = std::get<std::vector<engine::beam::Station>>(std::move(stations));
    return read;
}
