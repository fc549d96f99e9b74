#pragma once

#include <QWidget>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/capacity.h"
#include "engine/design.h"
#include "engine/layout.h"
#include "engine/run.h"
#include "engine/barscheck.h"
#include "project/projectfile.h"

namespace Ui {
class LayoutWindow;
}
namespace project {
class Project;
}
class QTableWidget;
class SectionDrawing;

// The reinforcement layout window: bar arrangements for the steel of the project's last
// completed design, their fit in the width, the real depths of the chosen bars, their capacity
// by strain compatibility and the section drawn to scale. It shows and edits the layout
// settings and the chosen bars of the project, which keeps them when the window closes. Every
// change is recomputed at once.
class LayoutWindow : public QWidget {
    Q_OBJECT
  public:
    // Works on `project`; without one, on a project of its own.
    explicit LayoutWindow(project::Project* project = nullptr, QWidget* parent = nullptr);
    ~LayoutWindow() override;

    // Gives the project a completed design, which the window then follows: new candidates, the
    // chosen bars kept while they can be checked (else the best of each chosen), the check and
    // the drawing.
    void setDesign(const engine::DesignInput& input, const engine::DesignRun& run);

    // Gives the project settings and bars, as saved with a project file. Bars that match rows
    // of the tables select them; any others are checked as typed. Before the first design the
    // bars wait for it.
    void restore(const engine::LayoutSettings& settings, const project::ChosenBars& choice);

    engine::LayoutSettings settings() const;
    bool hasArrangement() const;
    // The chosen bars; none (no layers) without a choice.
    project::ChosenBars choice() const;
    const SectionDrawing& drawing() const;
    // The placement lines of the chosen bars followed by the capacity lines ("Norma : ...",
    // ..., "Cumple" or "No cumple"); empty without a design or a choice.
    const std::vector<std::string>& checkLines() const { return check_.lines; }

  Q_SIGNALS:
    // The covers that put the design's d and d'' where the chosen bars are, in cm, rounded up
    // to the hundredth.
    void coversProposed(double dPrime, double dSecond);
    // The user changed a setting or the chosen bars (never raised by setDesign or restore).
    void arrangementEdited();

  private:
    void setupInputs();
    void setupTables();
    void setupConnections();

    void followDesign();
    void followLayout();
    void showSettings();
    void readSettings();
    void searchCandidates();
    void fillTable(QTableWidget* table, const engine::CandidateSearch& search);
    void showChoice();
    void chooseRows();
    void selectRows(int tensionRow, int compressionRow);
    void checkTyped();
    void setBars(const project::ChosenBars& bars);
    void evaluate();
    void proposeCovers();

    std::unique_ptr<Ui::LayoutWindow> ui;
    project::Project* project_;
    engine::CandidateSearch tensionSearch_;
    engine::CandidateSearch compressionSearch_;
    engine::BarsCheck check_;
    // The window is writing the project: the change signals it raises are already handled.
    bool writing_ = false;
};
