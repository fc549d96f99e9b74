#include "project/project.h"

#include <variant>

#include "engine/barscheck.h"

namespace project {

Project::Project(QObject* parent) : QObject(parent) {}

void Project::setCode(engine::DesignCode code) {
    if (code == code_) return;
    code_ = code;
    Q_EMIT codeChanged();
}

void Project::setInputs(const DesignInputs& inputs, std::optional<Input> notANumber) {
    if (inputs == inputs_ && notANumber == inputNotANumber_) return;
    inputs_ = inputs;
    inputNotANumber_ = notANumber;
    Q_EMIT inputsChanged();
}

void Project::setDesign(const engine::CompletedDesign& design) {
    const bool changed =
        design_ && (design_->input != design.input || design_->run.code() != design.run.code());
    design_ = design;
    const std::optional<ChosenBars> before = bars_;
    if (changed) followNewDesign();
    Q_EMIT designChanged();
    if (bars_ != before) Q_EMIT layoutChanged();
}

void Project::clearDesign() {
    if (!design_) return;
    design_.reset();
    Q_EMIT designChanged();
}

void Project::setLayoutSettings(const engine::LayoutSettings& settings) {
    if (layout_ == settings) return;
    layout_ = settings;
    Q_EMIT layoutChanged();
}

void Project::setBars(const std::optional<ChosenBars>& bars) {
    if (bars == bars_) return;
    bars_ = bars;
    Q_EMIT layoutChanged();
}

void Project::setBeam(const std::optional<engine::beam::BeamInput>& beam) {
    if (beam == beam_) return;
    beam_ = beam;
    designBeam();
    Q_EMIT beamChanged();
}

BeamResult designBeam(const engine::beam::BeamInput& beam) {
    engine::beam::BeamOutcome outcome = engine::beam::designBeam(beam);
    if (auto* design = std::get_if<engine::beam::BeamDesign>(&outcome))
        return {std::move(*design), std::nullopt};
    return {std::nullopt, std::move(std::get<engine::beam::BeamError>(outcome))};
}

void Project::designBeam() {
    beamResult_ = beam_ ? project::designBeam(*beam_) : BeamResult{};
}

void Project::followNewDesign() {
    if (!bars_) return;
    const engine::LayoutSettings settings = layoutSettings();
    const engine::DesignRun& run = design_->run;
    const engine::DesignInput& input = design_->input;
    const bool needsCompression = run.kind() == engine::SectionKind::Doubly && run.asPrime() > 0;
    // Compression bars taken from the proposals follow the design: the first proposal when it
    // comes to need them, none when it no longer does.
    if (!bars_->typed && needsCompression && bars_->compression.layers.empty()) {
        const engine::CandidateSearch search = engine::findCandidates(
            run.asPrime(), engine::Face::Compression, settings, input.b, input.h);
        if (!search.candidates.empty()) bars_->compression = search.candidates.front().arrangement;
    } else if (!bars_->typed && !needsCompression) {
        bars_->compression = {};
    }
    if (!engine::checkBars(bars_->tension, bars_->compression, settings, *design_, '.').runs())
        bars_.reset();
}

void Project::setModified(bool modified) {
    if (modified == modified_) return;
    modified_ = modified;
    Q_EMIT modifiedChanged(modified);
}

void Project::clear() {
    const bool hadLayout = hasLayout();
    const bool hadBeam = beam_.has_value();
    design_.reset();
    beam_.reset();
    beamResult_ = {};
    layout_.reset();
    bars_.reset();
    inputs_ = {};
    inputNotANumber_.reset();
    file_ = ProjectFile{};
    path_.clear();
    Q_EMIT inputsChanged();
    Q_EMIT designChanged();
    if (hadLayout) Q_EMIT layoutChanged();
    if (hadBeam) Q_EMIT beamChanged();
    Q_EMIT pathChanged();
    setModified(false);
}

QString Project::open(const QString& path) {
    const ReadResult read = readProject(path);
    if (!read.project) return read.error;
    file_ = *read.project;
    path_ = path;
    code_ = file_.code;
    inputs_ = file_.inputs;
    inputNotANumber_.reset();
    design_.reset();
    layout_ = file_.layout;
    bars_ = file_.arrangement;
    beam_ = file_.beam;
    designBeam();
    Q_EMIT codeChanged();
    Q_EMIT inputsChanged();
    Q_EMIT designChanged();
    Q_EMIT layoutChanged();
    Q_EMIT beamChanged();
    Q_EMIT pathChanged();
    setModified(false);
    return {};
}

QString Project::saveAs(const QString& path) {
    if (inputNotANumber_) return notANumberMessage(path, *inputNotANumber_);
    ProjectFile next = file_;
    next.code = code_;
    next.inputs = inputs_;
    // Settings are stored with the bars, and kept when the file had them.
    if (hasLayout()) next.layout = layoutSettings();
    next.arrangement = bars_;
    if (next.arrangement) next.arrangement->typed = false;
    next.beam = beam_;
    const QString error = writeProject(path, next);
    if (!error.isEmpty()) return error;
    file_ = next;
    if (path != path_) {
        path_ = path;
        Q_EMIT pathChanged();
    }
    setModified(false);
    return {};
}

}  // namespace project
