#include <QCommandLineOption>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <variant>

#include "commandline.h"
#include "commands.h"
#include "engine/schedule.h"
#include "helptexts.h"

namespace cli {

namespace {

// Large reads and writes: the batch spends its time designing, not in system calls.
constexpr std::size_t readBufferSize = std::size_t{1} << 20;

const QString standardStream = QStringLiteral("-");

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

struct BatchOptions {
    QString input;   // "-" for standard input
    QString output;  // empty or "-" for standard output
    engine::ResultStyle style;
    engine::DesignCode code = engine::DesignCode::Nsr98;
};

std::optional<BatchOptions> readOptions(const QCommandLineParser& parser) {
    const QStringList files = parser.positionalArguments();
    if (files.isEmpty()) {
        printError(
            QStringLiteral("falta el archivo de secciones (o «-» para la entrada estándar)"));
        return std::nullopt;
    }
    if (files.size() > 1) {
        printError(QStringLiteral("argumento de más: %1").arg(files.at(1)));
        return std::nullopt;
    }
    BatchOptions options;
    options.input = files.first();
    options.output = parser.value(QStringLiteral("output"));

    const QString format = parser.value(QStringLiteral("format"));
    if (format == QLatin1String("json")) {
        options.style.format = engine::ResultFormat::JsonLines;
    } else if (format != QLatin1String("csv")) {
        printError(QStringLiteral("formato desconocido: «%1» (csv o json)").arg(format));
        return std::nullopt;
    }
    const auto csv = csvOptions(parser);
    if (!csv) return std::nullopt;
    options.style.delimiter = csv->delimiter;
    options.style.decimalSeparator = csv->decimalSeparator;
    const auto code = codeOption(parser);
    if (!code) return std::nullopt;
    options.code = *code;

    if (options.input != standardStream && !options.output.isEmpty() &&
        options.output != standardStream) {
        const QString in = QFileInfo(options.input).canonicalFilePath();
        if (!in.isEmpty() && in == QFileInfo(options.output).canonicalFilePath()) {
            printError(QStringLiteral("la salida no puede ser el mismo archivo de entrada"));
            return std::nullopt;
        }
    }
    return options;
}

// Thrown by the results sink when the output cannot be written: the batch stops there.
struct OutputFailure {
    int error;
};

// The results' destination, opened at the first write, so that a batch stopped by its header
// leaves no file behind.
class ResultsOutput {
  public:
    explicit ResultsOutput(const QString& path) : path_(path) {}

    void write(std::string_view text) {
        if (!stream_) open();
        if (std::fwrite(text.data(), 1, text.size(), stream_) != text.size())
            throw OutputFailure{errno};
    }

    // Flushes and closes; the error number when that fails, else 0.
    int finish() {
        if (!stream_) return 0;
        const int flushed = std::fflush(stream_) == 0 ? 0 : errno;
        const int failed = std::ferror(stream_) ? (errno ? errno : EIO) : 0;
        if (file_) {
            std::FILE* file = file_.release();
            if (std::fclose(file) != 0 && !flushed) return errno;
        }
        return flushed ? flushed : failed;
    }

  private:
    void open() {
        if (path_.isEmpty() || path_ == standardStream) {
            stream_ = stdout;
            return;
        }
        file_.reset(std::fopen(QFile::encodeName(path_).constData(), "wb"));
        if (!file_) throw OutputFailure{errno};
        stream_ = file_.get();
    }

    QString path_;
    File file_;
    std::FILE* stream_ = nullptr;
};

void printWriteError(const QString& output, int error) {
    printError(
        QStringLiteral("no se puede escribir «%1»: %2")
            .arg(output.isEmpty() ? QStringLiteral("salida estándar") : output, fileErrorText(error)));
}

int designSchedule(const BatchOptions& options) {
    const bool fromStandardInput = options.input == standardStream;
    const QString inputName =
        fromStandardInput ? QStringLiteral("entrada estándar") : options.input;
    File file;
    std::FILE* input = stdin;
    if (!fromStandardInput) {
        if (QFileInfo(options.input).isDir()) {
            printError(QStringLiteral("no se puede leer «%1»: es una carpeta").arg(inputName));
            return exitUsage;
        }
        file.reset(std::fopen(QFile::encodeName(options.input).constData(), "rb"));
        if (!file) {
            printError(
                QStringLiteral("no se puede leer «%1»: %2").arg(inputName, fileErrorText(errno)));
            return exitUsage;
        }
        input = file.get();
    }

    int readError = 0;
    engine::csv::Reader reader(
        [input, &readError](char* buffer, std::size_t capacity) {
            const std::size_t got = std::fread(buffer, 1, capacity, input);
            if (got == 0 && std::ferror(input)) readError = errno ? errno : EIO;
            return got;
        },
        options.style.delimiter, readBufferSize);

    ResultsOutput output(options.output);
    const std::string diagnosticPrefix = inputName.toStdString() + ": ";
    std::variant<engine::BatchCounts, std::string> outcome;
    try {
        outcome = engine::runSchedule(
            reader, options.style, sectionDesigner(options.code),
            [&output](std::string_view text) { output.write(text); },
            [&diagnosticPrefix](std::string_view line) {
                writeError(diagnosticPrefix + std::string(line));
            });
    } catch (const OutputFailure& failure) {
        printWriteError(options.output, failure.error);
        return exitUsage;
    }
    if (readError != 0) {
        printError(QStringLiteral("error al leer «%1»: %2").arg(inputName, fileErrorText(readError)));
        return exitUsage;
    }
    if (const int error = output.finish()) {
        printWriteError(options.output, error);
        return exitUsage;
    }
    if (const auto* message = std::get_if<std::string>(&outcome)) {
        printError(QStringLiteral("%1: %2").arg(inputName, QString::fromStdString(*message)));
        return exitUsage;
    }
    const auto counts = std::get<engine::BatchCounts>(outcome);
    if (counts.failed == 0) return exitSuccess;
    printError(QStringLiteral("%1 de %2 filas no se pudieron diseñar")
                   .arg(counts.failed)
                   .arg(counts.failed + counts.designed));
    return exitFailed;
}

}  // namespace

int runBatch(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.addOption(QCommandLineOption({QStringLiteral("o"), QStringLiteral("output")}, QString(),
                                        QStringLiteral("salida")));
    parser.addOption(QCommandLineOption(QStringLiteral("format"), QString(),
                                        QStringLiteral("formato"), QStringLiteral("csv")));
    addCsvOptions(parser);
    addCodeOption(parser);
    const QString command = QStringLiteral("batch");
    if (!parseCommandLine(parser, arguments, command)) return exitUsage;
    if (helpRequested(parser)) {
        writeOut(help::batch);
        return exitSuccess;
    }
    const auto options = readOptions(parser);
    if (!options) return exitUsage;
    return designSchedule(*options);
}

}  // namespace cli
