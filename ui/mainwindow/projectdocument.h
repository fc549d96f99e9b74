#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class MainWindow;
namespace project {
class Project;
}
class QAction;
class QKeySequence;
class QMenu;

// The "Archivo" commands of the main window on its project: starting, opening and saving it,
// the list of recent files, the file name and modified marker in the window title, the
// question asked before unsaved changes are lost, and the export of the calculation sheet.
class ProjectDocument : public QObject {
    Q_OBJECT
  public:
    explicit ProjectDocument(MainWindow* window);

    // Creates the file commands in `fileMenu`, above `before`.
    void setupFileMenu(QMenu* fileMenu, QAction* before);

    // The file in use; empty when there is none.
    const QString& path() const;
    bool isModified() const;

    // True when the window's contents may be replaced: no file in use, nothing changed since
    // it was saved, or the user answered "Guardar" (and saving worked) or "No guardar".
    bool mayDiscardChanges();

    // "Nuevo": the window as at start-up, no file in use.
    void newProject();
    // "Abrir...": a file chosen in a dialog, after unsaved changes are dealt with.
    void openProject();
    // Opens the file at `path` and designs it. A file that cannot be opened is reported and
    // leaves the window as it was. Returns true when the file was opened.
    bool openFile(const QString& path);
    // "Guardar": into the file in use, or into one chosen in a dialog.
    bool save();
    // "Guardar como...": into a file chosen in a dialog.
    bool saveAs();
    // Saves the window's contents at `path`, which becomes the file in use. Refuses, with a
    // message, a field that is not a number. Returns true when the file was written.
    bool saveTo(const QString& path);
    // "Exportar a PDF...": the calculation sheet of the last completed design.
    void exportSheet();

    // Records a change of what a file would store.
    void markModified();

  private:
    QAction* addCommand(QMenu* fileMenu, QAction* before, const char* name, const QString& caption,
                        const QKeySequence& key);
    void setupRecentMenu(QMenu* fileMenu, QAction* before);
    void fillRecentMenu();
    void rememberRecent(const QString& path);
    void forgetRecent(const QString& path);
    void openRecent(const QString& path);
    QString askPath(bool forSaving);
    void showTitle();
    void showCritical(const QString& title, const QString& text);

    MainWindow* window_;
    project::Project* project_;
    QString caption_;  // the window title with no file in use
    bool loading_ = false;  // the window is being filled by the program, not edited
    QMenu* recentMenu_ = nullptr;
};
