#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// Tools of the print tests: running the poppler and CUPS command-line programs, reading a PDF
// back as text, and a CUPS scheduler of the test's own.

struct ToolRun {
    bool ok = false;
    QString output;  // standard output, or what went wrong
};

ToolRun runTool(const QString& program, const QStringList& arguments,
                const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment(),
                const QByteArray& input = {}, int timeoutMs = 20000);

// A program by name, looked up also in the sbin folders, which are not on every PATH.
QString findProgram(const QString& name);

// What a report looks like once printed and read back: trailing blanks and trailing empty
// lines are not ink.
QStringList visible(const QStringList& lines);

// The text of a PDF as `pdftotext -layout` lays it out.
ToolRun pdfText(const QString& pdf);

// The printed lines of pdfText's output: the left margin that all lines share is removed, and
// what visible() drops.
QStringList textLines(const QString& text);

// The page count pdfinfo reports, or -1.
int pdfPages(const QString& pdf);

// A CUPS scheduler with configuration, spool, logs and socket in a folder of the test, nothing
// shared with a scheduler the machine may run. Stopped when destroyed.
class PrivateScheduler {
  public:
    explicit PrivateScheduler(const QString& root) : root_(root) {}
    ~PrivateScheduler();
    PrivateScheduler(const PrivateScheduler&) = delete;
    PrivateScheduler& operator=(const PrivateScheduler&) = delete;

    // Empty when the scheduler answers, otherwise why it does not.
    QString start(const QString& cupsd, const QString& lpstat);

    QString socket() const { return root_ + QStringLiteral("/cups.sock"); }
    // The environment of a client of this scheduler (CUPS_SERVER set).
    QProcessEnvironment clientEnvironment() const;
    // The errors and job lines at the end of the scheduler's log, for failure messages.
    QString errorLogTail() const;

  private:
    bool write(const QString& name, const QString& text) const;

    QString root_;
    QProcess process_;
};

// Where the cups-pdf backend puts the PDF of a job of the current user: the "Out" setting of
// its configuration with ${HOME} and ${USER} filled in.
QString cupsPdfOutputFolder();
