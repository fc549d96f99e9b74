#pragma once

#include <QMainWindow>
#include <QString>
#include <array>
#include <memory>
#include <optional>

#include "engine/design.h"
#include "engine/report.h"
#include "engine/run.h"

namespace Ui {
class MainWindow;
}
class QComboBox;
class QLabel;
class QLineEdit;
class QMovie;
class StatusPanels;

// The result of the last completed design run: the numbers and the texts the report showed.
struct StoredRun {
    engine::DesignResult result;
    engine::ReportValues texts;
};

// The main window: the seven design inputs, the calculate, clear and exit commands, the
// supplied-steel selectors, the results box and the fixed sketch of the section.
class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // The last completed design, which the print command reports. None before the first
    // completed run; a run that stops with a message leaves it as it was.
    const std::optional<StoredRun>& storedRun() const { return storedRun_; }

    // Reads the seven inputs, designs the section and writes the report, or tells the user
    // what is wrong and changes nothing.
    void calculate();
    // Enables both calculate commands while no input field is empty.
    void updateCalculateEnabled();
    // Blanks every input and the results box, then disables the calculate commands.
    void clearInputs();
    // What the tension-steel and the compression-steel selector groups ask for, shown beside them.
    void showTensionSteel();
    void showCompressionSteel();

  private:
    // The design the layout window follows: the last one that completed.
    struct CompletedDesign {
        engine::DesignInput input;
        engine::DesignRun run;
    };
    void setupFonts();
    void setupFlag();
    void setupCommands();
    void setupInputs();
    void setupSelectors();
    void setupStatusBar();
    void setupSize();
    void fillSelectors();
    void setupLayoutMenu();
    void showLayoutWindow();
    void followInLayoutWindow(const engine::DesignInput& input, const engine::DesignRun& run);
    void useCovers(double dPrime, double dSecond);

    void showError(const QString& text);
    void showReport(const QString& report);
    std::array<QLineEdit*, 7> inputFields() const;

    std::unique_ptr<Ui::MainWindow> ui;
    QMovie* flag_ = nullptr;
    StatusPanels* statusPanels_ = nullptr;
    std::optional<StoredRun> storedRun_;
    std::optional<CompletedDesign> completedDesign_;
    QAction* layoutAction_ = nullptr;
};
