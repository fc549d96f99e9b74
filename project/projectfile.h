#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "engine/beam/beam.h"
#include "engine/code.h"
#include "engine/layout.h"

// Quintaral project files (*.quintaral): a JSON object holding what the user typed, never the
// results, which are recomputed when the file is opened. Qt Core only, so that the main window
// and the command-line tool read and write files the same way.
namespace project {

inline constexpr char formatName[] = "quintaral-project";
// The newest format this version opens and writes. A project keeps the version of the file it
// came from (1 for a new one) until it holds what only a newer one has: a beam needs version 2,
// version 3 once it has a span's load, a station's shear, an axis or a level, and version 4 for
// a list of beams (more than one, or one with a description). A file that needs no more stays
// readable by the versions of the program that stop at its format.
inline constexpr int schemaVersion = 4;
// The format that first holds a beam.
inline constexpr int beamSchemaVersion = 2;
// The format that first holds the stirrups' inputs (gravity loads, shears) and the beam's axis
// and level.
inline constexpr int shearSchemaVersion = 3;
// The format that holds a list of named beams ("beams") instead of one beam ("beam").
inline constexpr int beamListSchemaVersion = 4;
inline constexpr qint64 maximumFileSize = 1024 * 1024;
inline constexpr char fileSuffix[] = "quintaral";
inline constexpr char mimeType[] = "application/x-quintaral+json";

// The seven inputs of a design, in the order of the main window's fields.
enum class Input { Width, Height, Cover, Fc, Fy, Moment, CompressionCover };
inline constexpr int inputCount = 7;

// The JSON key of an input ("b", "h", "cover", "fc", "fy", "mu", "cover2").
QString inputKey(Input input);
// The input as messages name it, e.g. "f'c (resistencia del concreto)".
QString inputLabel(Input input);

// Units of the inputs: cm, kg/cm2 and Tn-m.
struct DesignInputs {
    std::array<double, inputCount> values{};

    double& operator[](Input input) { return values[static_cast<int>(input)]; }
    double operator[](Input input) const { return values[static_cast<int>(input)]; }
    bool operator==(const DesignInputs&) const = default;
};

// The bars chosen for a section: the tension layers (the lowest first) and the compression
// layer. `typed` tells bars typed by the user from rows chosen among the proposals; files do not
// keep it.
struct ChosenBars {
    engine::Arrangement tension;
    engine::Arrangement compression;  // no layers when there is no compression steel
    bool typed = false;
    bool operator==(const ChosenBars&) const = default;
};

// A beam of the project: the beam as typed (its name in input.name, unique in the project) and
// the engineer's free note on it, such as "Eje B, piso 2".
struct ProjectBeam {
    engine::beam::BeamInput input;
    QString description;
    // The group of beams alike it belongs to ("V-201 = V-301"), designed as one for the envelope
    // of their demands; empty for a beam designed on its own.
    QString group;
    bool operator==(const ProjectBeam&) const = default;
};

// What a project file holds.
struct ProjectFile {
    QString programVersion;  // the version that wrote the file; writing always stores ours
    engine::DesignCode code = engine::DesignCode::Nsr98;
    DesignInputs inputs;
    std::optional<engine::LayoutSettings> layout;  // a file that leaves a value out: the default
    std::optional<ChosenBars> arrangement;         // stored as the text of each layer
    // The continuous beams of the window "Viga y despiece", in the engineer's order, each as
    // typed: its own section, materials and code, class, spans, moments or stations, settings,
    // bar sizes and stock length. A file of format 2 or 3 holds at most one.
    std::vector<ProjectBeam> beams;

    // The whole object the project was read from. Writing starts from it, so keys this
    // version does not know (at any level) survive a re-save, and a layer whose saved text
    // reads as the same bars keeps that text: keep the ProjectFile that was opened and change
    // its fields rather than building a new one.
    QJsonObject source;
};

// This program's version as files record it.
QString programVersion();

struct ReadResult {
    std::optional<ProjectFile> project;
    QString error;  // the Spanish message when there is no project
};

// Reads the file at `path`. Refuses, with a message naming the file and the reason, a path
// that cannot be read, a file over maximumFileSize, anything that is not a project of a
// schema version this program knows, a missing or non-numeric input and optional parts of
// the wrong type, and saved bars that do not read as catalogue bars.
ReadResult readProject(const QString& path);

// The largest magnitude, and the smallest non-zero one, of an input a field shows and takes
// as typed: beyond them the field's text runs to hundreds of digits. Files keep any finite
// number; the command line refuses the others.
inline constexpr double largestFieldValue = 1e6;
inline constexpr double smallestFieldValue = 1e-6;

// "No se puede abrir el archivo "x.quintaral": el dato b (ancho, clave "b") no es válido: ..."
// for the first input outside those bounds; empty when every input lies within them.
QString inputOutOfFieldRange(const QString& path, const DesignInputs& inputs);

// The same checks on bytes already read; `path` only names the file in messages.
ReadResult parseProject(const QByteArray& bytes, const QString& path);

// The file's bytes: indented UTF-8 JSON whose numbers read back bit for bit (a negative zero
// reads back as zero).
QByteArray serializeProject(const ProjectFile& project);

// Writes the project atomically: the previous file is replaced only once the new one is
// completely on disk. Refuses a project that would not open again (an input that is not a
// finite number, a layout value out of range). Returns an empty string on success, otherwise
// the Spanish message naming the file and the reason.
// `beforeCommit`, when given, runs after the data is written and before the file is replaced
// (a test uses it to stop the process there).
[[nodiscard]] QString writeProject(const QString& path, const ProjectFile& project,
                                   const std::function<void()>& beforeCommit = {});

// "No se puede guardar el archivo "x.quintaral": <input> no es un número." for a save refused
// because an input is blank or not a number.
QString notANumberMessage(const QString& path, Input input);

}  // namespace project
