#include "beamwindow/stationsfile.h"

#include <QFile>
#include <string_view>
#include <variant>

#include "common/enginetext.h"
#include "engine/beam/beamcsv.h"
#include "engine/csv.h"

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
