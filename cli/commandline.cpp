#include "commandline.h"

#include <QCommandLineOption>
#include <cstdio>

#include "engine/numbers.h"

namespace cli {

namespace {

void write(std::FILE* stream, std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stream);
}

void printHelpPointer(const QString& command) {
    writeError(QStringLiteral("Use «quintaral-cli %1 --help» para ver la ayuda.\n")
                   .arg(command)
                   .toStdString());
}

}  // namespace

void writeOut(std::string_view text) {
    write(stdout, text);
}

void writeError(std::string_view text) {
    write(stderr, text);
}

std::string terminalText(std::string_view report) {
    std::string text;
    text.reserve(report.size() + 1);
    for (const char c : report) {
        if (c != '\r') text.push_back(c);
    }
    text.push_back('\n');
    return text;
}

void appendLines(std::string& text, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        text += line;
        text += '\n';
    }
}

void printError(const QString& text) {
    writeError((QStringLiteral("quintaral-cli: ") + text + QLatin1Char('\n')).toStdString());
}

bool parseCommandLine(QCommandLineParser& parser, const QStringList& arguments,
                      const QString& command) {
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption(QCommandLineOption(QStringLiteral("help")));
    if (parser.parse(arguments)) return true;
    const QStringList unknown = parser.unknownOptionNames();
    QString reason;
    if (!unknown.isEmpty()) {
        reason = QStringLiteral("opción desconocida: --%1").arg(unknown.first());
    } else if (arguments.size() > 1 && arguments.last().startsWith(QLatin1Char('-'))) {
        // The parser's one other complaint: an option that takes a value ends the line.
        reason = QStringLiteral("falta el valor de %1").arg(arguments.last());
    } else {
        reason = QStringLiteral("argumentos no válidos");
    }
    printError(reason);
    printHelpPointer(command);
    return false;
}

bool helpRequested(const QCommandLineParser& parser) {
    return parser.isSet(QStringLiteral("help"));
}

std::optional<int> parseOptions(QCommandLineParser& parser, const QStringList& arguments,
                                const QString& command, std::string_view help) {
    if (!parseCommandLine(parser, arguments, command)) return exitUsage;
    if (helpRequested(parser)) {
        writeOut(help);
        return exitSuccess;
    }
    if (!parser.positionalArguments().isEmpty()) {
        printError(
            QStringLiteral("argumento de más: %1").arg(parser.positionalArguments().first()));
        return exitUsage;
    }
    return std::nullopt;
}

std::optional<double> numberOption(const QCommandLineParser& parser, const QString& name) {
    if (!parser.isSet(name)) {
        printError(QStringLiteral("falta la opción --%1").arg(name));
        return std::nullopt;
    }
    const QString text = parser.value(name);
    const auto value = engine::parseNumber(text.toStdString(), '.');
    if (!value)
        printError(QStringLiteral("el valor de --%1 no es un número: «%2»").arg(name, text));
    return value;
}

namespace {
const QString codeOptionName = QStringLiteral("code");
}  // namespace

void addCodeOption(QCommandLineParser& parser) {
    parser.addOption(QCommandLineOption(codeOptionName, QString(), QStringLiteral("norma")));
}

std::optional<engine::DesignCode> codeOption(const QCommandLineParser& parser) {
    if (!parser.isSet(codeOptionName)) return engine::DesignCode::Nsr98;
    // Any letter case: "nsr-10" names NSR-10 as well.
    const auto code =
        engine::codeFromName(parser.value(codeOptionName).trimmed().toUpper().toStdString());
    if (code) return code;
    printError(QStringLiteral("norma desconocida: «%1» (NSR-98 o NSR-10)")
                   .arg(parser.value(codeOptionName)));
    return std::nullopt;
}

engine::Designer sectionDesigner(engine::DesignCode code) {
    return [code](const engine::DesignInput& input) { return engine::runDesign(input, code); };
}

}  // namespace cli
