#include <QCommandLineOption>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>
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
    if (parser.isSet(QStringLiteral("output")) && options.output.isEmpty()) {
        printError(
            QStringLiteral("falta el nombre del archivo de salida tras -o (o «-» para la "
                           "salida estándar)"));
        return std::nullopt;
    }

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

// The temporary file being written, removed if a signal ends the program before it is renamed:
// an interrupted batch leaves the old results, or none. A fixed buffer: the handler may only
// call async-signal-safe functions.
char pendingFile[4096] = {};

extern "C" void removePendingFileAndStop(int signal) {
    if (pendingFile[0] != '\0') unlink(pendingFile);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// The results' destination, opened at the first write, so that a batch stopped by its header
// leaves no file behind. A regular file (or a new one) is written through a temporary file in
// its folder, renamed over it only when every result is written; standard output, devices and
// pipes are written directly.
class ResultsOutput {
  public:
    explicit ResultsOutput(const QString& path) : path_(path) {}
    ~ResultsOutput() { discard(); }

    void write(std::string_view text) {
        if (!stream_) open();
        if (std::fwrite(text.data(), 1, text.size(), stream_) != text.size())
            throw OutputFailure{errno ? errno : EIO};
    }

    // Flushes and closes, and puts the written file in place; the error number when that
    // fails, else 0.
    int finish() {
        if (!stream_) return 0;
        errno = 0;
        int error = std::fflush(stream_) == 0 ? 0 : (errno ? errno : EIO);
        if (!error && std::ferror(stream_)) error = EIO;
        if (file_) {
            if (!error && !temporary_.isEmpty() && fsync(fileno(file_.get())) != 0) error = errno;
            std::FILE* file = file_.release();
            if (std::fclose(file) != 0 && !error) error = errno ? errno : EIO;
        }
        if (!temporary_.isEmpty()) {
            if (!error && std::rename(QFile::encodeName(temporary_).constData(),
                                      QFile::encodeName(target_).constData()) != 0)
                error = errno;
            if (error) {
                discard();
            } else {
                temporary_.clear();
                pendingFile[0] = '\0';
            }
        }
        return error;
    }

    // Removes the unfinished temporary file, if any: the old results stay as they were.
    void discard() {
        file_.reset();
        if (temporary_.isEmpty()) return;
        std::remove(QFile::encodeName(temporary_).constData());
        temporary_.clear();
        pendingFile[0] = '\0';
    }

  private:
    void open() {
        if (path_.isEmpty() || path_ == standardStream) {
            stream_ = stdout;
            return;
        }
        const QFileInfo info(path_);
        const auto openDirectly = [this] {
            file_.reset(std::fopen(QFile::encodeName(path_).constData(), "wb"));
            if (!file_) throw OutputFailure{errno};
            stream_ = file_.get();
        };
        if (info.exists() && !info.isFile()) return openDirectly();  // a device or a pipe
        // Through a symbolic link the file it points to is replaced, not the link.
        target_ = info.isSymLink() ? info.canonicalFilePath() : path_;
        if (target_.isEmpty()) target_ = path_;
        QByteArray pattern = QFile::encodeName(target_) + ".XXXXXX";
        if (static_cast<std::size_t>(pattern.size()) >= sizeof pendingFile)
            throw OutputFailure{ENAMETOOLONG};
        mode_t mask = umask(0);
        umask(mask);
        // New results get the usual permissions; replaced ones keep those of the old file.
        struct stat old {};
        const mode_t mode = stat(QFile::encodeName(target_).constData(), &old) == 0
                                ? (old.st_mode & 07777)
                                : (0666 & ~mask);
        // The handlers first: a signal right after the file is made still removes it.
        for (const int signal : {SIGINT, SIGTERM, SIGHUP})
            std::signal(signal, removePendingFileAndStop);
        std::memcpy(pendingFile, pattern.constData(), static_cast<std::size_t>(pattern.size()) + 1);
        const int descriptor = mkstemp(pendingFile);
        if (descriptor < 0) {
            const int error = errno;
            pendingFile[0] = '\0';
            // A file that may be written in a folder that may not: written in place.
            if (error == EACCES && info.exists()) return openDirectly();
            throw OutputFailure{error};
        }
        temporary_ = QFile::decodeName(pendingFile);
        fchmod(descriptor, mode);
        file_.reset(fdopen(descriptor, "wb"));
        if (!file_) {
            const int error = errno;
            close(descriptor);
            discard();
            throw OutputFailure{error};
        }
        stream_ = file_.get();
    }

    QString path_;
    QString target_;     // the file the results replace
    QString temporary_;  // the file being written, renamed to target_ at the end
    File file_;
    std::FILE* stream_ = nullptr;
};

int designSchedule(const BatchOptions& options) {
    CsvFile input(options.input);
    if (!input.isOpen()) return exitUsage;
    engine::csv::Reader reader = input.reader(options.style.delimiter, readBufferSize);

    ResultsOutput output(options.output);
    const std::string diagnosticPrefix = input.name().toStdString() + ": ";
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
    if (!input.readWell()) return exitUsage;
    if (const auto* message = std::get_if<std::string>(&outcome)) {
        // A batch that stopped part way replaces no earlier results.
        output.discard();
        printError(QStringLiteral("%1: %2").arg(input.name(), QString::fromStdString(*message)));
        return exitUsage;
    }
    if (const int error = output.finish()) {
        printWriteError(options.output, error);
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
