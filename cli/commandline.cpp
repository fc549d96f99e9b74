#include "commandline.h"

#include <QCommandLineOption>
#include <cerrno>
#include <cstdio>
#include <cstring>

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

QString fileErrorText(int error) {
    switch (error) {
        case ENOENT:
            return QStringLiteral("no existe");
        case EACCES:
            return QStringLiteral("permiso denegado");
        case EISDIR:
            return QStringLiteral("es una carpeta");
        case ENOSPC:
            return QStringLiteral("no queda espacio en el disco");
        default:
            return QString::fromLocal8Bit(std::strerror(error));
    }
}

namespace {

const QString delimiterOptionName = QStringLiteral("delimiter");
const QString decimalCommaOptionName = QStringLiteral("decimal-comma");

std::optional<char> delimiterFrom(const QString& text, char decimalSeparator) {
    if (text == QLatin1String("tab") || text == QLatin1String("\\t")) return '\t';
    if (text.size() != 1 || text.front().unicode() >= 0x80) return std::nullopt;
    const char c = text.front().toLatin1();
    // Nothing a quoted field or a number (exponents included) is made of.
    if (c == '"' || c == '\r' || c == '\n' || (c >= '0' && c <= '9') || c == '.' || c == '+' ||
        c == '-' || c == 'e' || c == 'E' || c == decimalSeparator)
        return std::nullopt;
    return c;
}

}  // namespace

void addCsvOptions(QCommandLineParser& parser) {
    parser.addOption(
        QCommandLineOption(delimiterOptionName, QString(), QStringLiteral("separador")));
    parser.addOption(QCommandLineOption(decimalCommaOptionName));
}

std::optional<CsvStyle> csvOptions(const QCommandLineParser& parser) {
    CsvStyle style;
    const bool decimalComma = parser.isSet(decimalCommaOptionName);
    style.decimalSeparator = decimalComma ? ',' : '.';
    const QString delimiterText = parser.isSet(delimiterOptionName)
                                      ? parser.value(delimiterOptionName)
                                      : QString(QLatin1Char(decimalComma ? ';' : ','));
    const auto delimiter = delimiterFrom(delimiterText, style.decimalSeparator);
    if (!delimiter) {
        printError(QStringLiteral("separador de campos no válido: «%1»").arg(delimiterText));
        return std::nullopt;
    }
    style.delimiter = *delimiter;
    return style;
}

engine::Designer sectionDesigner(engine::DesignCode code) {
    return [code](const engine::DesignInput& input) { return engine::runDesign(input, code); };
}

}  // namespace cli
