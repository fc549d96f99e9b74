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

    // The continuous beam, as typed in the window "Viga y despiece" or read from the file; none
    // until one is typed or read.
    const std::optional<engine::beam::BeamInput>& beam() const { return beam_; }
    // The beam's design, worked out whenever the beam changes: none without a beam or when no
    // arrangement satisfies it, and then beamError() says why.
    const std::optional<engine::beam::BeamDesign>& beamDesign() const { return beamResult_.design; }
    const std::optional<engine::beam::BeamError>& beamError() const { return beamResult_.error; }
    // Takes the beam (none removes it) and designs it. Does not mark the project modified: the
    // window that edits it does.
    void setBeam(const std::optional<engine::beam::BeamInput>& beam);
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
    // The beam and with it its design changed (or went).
    void beamChanged();
    void pathChanged();
    void modifiedChanged(bool modified);
    // A window asks for the covers that put the design's depths where the chosen bars are
    // (cm); whoever holds the typed inputs designs again with them.
    void coversProposed(double dPrime, double dSecond);

  private:
    void followNewDesign();
    void designBeam();

    engine::DesignCode code_ = engine::DesignCode::Nsr98;
    DesignInputs inputs_;
    std::optional<Input> inputNotANumber_;
    std::optional<engine::CompletedDesign> design_;
    std::optional<engine::LayoutSettings> layout_;
    std::optional<ChosenBars> bars_;
    std::optional<engine::beam::BeamInput> beam_;
    BeamResult beamResult_;
    QString beamNotRead_;
    QString path_;
    bool modified_ = false;
    ProjectFile file_;  // as opened or last saved, with the keys this version ignores
};

}  // namespace project
