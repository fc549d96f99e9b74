#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "commandline.h"
#include "commands.h"
#include "engine/barscheck.h"
#include "engine/beam/beamtext.h"
#include "engine/beam/checktext.h"
#include "engine/layout.h"
#include "engine/run.h"
#include "helptexts.h"
#include "project/project.h"

namespace cli {

namespace {

// The saved bars placed in the section and checked, as the layout window shows them; whether
// the section passes.
bool appendBarsCheck(std::string& text, const project::ChosenBars& bars,
                     const engine::LayoutSettings& settings,
                     const engine::CompletedDesign& design) {
    const engine::BarsCheck check =
        engine::checkBars(bars.tension, bars.compression, settings, design, '.');
    if (!check.capacity) {
        printError(QStringLiteral("las barras guardadas no se pueden revisar en esta sección"));
        return false;
    }
    appendLines(text, check.lines);
    return check.capacity->passes;
}

}  // namespace

int runOpen(const QStringList& arguments) {
    QCommandLineParser parser;
    const QString command = QStringLiteral("open");
    if (!parseCommandLine(parser, arguments, command)) return exitUsage;
    if (helpRequested(parser)) {
        writeOut(help::open);
        return exitSuccess;
    }
    const QStringList files = parser.positionalArguments();
    if (files.isEmpty()) {
        printError(QStringLiteral("falta el archivo del proyecto"));
        return exitUsage;
    }
    if (files.size() > 1) {
        printError(QStringLiteral("argumento de más: %1").arg(files.at(1)));
        return exitUsage;
    }
    const QString path = files.first();
    project::Project saved;
    if (const QString error = saved.open(path); !error.isEmpty()) {
        printError(error);
        return exitUsage;
    }
    if (const QString refused = project::inputOutOfFieldRange(path, saved.inputs());
        !refused.isEmpty()) {
        printError(refused);
        return exitUsage;
    }
    const engine::DesignInput input = engine::designInput(saved.inputs().values);
    // The project's own code: a file designed under one code is reported under it.
    const engine::RunOutcome outcome = sectionDesigner(saved.code())(input);
    if (const auto* error = std::get_if<engine::DesignError>(&outcome))
        return reportDesignError(*error, input);
    const engine::DesignRun& run = std::get<engine::DesignRun>(outcome);
    // The saved bars are checked as saved, in the section designed from the saved inputs.
    const std::optional<project::ChosenBars> bars = saved.bars();
    std::string text = terminalText(engine::resultsReport(run, '.'));
    bool passes = true;
    if (bars) {
        text.push_back('\n');
        passes = appendBarsCheck(text, *bars, saved.layoutSettings(),
                                 engine::CompletedDesign{input, run});
    }
    // The beam, when the file has one: its schedule and checks after the section.
    if (saved.beam()) {
        text.push_back('\n');
        if (!saved.beamDesign()) {
            // As quintaral-cli beam: an input no beam can have is bad input, a beam no bars
            // satisfy a failed design.
            const engine::beam::BeamError& error = *saved.beamError();
            writeOut(text);
            printError(path + QStringLiteral(": ") +
                       QString::fromStdString(engine::beam::errorText(error, '.')));
            return error.kind == engine::beam::BeamErrorKind::Input ? exitUsage : exitFailed;
        }
        text += engine::beam::scheduleText(*saved.beamDesign(), '.');
        passes = passes && saved.beamDesign()->passes;
    }
    writeOut(text);
    return passes ? exitSuccess : exitFailed;
}

}  // namespace cli
