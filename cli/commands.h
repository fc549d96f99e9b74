#pragma once

#include <optional>

#include <QCommandLineParser>
#include <QStringList>

#include "engine/beam/beam.h"

// The commands of quintaral-cli. Each takes the program's arguments without the command's name
// and returns the exit status.
namespace cli {

int runDesign(const QStringList& arguments);
int runBatch(const QStringList& arguments);
int runCheck(const QStringList& arguments);
int runOpen(const QStringList& arguments);
int runBeam(const QStringList& arguments);
int runBeams(const QStringList& arguments);

// The beam options the beam and beams commands share: "--bars N-M" and "--stock L" into the
// input; false after printing what is wrong.
bool readBarRange(const QCommandLineParser& parser, engine::beam::BeamInput& input);
bool readStock(const QCommandLineParser& parser, engine::beam::BeamInput& input);
bool readStirrup(const QCommandLineParser& parser, engine::beam::BeamInput& input);
// "--format text|json": whether the output is JSON; none after printing what is wrong.
std::optional<bool> readJsonFormat(const QString& format);

}  // namespace cli
