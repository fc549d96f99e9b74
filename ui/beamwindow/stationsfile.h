#pragma once

#include <QString>
#include <vector>

#include "engine/beam/beam.h"
#include "engine/building/building.h"

// A station table as an analysis program exports it and `quintaral-cli beam --stations` reads
// it (header span,x,mu; x in m from the span's left face, Mu in Tn-m, negative = tension at the
// top), checked against the spans of `beam`; with `fromCentreline` x is measured from the left
// support's centreline instead. Commas with decimal points, or semicolons with decimal commas,
// told apart by the header.
struct StationsRead {
    std::vector<engine::beam::Station> stations;
    QString error;  // Spanish, with the line number; empty when the file was read
};

StationsRead readStationsFile(const QString& path, const engine::beam::BeamInput& beam,
                              bool fromCentreline = false);

// A building's beams as an analysis program exports them and `quintaral-cli beams` reads them:
// the beams file (a row per span) and, when `stationsPath` is not empty, the stations file,
// x from the span's left face or with `fromCentreline` from its left support's centreline.
// Separators told apart by each file's header, as above.
struct BuildingRead {
    engine::building::Building building;
    QString error;  // Spanish, naming the file and the line; empty when both were read
};

BuildingRead readBuildingFiles(const QString& beamsPath, const QString& stationsPath,
                               bool fromCentreline);
