#pragma once

#include <QMainWindow>
#include <QString>
#include <array>
#include <memory>
#include <optional>

#include "engine/code.h"
#include "engine/design.h"
#include "engine/run.h"

namespace Ui {
class MainWindow;
}
class FileCommands;
namespace project {
class Project;
}
class QActionGroup;
class QCloseEvent;
class QLineEdit;
class QMovie;
class StatusPanels;

// The main window: the seven design inputs, the calculate, clear and exit commands, the
// supplied-steel selectors, the results box and the fixed sketch of the section. It works on
// the project it is given, which it starts afresh: what is typed goes to the project as it is
// typed, and the inputs, the code, the title and its modified mark follow the project.
class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    explicit MainWindow(project::Project* project, QWidget* parent = nullptr);
    ~MainWindow() override;

    project::Project* project() const { return project_; }

    // The last completed design, which the print command reports. None before the first
    // completed run; a run that stops with a message leaves it as it was.
    const std::optional<engine::CompletedDesign>& lastDesign() const;

    // The design code the next calculation follows, as chosen in the "Norma" menu and saved
    // for the next start. Changing it leaves the shown report and the last design alone.
    engine::DesignCode designCode() const;
    void setDesignCode(engine::DesignCode code);

    // What the print command prints: the printed report of the last design, or the blank form
    // of the code in force before any design.
    QString printedReport() const;

    // Designs the project's seven inputs and writes the report, or tells the user what is
    // wrong and changes nothing.
    void calculate();
    // Enables both calculate commands while no input field is empty.
    void updateCalculateEnabled();
    // Blanks every input and the results box, then disables the calculate commands.
    void clearInputs();
    // What the tension-steel and the compression-steel selector groups ask for, shown beside them.
    void showTensionSteel();
    void showCompressionSteel();

    // The "Archivo" commands on the project.
    FileCommands* fileCommands() const { return fileCommands_; }
    // The seven input texts in the order b, h, d', f'c, Fy, Mu, d''.
    std::array<QString, 7> inputTexts() const;
    // Sets the texts as typing would: the project takes them and is modified.
    void setInputTexts(const std::array<QString, 7>& texts);
    void focusInput(int index);
    // Opens the layout window on the last design and the project's settings and bars.
    void showLayoutWindow();
    void showBeamWindow();

  protected:
    // Asks before unsaved changes of the file in use are lost.
    void closeEvent(QCloseEvent* event) override;

  private:
    void setupFonts();
    void setupFlag();
    void setupCommands();
    void setupInputs();
    void setupSelectors();
    void setupStatusBar();
    void setupCodeMenu();
    void showDesignCode();
    void setupSize();
    void fillSelectors();
    void setupLayoutMenu();
    void setupBeamCommands();
    void setupProject();
    void exitProgram();
    void useCovers(double dPrime, double dSecond);

    // A new project: the inputs, selectors and results as at start-up, no design, the layout
    // window closed. The design code stays.
    void resetToStartup();
    void showResultsAsAtStartup();
    // An opened project: its design worked out, and the layout window open when it has bars.
    void showOpenedProject();
    void inputEdited();
    bool writeInputs();
    void showProjectInputs();
    void fillInputs();
    void showTitle();

    void showError(const QString& text);
    void showReport(const QString& report);
    std::array<QLineEdit*, engine::inputs.size()> inputFields() const;

    std::unique_ptr<Ui::MainWindow> ui;
    QMovie* flag_ = nullptr;
    StatusPanels* statusPanels_ = nullptr;
    QActionGroup* codeActions_ = nullptr;
    project::Project* project_;
    QAction* layoutAction_ = nullptr;
    FileCommands* fileCommands_ = nullptr;
    QString caption_;  // the window title with no file in use
    // The fields are being filled from the project, so they are not written back to it.
    bool showingProject_ = false;
    // What the inputs, the results box and the selectors showed at start-up.
    struct StartupTexts {
        std::array<QString, 7> inputs;
        QString report;
        std::array<QString, 4> selectors;
    } startup_;
};
