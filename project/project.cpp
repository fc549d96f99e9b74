#include "project/project.h"

#include <algorithm>
#include <variant>

#include "engine/barscheck.h"
#include "engine/building/building.h"

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

namespace {

const std::optional<engine::beam::BeamDesign> noDesign;
const std::optional<engine::beam::BeamError> noError;

// The beam's name as the engine keeps it.
std::string nameOf(const QString& name) {
    return name.toStdString();
}

}  // namespace

std::optional<engine::beam::BeamInput> Project::beam() const {
    if (current_ < 0) return std::nullopt;
    return beams_[std::size_t(current_)].beam.input;
}

const std::optional<engine::beam::BeamDesign>& Project::beamDesign() const {
    return current_ < 0 ? noDesign : beams_[std::size_t(current_)].result.design;
}

const std::optional<engine::beam::BeamError>& Project::beamError() const {
    return current_ < 0 ? noError : beams_[std::size_t(current_)].result.error;
}

void Project::setBeam(const std::optional<engine::beam::BeamInput>& beam) {
    if (!beam) {
        if (current_ >= 0) {
            beams_.erase(beams_.begin() + current_);
            current_ = beams_.empty() ? -1 : std::min(current_, int(beams_.size()) - 1);
            emitBeamChanges(true);
        }
        return;
    }
    if (current_ < 0) {
        beams_.push_back({{*beam, {}, {}}, project::designBeam(*beam)});
        current_ = int(beams_.size()) - 1;
        emitBeamChanges(true);
        return;
    }
    Beam& current = beams_[std::size_t(current_)];
    if (current.beam.input == *beam) return;
    current.beam.input = *beam;
    if (!current.beam.group.isEmpty()) {
        // Edited so that it is no longer like the rest of its group, it leaves the group.
        engine::building::Building members;
        for (const Beam& other : beams_)
            if (other.beam.group == current.beam.group)
                members.beams.push_back({other.beam.input, {}, 0});
        if (engine::building::groupBeams(members).size() > 1) {
            const QString group = current.beam.group;
            current.beam.group.clear();
            dissolveLoneGroups();
            for (std::size_t i = 0; i < beams_.size(); ++i)
                if (beams_[i].beam.group == group) {
                    redesign(int(i));
                    break;
                }
        }
    }
    redesign(current_);
    emitBeamChanges(true);
}

void Project::redesign(int index) {
    const QString group = beams_[std::size_t(index)].beam.group;
    if (group.isEmpty()) {
        beams_[std::size_t(index)].result =
            project::designBeam(beams_[std::size_t(index)].beam.input);
        return;
    }
    engine::building::Building members;
    engine::building::BeamGroup together;
    for (const Beam& beam : beams_)
        if (beam.beam.group == group) {
            together.members.push_back(members.beams.size());
            members.beams.push_back({beam.beam.input, {}, 0});
        }
    engine::beam::BeamInput input = engine::building::groupInput(members, together);
    // The group's despiece is headed by the group's name, which names its beams.
    if (engine::beam::validBeamName(group.toStdString())) input.name = group.toStdString();
    const BeamResult result = project::designBeam(input);
    for (Beam& beam : beams_)
        if (beam.beam.group == group) beam.result = result;
}

void Project::dissolveLoneGroups() {
    for (Beam& beam : beams_) {
        if (beam.beam.group.isEmpty()) continue;
        const auto members = std::count_if(
            beams_.begin(), beams_.end(),
            [&beam](const Beam& other) { return other.beam.group == beam.beam.group; });
        if (members < 2) {
            beam.beam.group.clear();
            beam.result = project::designBeam(beam.beam.input);
        }
    }
}

void Project::groupEqualBeams() {
    if (beams_.empty()) return;
    engine::building::Building building;
    for (const Beam& beam : beams_) building.beams.push_back({beam.beam.input, {}, 0});
    for (Beam& beam : beams_) beam.beam.group.clear();
    for (const engine::building::BeamGroup& group : engine::building::groupBeams(building)) {
        if (group.members.size() < 2) continue;
        for (const std::size_t member : group.members)
            beams_[member].beam.group = QString::fromStdString(group.name);
    }
    for (std::size_t i = 0; i < beams_.size(); ++i) redesign(int(i));
    setModified(true);
    emitBeamChanges(true);
}

void Project::ungroupBeam(int index) {
    if (index < 0 || index >= int(beams_.size())) return;
    const QString group = beams_[std::size_t(index)].beam.group;
    if (group.isEmpty()) return;
    beams_[std::size_t(index)].beam.group.clear();
    redesign(index);
    dissolveLoneGroups();
    for (std::size_t i = 0; i < beams_.size(); ++i)
        if (beams_[i].beam.group == group) {
            redesign(int(i));
            break;
        }
    setModified(true);
    emitBeamChanges(true);
}

void Project::emitBeamChanges(bool currentChanged) {
    if (currentChanged) Q_EMIT beamChanged();
    Q_EMIT beamListChanged();
}

bool Project::beamNameTaken(const QString& name, int except) const {
    const std::string wanted = nameOf(name);
    for (std::size_t i = 0; i < beams_.size(); ++i)
        if (int(i) != except && beams_[i].beam.input.name == wanted) return true;
    return false;
}

