#include "beamwindow/stationsfile.h"

#include <QFile>
#include <QStringList>
#include <QTextStream>

#include "engine/numbers.h"

StationsRead readStationsFile(const QString& path) {
    StationsRead read;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        read.error = QStringLiteral("No se pudo abrir «%1».").arg(path);
        return read;
    }
    QTextStream in(&file);
    int lineNumber = 0;
    bool header = true;
    QChar delimiter = QLatin1Char(',');
    char decimal = '.';
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        ++lineNumber;
        if (line.isEmpty()) continue;
        if (header) {
            if (line.contains(QLatin1Char(';'))) {
                delimiter = QLatin1Char(';');
                decimal = ',';
            }
            const QStringList names = line.toLower().split(delimiter);
            if (names.size() < 3 || names[0].trimmed() != QLatin1String("span") ||
                names[1].trimmed() != QLatin1String("x") ||
                names[2].trimmed() != QLatin1String("mu")) {
                read.error = QStringLiteral("Línea %1: se esperaba el encabezado «span,x,mu».")
                                 .arg(lineNumber);
                return read;
            }
            header = false;
            continue;
        }
        const QStringList cells = line.split(delimiter);
        std::optional<double> values[3];
        for (int i = 0; i < 3 && i < cells.size(); ++i)
            values[i] = engine::parseNumber(cells[i].toStdString(), decimal);
        if (cells.size() < 3 || !values[0] || !values[1] || !values[2] || *values[0] < 1 ||
            *values[0] != static_cast<int>(*values[0])) {
            read.error = QStringLiteral("Línea %1: se esperaban el vano, x (m) y Mu (Tn-m).")
                             .arg(lineNumber);
            return read;
        }
        read.stations.push_back({static_cast<int>(*values[0]), *values[1], *values[2]});
    }
    if (read.stations.empty())
        read.error = QStringLiteral("«%1» no tiene estaciones.").arg(path);
    return read;
}
