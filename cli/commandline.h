#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/code.h"
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
// The text as it is (UTF-8) on standard output or standard error.
void writeOut(std::string_view text);
void writeError(std::string_view text);

// A report as a terminal shows it: the CR LF line breaks the window uses as LF, and a LF after
// the last line.
std::string terminalText(std::string_view report);
// Each line followed by a LF.
void appendLines(std::string& text, const std::vector<std::string>& lines);

// Parses a command's arguments (the first is the program). Options are named with one dash
// or two (-fc or --fc). False after printing why the arguments are wrong, with a pointer to
// the command's help.
bool parseCommandLine(QCommandLineParser& parser, const QStringList& arguments,
                      const QString& command);

// True when the arguments ask for help; the help option is added by parseCommandLine.
bool helpRequested(const QCommandLineParser& parser);

// Parses the arguments of a command that takes options and no other argument. The exit status
// to end with when the command should not run (its help was printed, or why the arguments are
// wrong); none when it should.
std::optional<int> parseOptions(QCommandLineParser& parser, const QStringList& arguments,
                                const QString& command, std::string_view help);

// A number typed after an option, always with a decimal point; none after printing why not.
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

// Why a file could not be read or written, for an errno value: Spanish for the usual ones.
QString fileErrorText(int error);

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

}  // namespace cli
