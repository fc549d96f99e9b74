#include <QCoreApplication>
#include <QStringList>

#include "commandline.h"
#include "commands.h"
#include "helptexts.h"
#include "quintaral/version.h"

namespace {

struct Command {
    const char* name;
    int (*run)(const QStringList& arguments);
};

constexpr Command commands[] = {
    {"design", cli::runDesign},
    {"batch", cli::runBatch},
    {"check", cli::runCheck},
    {"open", cli::runOpen},
    {"beam", cli::runBeam},
    {"beams", cli::runBeams},
};

}  // namespace

namespace {

int runCommand(const QStringList& givenArguments) {
    QStringList arguments = givenArguments;
    if (arguments.size() < 2) {
        cli::writeError(cli::help::general);
        return cli::exitUsage;
    }
    const QString first = arguments.at(1);
    if (first == QLatin1String("--help") || first == QLatin1String("-help") ||
        first == QLatin1String("-h") || first == QLatin1String("help")) {
        cli::writeOut(cli::help::general);
        return cli::exitSuccess;
    }
    if (first == QLatin1String("--version") || first == QLatin1String("-version")) {
        cli::writeOut("quintaral-cli " QUINTARAL_VERSION "\n");
        return cli::exitSuccess;
    }
    for (const Command& command : commands) {
        if (first != QLatin1String(command.name)) continue;
        arguments.removeAt(1);
        return command.run(arguments);
    }
    cli::printError(QStringLiteral("orden desconocida: %1").arg(first));
    cli::writeError("Use «quintaral-cli --help» para ver las órdenes.\n");
    return cli::exitUsage;
}

}  // namespace

int main(int argc, char* argv[]) {
    cli::guardStandardOutput();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quintaral-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUINTARAL_VERSION));
    // Every command's output is checked once here: a failed write is an error, not success.
    return cli::checkedExit(runCommand(QCoreApplication::arguments()));
}
