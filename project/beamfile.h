#pragma once

#include <QJsonObject>
#include <QString>

#include "engine/beam/beam.h"

// The continuous beam of a project file: its object read with every check the spans and stations
// files get, and written over the saved one so that keys this version does not know survive.
namespace project {

struct ProjectFile;

// Reads the root's "beam" object, when there is one, into `project`; the reason it is refused,
// or an empty string.
QString readBeam(const QJsonObject& root, ProjectFile& project);

// Whether the beam has what only the newest format holds: a span's gravity load, a station's
// shear, an axis or a level.
bool beamNeedsShearSchema(const engine::beam::BeamInput& beam);

// The beam's object as saved, written over `saved`.
QJsonObject beamObject(QJsonObject saved, const engine::beam::BeamInput& beam);

}  // namespace project
