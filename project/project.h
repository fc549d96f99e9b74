#pragma once

#include <QObject>
#include <QString>
#include <optional>

#include "engine/beam/beam.h"
#include "engine/code.h"
#include "engine/layout.h"
#include "engine/run.h"
#include "project/projectfile.h"

namespace project {

// A beam's design, or why it has none (engine::beam::errorText words it with the separator of
// whoever shows it).
struct BeamResult {
    std::optional<engine::beam::BeamDesign> design;
    std::optional<engine::beam::BeamError> error;
};
BeamResult designBeam(const engine::beam::BeamInput& beam);

// The project the engineer works on: the seven inputs and the design code, the last completed
// design, the layout settings and the chosen bars, a continuous beam and its design, the file it
// lives in and whether it changed since that file was written. The windows and the command line
// read and write it; windows come and go, the project stays, so closing a window never loses a
// choice.
class Project : public QObject {
    Q_OBJECT
  public:
    explicit Project(QObject* parent = nullptr);

    engine::DesignCode code() const { return code_; }
    void setCode(engine::DesignCode code);
    // The inputs a file stores (cm, kg/cm2, Tn-m), as last typed.
    const DesignInputs& inputs() const { return inputs_; }
    // The first input typed as no number (blank or not one), when there is one: the project
    // keeps that input's last number meanwhile, and refuses to be saved.
    std::optional<Input> inputNotANumber() const { return inputNotANumber_; }
    // Takes the inputs as typed, with the first that is no number. Does not mark the project
    // modified: the window that edits them does.
    void setInputs(const DesignInputs& inputs, std::optional<Input> notANumber = std::nullopt);

    // The last completed design; none before the first one and after a new project.
    const std::optional<engine::CompletedDesign>& design() const { return design_; }
    // A design of other inputs than the last one keeps the chosen bars while they can still be
    // checked in its section (they fit in the width and their capacity can be worked out), else
    // clears them; bars taken from the proposals take the first proposal for compression steel
    // the design asks for, and drop their compression bars when it asks for none. The first
    // design after opening a file or a new project takes the bars as they are.
    void setDesign(const engine::CompletedDesign& design);
    void clearDesign();

    // The settings of the bar layout (the defaults until some are chosen or read).
    engine::LayoutSettings layoutSettings() const {
        return layout_.value_or(engine::LayoutSettings{});
    }
    void setLayoutSettings(const engine::LayoutSettings& settings);
    const std::optional<ChosenBars>& bars() const { return bars_; }
    void setBars(const std::optional<ChosenBars>& bars);
    // True when the settings or bars came from a file or were chosen: a save stores them.
    bool hasLayout() const { return layout_.has_value() || bars_.has_value(); }

    // The project's beams, in the engineer's order, each with its design; one of them is the
    // current beam, which the window "Viga y despiece", the exports and the command line work
    // on through beam(), beamDesign() and setBeam().
    struct Beam {
        ProjectBeam beam;  // the beam as typed, its name and description
        BeamResult result;
    };
    const std::vector<Beam>& beams() const { return beams_; }
    // The current beam's place in beams(); -1 while the project has none.
    int currentBeamIndex() const { return current_; }

    // The current beam, as typed in the window "Viga y despiece" or read from the file; none
    // until one is typed or read.
    std::optional<engine::beam::BeamInput> beam() const;
    // The current beam's design, worked out whenever the beam changes: none without a beam or
    // when no arrangement satisfies it, and then beamError() says why.
    const std::optional<engine::beam::BeamDesign>& beamDesign() const;
    const std::optional<engine::beam::BeamError>& beamError() const;
    // Takes the current beam (none removes it) and designs it; without a current beam, the beam
    // becomes the project's first. Does not mark the project modified: the window that edits it
    // does.
    void setBeam(const std::optional<engine::beam::BeamInput>& beam);

