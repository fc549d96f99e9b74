#pragma once

#include <QJsonObject>
#include <QString>
#include <vector>

#include "engine/beam/beam.h"

// The continuous beam of a project file: its object read with every check the spans and stations
// files get, and written over the saved one so that keys this version does not know survive.
namespace project {

struct ProjectFile;
struct ProjectBeam;

// Reads the root's beams into `project`: the list "beams" of a file of format 4, or the one
// "beam" of the formats before (as a project of one beam). The reason they are refused (a
// beam's key, or two beams of one name), or an empty string.
QString readBeams(const QJsonObject& root, ProjectFile& project);

// The least format that holds the beams: 1 for none, 2 or 3 for one without a description (as
// the versions before lists wrote it, so they still open it), 4 for a list.
int beamsSchemaVersion(const std::vector<ProjectBeam>& beams);

// Writes the beams into the root over what it had: a list "beams" from format 4 on, else the one
// "beam" (or none).
void writeBeams(QJsonObject& root, const std::vector<ProjectBeam>& beams, int version);

// Whether the beam has what only the newest format holds: a span's gravity load, a station's
// shear, an axis or a level.
bool beamNeedsShearSchema(const engine::beam::BeamInput& beam);

// The beam's object as saved, written over `saved`.
QJsonObject beamObject(QJsonObject saved, const engine::beam::BeamInput& beam);

}  // namespace project
