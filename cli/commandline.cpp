#include "commandline.h"

#include <QCommandLineOption>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

#include "engine/numbers.h"
#include "engine/run.h"
#include "engine/schedule.h"

namespace cli {

namespace {

// The first error a write to standard output met, for the report at the end.
int outputError = 0;

void write(std::FILE* stream, std::string_view text) {
    if (std::fwrite(text.data(), 1, text.size(), stream) != text.size() && stream == stdout &&
        outputError == 0)
        outputError = errno ? errno : EIO;
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

// Messages may quote what a file holds: never a control character raw to the terminal.
void writeError(std::string_view text) {
    write(stderr, engine::printableText(text));
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

QString systemErrorText(int error) {
    switch (error) {
        case ENOENT:
            return QStringLiteral("no existe");
        case EACCES:
            return QStringLiteral("permiso denegado");
        case EISDIR:
            return QStringLiteral("es una carpeta");
        case ENOSPC:
            return QStringLiteral("no queda espacio en el disco");
        case EBADF:
            return QStringLiteral("está cerrada");
        default:
            return QString::fromLocal8Bit(std::strerror(error));
    }
}

void printWriteError(const QString& output, int error) {
    printError(QStringLiteral("no se puede escribir «%1»: %2")
                   .arg(output.isEmpty() || output == QLatin1String("-")
                            ? QStringLiteral("salida estándar")
                            : output,
                        systemErrorText(error)));
}

CsvFile::CsvFile(const QString& path)
    : name_(path == QLatin1String("-") ? QStringLiteral("entrada estándar") : path) {
    if (path == QLatin1String("-")) {
        stream_ = stdin;
        return;
    }
    if (QFileInfo(path).isDir()) {
        printError(QStringLiteral("no se puede leer «%1»: es una carpeta").arg(name_));
        return;
    }
    file_.reset(std::fopen(QFile::encodeName(path).constData(), "rb"));
    if (!file_)
        printError(QStringLiteral("no se puede leer «%1»: %2").arg(name_, systemErrorText(errno)));
    stream_ = file_.get();
}

engine::csv::Reader CsvFile::reader(char delimiter, std::size_t bufferSize) {
    return engine::csv::Reader(
        [this](char* buffer, std::size_t capacity) {
            const std::size_t got = std::fread(buffer, 1, capacity, stream_);
            if (got == 0 && std::ferror(stream_)) readError_ = errno ? errno : EIO;
            return got;
        },
        delimiter, bufferSize);
}

bool CsvFile::readWell() const {
    if (readError_ == 0) return true;
    printError(QStringLiteral("error al leer «%1»: %2").arg(name_, systemErrorText(readError_)));
    return false;
}

void guardStandardOutput() {
    for (const int stream : {STDOUT_FILENO, STDERR_FILENO}) {
        if (fcntl(stream, F_GETFD) != -1 || errno != EBADF) continue;
        const int placeholder = open("/dev/null", O_RDONLY | O_CLOEXEC);
        if (placeholder < 0) continue;
        if (placeholder != stream) {
            dup2(placeholder, stream);
            close(placeholder);
        }
    }
}

int checkedExit(int status) {
    errno = 0;
    if (std::fflush(stdout) != 0 && outputError == 0) outputError = errno ? errno : EIO;
    if (std::ferror(stdout) && outputError == 0) outputError = EIO;
    if (outputError == 0 || status == exitUsage) return status;
    printWriteError(QString(), outputError);
    return exitUsage;
}

bool parseCommandLine(QCommandLineParser& parser, const QStringList& givenArguments,
                      const QString& command, const QStringList& repeatable) {
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption(QCommandLineOption(QStringLiteral("help")));
    // "-h" is the help everywhere; read as a long option it would be the height's "--h".
    QStringList arguments = givenArguments;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments.at(i) == QLatin1String("-h")) arguments[i] = QStringLiteral("--help");
    }
    if (parser.parse(arguments)) {
        const QStringList found = parser.optionNames();
        for (const QString& name : found) {
            if (repeatable.contains(name)) continue;
            // values() gathers an option's values under all its names (-o and --output).
            if (found.count(name) < 2 && parser.values(name).size() < 2) continue;
            printError(QStringLiteral("la opción --%1 se da más de una vez; dé cada opción una "
                                      "sola vez")
                           .arg(name));
            printHelpPointer(command);
            return false;
        }
        return true;
    }
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
                                const QString& command, std::string_view help,
                                const QStringList& repeatable) {
    if (!parseCommandLine(parser, arguments, command, repeatable)) return exitUsage;
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

std::optional<double> commandLineNumber(const QString& text) {
    return engine::parseNumber(text.toStdString(), '.', engine::NumberStyle::Scientific);
}

std::optional<double> numberOption(const QCommandLineParser& parser, const QString& name) {
    if (!parser.isSet(name)) {
        printError(QStringLiteral("falta la opción --%1").arg(name));
        return std::nullopt;
    }
    const QString text = parser.value(name);
    const auto value = commandLineNumber(text);
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

int reportDesignError(engine::DesignError error, const engine::DesignInput& input) {
    writeError(std::string(engine::designErrorMessage(error)) + '\n');
    if (!engine::inputError(input)) return exitFailed;
    printError(QString::fromStdString(engine::inputRuleText(input, '.')));
    return exitUsage;
}

}  // namespace cli
