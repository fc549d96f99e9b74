#include "printtools.h"

#include <pwd.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <algorithm>

QStringList visible(const QStringList& lines) {
    QStringList out;
    for (const QString& line : lines) {
        QString trimmed = line;
        while (!trimmed.isEmpty() && trimmed.back().isSpace()) trimmed.chop(1);
        out << trimmed;
    }
    while (!out.isEmpty() && out.back().isEmpty()) out.removeLast();
    return out;
}

ToolRun runTool(const QString& program, const QStringList& arguments,
                const QProcessEnvironment& environment, const QByteArray& input, int timeoutMs) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForStarted(5000)) return {false, program + QStringLiteral(" did not start")};
    if (!input.isEmpty()) process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(1000);
        return {false, program + QStringLiteral(" did not finish")};
    }
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return {false, QStringLiteral("%1 failed (%2): %3%4")
                           .arg(program)
                           .arg(process.exitCode())
                           .arg(QString::fromUtf8(process.readAllStandardError()), out)};
    return {true, out};
}

// Page breaks removed. The report is set in a 10 pt fixed-pitch face, 6 pt a character, so
// with -fixed 6 a column of the page is a character of a line.
ToolRun pdfText(const QString& pdf) {
    ToolRun run =
        runTool(QStringLiteral("pdftotext"),
                {QStringLiteral("-layout"), QStringLiteral("-fixed"), QStringLiteral("6"),
                 QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    if (run.ok) run.output.remove(QLatin1Char('\f'));
    return run;
}

QStringList textLines(const QString& text) {
    QStringList lines = visible(text.split(QLatin1Char('\n')));
    qsizetype margin = -1;
    for (const QString& line : lines) {
        if (line.isEmpty()) continue;
        qsizetype indent = 0;
        while (line.at(indent) == QLatin1Char(' ')) ++indent;
        margin = margin < 0 ? indent : std::min(margin, indent);
    }
    for (QString& line : lines) line.remove(0, std::max<qsizetype>(margin, 0));
    return lines;
}

int pdfPages(const QString& pdf) {
    const ToolRun info = runTool(QStringLiteral("pdfinfo"), {pdf});
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)"), QRegularExpression::MultilineOption)
            .match(info.output);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QString findProgram(const QString& name) {
    QString path = QStandardPaths::findExecutable(name);
    if (path.isEmpty())
        path = QStandardPaths::findExecutable(
            name, {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/local/sbin"),
                   QStringLiteral("/sbin")});
    return path;
}

namespace {

// Everything of the scheduler lives under %1; only the socket is listened on.
const char* const cupsFilesConf = R"(ServerRoot %1/etc
RequestRoot %1/spool
TempDir %1/spool/tmp
CacheDir %1/cache
StateDir %1/state
AccessLog %1/log/access_log
ErrorLog %1/log/error_log
PageLog %1/log/page_log
FileDevice No
)";

// Anyone connecting to the private socket may do anything, the administration included.
const char* const cupsdConf = R"(LogLevel debug
Listen %1
Browsing Off
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
)";

}  // namespace

PrivateScheduler::~PrivateScheduler() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.terminate();
    if (!process_.waitForFinished(5000)) {
        process_.kill();
        process_.waitForFinished(2000);
    }
}

QProcessEnvironment PrivateScheduler::clientEnvironment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("CUPS_SERVER"), socket());
    env.remove(QStringLiteral("CUPS_USER"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return env;
}

QString PrivateScheduler::start(const QString& cupsd, const QString& lpstat) {
    for (const char* sub : {"etc", "spool/tmp", "cache", "state", "log"})
        if (!QDir().mkpath(root_ + QLatin1Char('/') + QLatin1String(sub)))
            return QStringLiteral("cannot create ") + QLatin1String(sub);
    // Filters run as the scheduler's unprivileged user and must reach the spool.
    QFile::setPermissions(root_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                     QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                     QFile::ExeOther);
    if (!write(QStringLiteral("cups-files.conf"), QString::fromUtf8(cupsFilesConf).arg(root_)) ||
        !write(QStringLiteral("cupsd.conf"), QString::fromUtf8(cupsdConf).arg(socket())))
        return QStringLiteral("cannot write the scheduler's configuration");

    process_.setProcessChannelMode(QProcess::MergedChannels);
    process_.start(
        cupsd, {QStringLiteral("-f"), QStringLiteral("-c"), root_ + QStringLiteral("/cupsd.conf"),
                QStringLiteral("-s"), root_ + QStringLiteral("/cups-files.conf")});
    if (!process_.waitForStarted(5000)) return QStringLiteral("cupsd did not start");

    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        if (process_.state() == QProcess::NotRunning)
            return QStringLiteral("cupsd exited (%1): %2%3")
                .arg(process_.exitCode())
                .arg(QString::fromLocal8Bit(process_.readAll()), errorLogTail());
        if (QFileInfo::exists(socket()) &&
            runTool(lpstat, {QStringLiteral("-r")}, clientEnvironment(), {}, 3000).ok)
            return {};
        QThread::msleep(100);
    }
    return QStringLiteral("cupsd did not answer within 10 s: ") + errorLogTail();
}

QString PrivateScheduler::errorLogTail() const {
    QFile log(root_ + QStringLiteral("/log/error_log"));
    if (!log.open(QIODevice::ReadOnly)) return {};
    const QList<QByteArray> lines = log.readAll().split('\n');
    QStringList tail;
    for (qsizetype i = std::max<qsizetype>(0, lines.size() - 40); i < lines.size(); ++i)
        if (lines[i].startsWith("E ") || lines[i].contains("[Job"))
            tail << QString::fromLocal8Bit(lines[i]);
    return QStringLiteral("\n") + tail.join(QLatin1Char('\n'));
}

bool PrivateScheduler::write(const QString& name, const QString& text) const {
    QFile file(root_ + QLatin1Char('/') + name);
    return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) >= 0;
}

QString cupsPdfOutputFolder() {
    QString out = QStringLiteral("/var/spool/cups-pdf/${USER}");
    QFile conf(QStringLiteral("/etc/cups/cups-pdf.conf"));
    if (conf.open(QIODevice::ReadOnly)) {
        static const QRegularExpression setting(QStringLiteral("^\\s*Out\\s+(\\S.*?)\\s*$"));
        for (const QByteArray& line : conf.readAll().split('\n')) {
            const QRegularExpressionMatch m = setting.match(QString::fromLocal8Bit(line));
            if (m.hasMatch()) out = m.captured(1);
        }
    }
    const passwd* user = getpwuid(geteuid());
    if (!user) return {};
    out.replace(QStringLiteral("${HOME}"), QString::fromLocal8Bit(user->pw_dir));
    out.replace(QStringLiteral("${USER}"), QString::fromLocal8Bit(user->pw_name));
    return out;
}
