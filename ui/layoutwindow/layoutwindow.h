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

namespace Ui {
class LayoutWindow;
}
class QTableWidget;
class SectionDrawing;

// The bars chosen in the layout window, layer by layer in the form the user types them
// ("2 N° 6 + 1 N° 5"); an empty text for a layer without bars. `typed` tells an arrangement
// typed by the user from rows chosen in the candidate tables.
struct LayoutChoice {
    std::string lowestLayer;
    std::string secondLayer;
    std::string compression;
    bool typed = false;
    bool operator==(const LayoutChoice&) const = default;
};

// The reinforcement layout window: bar arrangements for the steel of the most recent completed
// design, their fit in the width, the real depths of the chosen bars, their capacity by strain
// compatibility and the section drawn to scale. Every change is recomputed at once.
class LayoutWindow : public QWidget {
    Q_OBJECT
  public:
    explicit LayoutWindow(QWidget* parent = nullptr);
    ~LayoutWindow() override;

    // Follows a completed design: new candidates, the best of each chosen (or the choice
    // restored before the first design), the check and the drawing.
    void setDesign(const engine::DesignInput& input, const engine::DesignRun& run);

    // Settings and bars to restore, as saved with a project. A choice that matches rows of the
    // tables selects them; any other is checked as typed. Before the first design the choice
    // waits for it.
    void restore(const engine::LayoutSettings& settings, const LayoutChoice& choice);

    const engine::LayoutSettings& settings() const { return settings_; }
    bool hasArrangement() const { return chosen_.has_value(); }
    LayoutChoice choice() const;
    const SectionDrawing& drawing() const;
    // The placement lines of the chosen bars followed by the capacity lines ("Norma : ...",
    // ..., "Cumple" or "No cumple"); empty without a design or a choice.
    const std::vector<std::string>& checkLines() const { return checkLines_; }

  Q_SIGNALS:
    // The covers that put the design's d and d'' where the chosen bars are, in cm, rounded up
    // to the hundredth.
    void coversProposed(double dPrime, double dSecond);
    // The user changed a setting or the chosen bars (never raised by setDesign or restore).
    void arrangementEdited();

  private:
    struct Chosen {
        engine::Arrangement tension;
        engine::Arrangement compression;
        LayoutChoice texts;
    };

    void setupInputs();
    void setupTables();
    void setupConnections();

    void readSettings();
    void searchCandidates();
    void fillTable(QTableWidget* table, const engine::CandidateSearch& search);
    void applyChoice(const LayoutChoice& choice);
    void keepChoice();
    void chooseRows();
    void selectRows(int tensionRow, int compressionRow);
    void checkTyped();
    bool chooseTexts(const LayoutChoice& texts, QString* error);
    void evaluate();
    void proposeCovers();

    std::unique_ptr<Ui::LayoutWindow> ui;
    std::optional<engine::CompletedDesign> design_;
    engine::LayoutSettings settings_;
    engine::CandidateSearch tensionSearch_;
    engine::CandidateSearch compressionSearch_;
    std::optional<Chosen> chosen_;
    std::optional<LayoutChoice> pendingChoice_;
    engine::Placement tensionPlacement_;
    engine::Placement compressionPlacement_;
    std::vector<std::string> checkLines_;
};