    // The list's commands. Each marks the project modified and emits beamListChanged(), and
    // beamChanged() when the current beam is another.
    // Appends `beam` under a name no other beam has (its own when free) and makes it current.
    void addBeam(engine::beam::BeamInput beam, const QString& description = {});
    // Appends a copy of the beam at `index`, named after it, and makes it current.
    void duplicateBeam(int index);
    // Names the beam at `index` and describes it; the message saying why the name is refused
    // (not a beam's name, or another beam's), or an empty text.
    QString renameBeam(int index, const QString& name, const QString& description);
    // Removes the beam at `index`; the one after it (or before, for the last) becomes current.
    void removeBeam(int index);
    // Moves the beam at `from` to `to`; the current beam stays current.
    void moveBeam(int from, int to);
    // Puts beams alike (spans, supports, section, materials, code, class) in groups, each
    // designed once for the envelope of its members' demands; a beam like no other stays alone.
    void groupEqualBeams();
    // Takes the beam at `index` out of its group: designed on its own again, as is the last
    // member left.
    void ungroupBeam(int index);
    // Makes the beam at `index` current (emits beamChanged() only).
    void selectBeam(int index);
    // The first free name of the series "V-1", "V-2", ...; or, after `like`, the next name of its
    // numbered series ("V-101" -> "V-102") or `like` with "-2", "-3", ...
    QString freeBeamName(const QString& like = {}) const;
    // Whether a beam other than the one at `except` has the name.
    bool beamNameTaken(const QString& name, int except = -1) const;

    // While the beam as typed in its window does not read, the window's message naming what to
    // correct; empty otherwise. The project keeps the last beam that read meanwhile, and the
    // exports refuse to pass its results off as the current ones.
    const QString& beamNotRead() const { return beamNotRead_; }
    void setBeamNotRead(const QString& message) { beamNotRead_ = message; }

    // The file in use; empty when there is none.
    const QString& path() const { return path_; }
    bool isModified() const { return modified_; }
    void setModified(bool modified);

    // A new project: no file, no design, no settings or bars, unmodified; the code stays.
    void clear();
    // Reads the file at `path` into the project, which then has no design yet. A file that
    // cannot be read leaves the project as it was; returns the message saying why, or an empty
    // text.
    QString open(const QString& path);
    // Writes the project at `path`, which becomes the file in use, and marks it unmodified.
    // Returns the message saying why it was not written (an input that is not a number among
    // the reasons), or an empty text.
    QString saveAs(const QString& path);

  Q_SIGNALS:
    void codeChanged();
    void inputsChanged();
    void designChanged();
    // The layout settings or the chosen bars changed.
    void layoutChanged();
    // The current beam and with it its design changed (or went), or another beam became current.
    void beamChanged();
    // Beams were added, removed, renamed or moved, or one of them changed (its mark and mass in
    // the list).
    void beamListChanged();
    void pathChanged();
    void modifiedChanged(bool modified);
    // A window asks for the covers that put the design's depths where the chosen bars are
    // (cm); whoever holds the typed inputs designs again with them.
    void coversProposed(double dPrime, double dSecond);

  private:
    void followNewDesign();
    void emitBeamChanges(bool currentChanged);
    // Designs the beam at `index`, or its whole group for the envelope of its members.
    void redesign(int index);
    // A group left with one member is no group.
    void dissolveLoneGroups();

    engine::DesignCode code_ = engine::DesignCode::Nsr98;
    DesignInputs inputs_;
    std::optional<Input> inputNotANumber_;
    std::optional<engine::CompletedDesign> design_;
    std::optional<engine::LayoutSettings> layout_;
    std::optional<ChosenBars> bars_;
    std::vector<Beam> beams_;
    int current_ = -1;
    QString beamNotRead_;
    QString path_;
    bool modified_ = false;
    ProjectFile file_;  // as opened or last saved, with the keys this version ignores
};

}  // namespace project
