#include <QCommandLineOption>
#include <array>
#include <string>
#include <variant>

#include "commandline.h"
#include "commands.h"
#include "engine/run.h"
#include "helptexts.h"

namespace cli {

int runDesign(const QStringList& arguments) {
    // The design input in order, named as the schedule's columns are.
    std::array<QString, 7> names;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string_view column = engine::scheduleColumns[i + 1];
        names[i] = QString::fromUtf8(column.data(), static_cast<qsizetype>(column.size()));
    }
    QCommandLineParser parser;
    for (const QString& name : names)
        parser.addOption(QCommandLineOption(name, QString(), QStringLiteral("valor")));
    addCodeOption(parser);
    const QString command = QStringLiteral("design");
    if (const auto status = parseOptions(parser, arguments, command, help::design)) return *status;
    const auto numbers = numberOptions(parser, names);
    const auto code = codeOption(parser);
    if (!numbers || !code) return exitUsage;
    const std::array<double, 7>& values = *numbers;

    const engine::DesignInput input = engine::designInput(values);
    const engine::RunOutcome outcome = sectionDesigner(*code)(input);
    if (const auto* error = std::get_if<engine::DesignError>(&outcome))
        return reportDesignError(*error, input);
    writeOut(terminalText(engine::resultsReport(std::get<engine::DesignRun>(outcome), '.')));
    return exitSuccess;
}

}  // namespace cli