QString Project::freeBeamName(const QString& like) const {
    // "V-101": the stem "V-" and the number 101, counted on from there.
    QString stem = QStringLiteral("V-");
    qlonglong number = 1;
    if (!like.isEmpty()) {
        qsizetype digits = like.size();
        while (digits > 0 && like[digits - 1].isDigit()) --digits;
        bool read = false;
        const qlonglong given = like.mid(digits).toLongLong(&read);
        if (read && like.size() - digits <= 9) {
            stem = like.left(digits);
            number = given + 1;
        } else {
            stem = like + QLatin1Char('-');
            number = 2;
        }
    }
    for (;; ++number) {
        const QString name = stem + QString::number(number);
        if (!beamNameTaken(name) && engine::beam::validBeamName(nameOf(name))) return name;
        // A stem too long for any name: the default series.
        if (!engine::beam::validBeamName(nameOf(name))) return freeBeamName();
    }
}

void Project::addBeam(engine::beam::BeamInput beam, const QString& description) {
    if (beamNameTaken(QString::fromStdString(beam.name)) || !engine::beam::validBeamName(beam.name))
        beam.name = nameOf(freeBeamName(QString::fromStdString(beam.name)));
    BeamResult result = project::designBeam(beam);
    beams_.push_back({{std::move(beam), description, {}}, std::move(result)});
    current_ = int(beams_.size()) - 1;
    setModified(true);
    emitBeamChanges(true);
}

void Project::duplicateBeam(int index) {
    if (index < 0 || index >= int(beams_.size())) return;
    Beam copy = beams_[std::size_t(index)];
    copy.beam.input.name = nameOf(freeBeamName(QString::fromStdString(copy.beam.input.name)));
    beams_.push_back(std::move(copy));
    current_ = int(beams_.size()) - 1;
    setModified(true);
    emitBeamChanges(true);
}

QString Project::renameBeam(int index, const QString& name, const QString& description) {
    if (index < 0 || index >= int(beams_.size())) return {};
    const QString trimmed = name.trimmed();
    if (!engine::beam::validBeamName(nameOf(trimmed)))
        return QStringLiteral(
                   "El nombre de una viga tiene de 1 a %1 caracteres, sin caracteres "
                   "de control.")
            .arg(engine::beam::longestBeamName);
    if (beamNameTaken(trimmed, index))
        return QStringLiteral("Ya hay una viga llamada \"%1\".").arg(trimmed);
    ProjectBeam& beam = beams_[std::size_t(index)].beam;
    if (beam.input.name == nameOf(trimmed) && beam.description == description) return {};
    beam.input.name = nameOf(trimmed);
    beam.description = description;
    // The name is the design's too (the schedule's heading).
    redesign(index);
    setModified(true);
    emitBeamChanges(index == current_);
    return {};
}

void Project::removeBeam(int index) {
    if (index < 0 || index >= int(beams_.size())) return;
    const QString group = beams_[std::size_t(index)].beam.group;
    beams_.erase(beams_.begin() + index);
    dissolveLoneGroups();
    for (std::size_t i = 0; !group.isEmpty() && i < beams_.size(); ++i)
        if (beams_[i].beam.group == group) {
            redesign(int(i));
            break;
        }
    const bool currentChanged = index <= current_;
    if (index < current_) --current_;
    if (current_ >= int(beams_.size())) current_ = int(beams_.size()) - 1;
    setModified(true);
    emitBeamChanges(currentChanged);
}

void Project::moveBeam(int from, int to) {
    const int count = int(beams_.size());
    if (from < 0 || from >= count || to < 0 || to >= count || from == to) return;
    Beam moving = std::move(beams_[std::size_t(from)]);
    beams_.erase(beams_.begin() + from);
    beams_.insert(beams_.begin() + to, std::move(moving));
    if (current_ == from)
        current_ = to;
    else if (from < current_ && to >= current_)
        --current_;
    else if (from > current_ && to <= current_)
        ++current_;
    setModified(true);
    emitBeamChanges(false);
}

void Project::selectBeam(int index) {
    if (index < 0 || index >= int(beams_.size()) || index == current_) return;
    current_ = index;
    Q_EMIT beamChanged();
}

BeamResult designBeam(const engine::beam::BeamInput& beam) {
    engine::beam::BeamOutcome outcome = engine::beam::designBeam(beam);
    if (auto* design = std::get_if<engine::beam::BeamDesign>(&outcome))
        return {std::move(*design), std::nullopt};
    return {std::nullopt, std::move(std::get<engine::beam::BeamError>(outcome))};
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
    const bool hadBeam = !beams_.empty();
    design_.reset();
    beams_.clear();
    current_ = -1;
    layout_.reset();
    bars_.reset();
    inputs_ = {};
    inputNotANumber_.reset();
    file_ = ProjectFile{};
    path_.clear();
    Q_EMIT inputsChanged();
    Q_EMIT designChanged();
    if (hadLayout) Q_EMIT layoutChanged();
    if (hadBeam) emitBeamChanges(true);
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
    beams_.clear();
    for (const ProjectBeam& beam : file_.beams) beams_.push_back({beam, {}});
    dissolveLoneGroups();
    for (std::size_t i = 0; i < beams_.size(); ++i)
        if (!beams_[i].result.design && !beams_[i].result.error) redesign(int(i));
    current_ = beams_.empty() ? -1 : 0;
    Q_EMIT codeChanged();
    Q_EMIT inputsChanged();
    Q_EMIT designChanged();
    Q_EMIT layoutChanged();
    emitBeamChanges(true);
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
    next.beams.clear();
    for (const Beam& beam : beams_) next.beams.push_back(beam.beam);
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
