#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "commandline.h"
#include "commands.h"
#include "engine/capacity.h"
#include "engine/layout.h"
#include "engine/run.h"
#include "helptexts.h"
#include "project/projectfile.h"

namespace cli {

namespace {

// The bars saved with the project, read back by the layout engine.
struct SavedBars {
    engine::Arrangement tension;
    engine::Arrangement compression;  // no layers when there is no compression steel
};

// None after printing which saved layer cannot be read.
std::optional<SavedBars> readSavedBars(const project::Arrangement& saved, const QString& path) {
    SavedBars bars;
    const auto read = [&path](const QString& text, engine::Arrangement& into) {
        const engine::ParsedLayer parsed = engine::parseLayer(text.toStdString());
        if (!parsed.ok()) {
            printError(QStringLiteral("«%1»: las barras guardadas «%2» no se entienden: %3")
                           .arg(path, text, QString::fromStdString(parsed.error)));
            return false;
        }
        into.layers.push_back(parsed.layer);
        return true;
    };
    for (const QString& layer : saved.tensionLayers) {
        if (!read(layer, bars.tension)) return std::nullopt;
    }
    if (!saved.compression.isEmpty() && !read(saved.compression, bars.compression))
        return std::nullopt;
    return bars;
}

// The saved bars placed in the section and checked, as the layout window shows them; whether
// the section passes.
bool appendBarsCheck(std::string& text, const SavedBars& bars,
                     const engine::LayoutSettings& settings, const engine::DesignInput& input,
                     const engine::DesignRun& run) {
    const engine::Placement tension =
        engine::placeBars(bars.tension, engine::Face::Tension, settings, input.b, input.h);
    appendLines(text,
                engine::placementLines(bars.tension, tension, engine::Face::Tension, run.d(), '.'));
    engine::Placement compression;
    if (!bars.compression.layers.empty()) {
        compression = engine::placeBars(bars.compression, engine::Face::Compression, settings,
                                        input.b, input.h);
        appendLines(text, engine::placementLines(bars.compression, compression,
                                                 engine::Face::Compression, input.dSecond, '.'));
    }
    const std::vector<engine::SteelLayer> tensionSteel = engine::steelLayers(tension);
    const std::vector<engine::SteelLayer> compressionSteel = engine::steelLayers(compression);
    const auto capacity = engine::checkCapacity({run.code(), input.b, input.h, input.fc, input.fy,
                                                 input.mu, tensionSteel, compressionSteel});
    if (!capacity) {
        printError(QStringLiteral("las barras guardadas no se pueden revisar en esta sección"));
        return false;
    }
    appendLines(text, engine::capacityLines(*capacity, run.code(), '.'));
    return capacity->passes;
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
    const project::ReadResult read = project::readProject(path);
    if (!read.project) {
        printError(read.error);
        return exitUsage;
    }
    const project::Project& saved = *read.project;
    std::optional<SavedBars> bars;
    if (saved.arrangement && !saved.arrangement->tensionLayers.isEmpty()) {
        bars = readSavedBars(*saved.arrangement, path);
        if (!bars) return exitUsage;
    }

    const engine::DesignInput input = engine::designInput(saved.inputs.values);
    // The project's own code: a file designed under one code is reported under it.
    const engine::RunOutcome outcome = sectionDesigner(saved.code)(input);
    if (const auto* error = std::get_if<engine::DesignError>(&outcome)) {
        writeError(std::string(engine::designErrorMessage(*error)) + '\n');
        return exitFailed;
    }
    const engine::DesignRun& run = std::get<engine::DesignRun>(outcome);
    std::string text = terminalText(engine::resultsReport(run, '.'));
    bool passes = true;
    if (bars) {
        text.push_back('\n');
        passes =
            appendBarsCheck(text, *bars, project::savedLayoutSettings(saved.layout), input, run);
    }
    writeOut(text);
    return passes ? exitSuccess : exitFailed;
}

}  // namespace cli
