#pragma once

#include <QObject>
#include <QString>

#include "project/projectfile.h"

namespace project {
class Project;
}
class QAction;
class QKeySequence;
class QMenu;
class QWidget;

// The "Archivo" menu's commands on the project: starting it afresh, opening and saving it, the
// list of recent files, the question asked before unsaved changes are lost, and the exports of
// the calculation sheet (PDF) and of the beam (DXF). They work on the project alone; the window
// that shows it follows the project's signals and the two below. Dialogs open over `window`.
class FileCommands : public QObject {
    Q_OBJECT
  public:
    FileCommands(project::Project* project, QWidget* window);

    ~FileCommands() override;

    // Creates the commands in `fileMenu`, above `before`.
    void addToMenu(QMenu* fileMenu, QAction* before);
    // Gives another window the keys of "Guardar" (Ctrl+S), "Exportar a PDF..." (Ctrl+E) and
    // "Exportar a DXF..." (Ctrl+Shift+E), without a menu.
    void addKeysTo(QWidget* window);

    // True when the project may be replaced: no file in use, nothing changed since it was
    // saved, or the user answered "Guardar" (and saving worked) or "No guardar".
    bool mayDiscardChanges();

    // "Nuevo": a new project, no file in use.
    void newProject();
    // "Abrir...": a file chosen in a dialog, after unsaved changes are dealt with.
    void openProject();
    // Opens the file at `path` into the project. A file that cannot be opened is reported and
    // leaves the project as it was. Returns true when the file was opened.
    bool openFile(const QString& path);
    // "Guardar": into the file in use, or into one chosen in a dialog.
    bool save();
    // "Guardar como...": into a file chosen in a dialog.
    bool saveAs();
    // Saves the project at `path`, which becomes the file in use. Refuses, with a message, an
    // input that is not a number. A beam whose window holds a value that does not read is saved
    // as it last read, the project stays marked as changed, and a message says so. Returns true
    // when the file was written.
    bool saveTo(const QString& path);
    // "Exportar a PDF...": the calculation sheet of the last completed design.
    void exportSheet();
    // "Exportar a DXF...": the project's beam as a drawing.
    void exportBeam();
    // Both exports are refused, with the beam window's message, while its beam does not read.

  Q_SIGNALS:
    // The project was started afresh ("Nuevo") or filled from a file: the window shows it as
    // new. The project is marked unmodified once these return.
    void projectStarted();
    void projectOpened();
    // A save was refused because `input` is not a number; the window points at it.
    void inputRefused(project::Input input);

  private:
    QAction* addCommand(QMenu* fileMenu, QAction* before, const char* name, const QString& caption,
                        const QKeySequence& key);
    void setupRecentMenu(QMenu* fileMenu, QAction* before);
    void fillRecentMenu();
    void rememberRecent(const QString& path);
    void forgetRecent(const QString& path);
    void openRecent(const QString& path);
    QString askPath(bool forSaving);
    void showCritical(const QString& title, const QString& text);
    bool refuseOutOfDateBeam(const QString& title);

    project::Project* project_;
    QWidget* window_;
    QMenu* recentMenu_ = nullptr;
};
