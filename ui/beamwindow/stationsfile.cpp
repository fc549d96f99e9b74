#include "beamwindow/stationsfile.h"

#include <QFile>
#include <cstring>
#include <variant>

#include "common/enginetext.h"
#include "engine/beam/beamcsv.h"
#include "engine/csv.h"

StationsRead readStationsFile(const QString& path, const engine::beam::BeamInput& beam) {
    StationsRead read;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        read.error = QStringLiteral("No se pudo abrir «%1».").arg(path);
        return read;
    }
    const QByteArray bytes = file.readAll();
    const qsizetype firstLine = bytes.indexOf('\n');
    const bool semicolons = bytes.left(firstLine < 0 ? bytes.size() : firstLine).contains(';');
    std::size_t position = 0;
    engine::csv::Reader reader(
        [&](char* buffer, std::size_t capacity) {
            const std::size_t count =
                std::min(capacity, static_cast<std::size_t>(bytes.size()) - position);
            std::memcpy(buffer, bytes.constData() + position, count);
            position += count;
            return count;
        },
        semicolons ? ';' : ',');
    const engine::beam::SpansFile spans{beam.supports, beam.spans};
    auto stations =
        engine::beam::readStations(reader, semicolons ? ',' : '.', spans, false);
    if (const auto* problem = std::get_if<std::string>(&stations)) {
        read.error = QStringLiteral("«%1», %2").arg(path, fromEngine(*problem));
        return read;
    }
    read.stations = std::get<std::vector<engine::beam::Station>>(std::move(stations));
    return read;
}
