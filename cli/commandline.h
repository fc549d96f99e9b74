#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/code.h"
#include "engine/csv.h"
#include "engine/schedule.h"

// What every command of quintaral-cli shares: exit statuses, messages, option parsing.
namespace cli {

enum ExitStatus {
    exitSuccess = 0,  // everything designed
    exitUsage = 1,    // bad arguments, or a file that cannot be read or written
    exitFailed = 2,   // a section could not be designed
};

// "quintaral-cli: <text>" and a line break on standard error.
void printError(const QString& text);

// Why a file operation failed, in Spanish, for an errno value.
QString systemErrorText(int error);
// "no se puede escribir «<output>»: <reason>"; an empty output names standard output.
void printWriteError(const QString& output, int error);

// A CSV file a command reads, "-" for standard input, record by record. Opening it prints why
// it cannot be read: "no se puede leer «<file>»: <reason>".
class CsvFile {
  public:
    explicit CsvFile(const QString& path);

    bool isOpen() const { return stream_ != nullptr; }
    // The path, or "entrada estándar", as the messages name the file.
    const QString& name() const { return name_; }

    // A reader of the file; it must not outlive this object.
    engine::csv::Reader reader(char delimiter, std::size_t bufferSize = std::size_t{1} << 16);

    // After reading: false after printing "error al leer «<file>»: <reason>", if reading failed.
    bool readWell() const;

  private:
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    QString name_;
    std::unique_ptr<std::FILE, Closer> file_;
    std::FILE* stream_ = nullptr;
    int readError_ = 0;
};

// Called first in main: a closed standard output is held by a descriptor that refuses writes,
// so that a file the program opens cannot take its place and writes to it fail as they should.
void guardStandardOutput();
// Called last in main with the command's exit status: flushes standard output and, when any
// write to it failed, says so on standard error and gives exitUsage. A command that failed
// with exitUsage has already said why and keeps its status.
int checkedExit(int status);
// The text as it is (UTF-8) on standard output or standard error.
void writeOut(std::string_view text);
void writeError(std::string_view text);

// A report as a terminal shows it: the CR LF line breaks the window uses as LF, and a LF after
// the last line.
std::string terminalText(std::string_view report);
// Each line followed by a LF.
void appendLines(std::string& text, const std::vector<std::string>& lines);

// Parses a command's arguments (the first is the program). Options are named with one dash
// or two (-fc or --fc); "-h" alone is the help, as "--help" is (a height is "--h"). An option
// given twice is refused unless it is named in `repeatable`. False after printing why the
// arguments are wrong, with a pointer to the command's help.
bool parseCommandLine(QCommandLineParser& parser, const QStringList& arguments,
                      const QString& command, const QStringList& repeatable = {});

// True when the arguments ask for help; the help option is added by parseCommandLine.
bool helpRequested(const QCommandLineParser& parser);

// Parses the arguments of a command that takes options and no other argument. The exit status
// to end with when the command should not run (its help was printed, or why the arguments are
// wrong); none when it should.
std::optional<int> parseOptions(QCommandLineParser& parser, const QStringList& arguments,
                                const QString& command, std::string_view help,
                                const QStringList& repeatable = {});

// A number typed as a command-line value: always with a decimal point, an exponent allowed
// (30e0, 1.5E+01).
std::optional<double> commandLineNumber(const QString& text);

// A number typed after an option (see commandLineNumber); none after printing why not.
std::optional<double> numberOption(const QCommandLineParser& parser, const QString& name);

// The numbers typed after each of the named options, in order; none after printing what is
// wrong with every one that is missing or not a number.
template <std::size_t N>
std::optional<std::array<double, N>> numberOptions(const QCommandLineParser& parser,
                                                   const std::array<QString, N>& names) {
    std::array<double, N> values{};
    bool allNumbers = true;
    for (std::size_t i = 0; i < N; ++i) {
        const auto value = numberOption(parser, names[i]);
        if (value)
            values[i] = *value;
        else
            allNumbers = false;
    }
    if (!allNumbers) return std::nullopt;
    return values;
}

// The --code option (NSR-98 or NSR-10, any letter case), for the commands that design or check.
void addCodeOption(QCommandLineParser& parser);
// The code it names, NSR-98 when it is not given; none after printing why the value is wrong.
std::optional<engine::DesignCode> codeOption(const QCommandLineParser& parser);

// How the CSV files a command reads are written: --delimiter C (a character, or "tab") and
// --decimal-comma (numbers with a decimal comma; the delimiter then defaults to ';').
struct CsvStyle {
    char delimiter = ',';
    char decimalSeparator = '.';
};
void addCsvOptions(QCommandLineParser& parser);
// The style the options ask for; none after printing why the delimiter cannot be used.
std::optional<CsvStyle> csvOptions(const QCommandLineParser& parser);

// The design every command runs under the chosen code: one place for the choice of design.
engine::Designer sectionDesigner(engine::DesignCode code);

// Prints why a section could not be designed: the window's message, and for inputs no section
// can have a second line naming the value and its rule. The exit status: exitUsage for such
// inputs, exitFailed for a section that is merely too small.
int reportDesignError(engine::DesignError error, const engine::DesignInput& input);

}  // namespace cli
