#pragma once

#include <QString>
#include <QWidget>
#include <optional>

#include "engine/beam/beam.h"
#include "engine/code.h"
#include "engine/design.h"
#include "engine/layout.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStandardItemModel;
class QTableView;
class QTimer;
class BeamList;
class BeamPlot;
class FileCommands;
class SpansTable;
class QTabWidget;
namespace project {
class Project;
}

// The window "Viga y despiece", a view of the project's beams: their list (BeamList) and, in
// the editor, the current one, a continuous beam typed span by span (or its moments read from a
// station table), designed as the inputs change, and shown as its elevation, its sections, its
// envelope against the strength of the bars, the bar schedule, the checks and the masses. It
// shows the project's current beam when it opens and whenever another is chosen (the table's
// undo history then starts afresh); while the project has none it starts as a 30 x 50 cm beam
// under the project's code, and the beam enters the project with the first edit. Every edit goes
// into the project, which keeps the beam when the window closes. While a field or a cell does
// not read, the results on show are those of the beam as it last read: the window shows them
// greyed, out of date, and the project's exports refuse them.
class BeamWindow : public QWidget {
    Q_OBJECT
  public:
    // Without a project the window works on one of its own.
    explicit BeamWindow(project::Project* project = nullptr, QWidget* parent = nullptr);
    ~BeamWindow() override;

    // Everything typed: shown, designed at once and written into the project.
    void setInput(const engine::beam::BeamInput& input);

    // The beam as last read from the fields (none while one of them is bad), and its design
    // (none while it has none).
    const std::optional<engine::beam::BeamInput>& input() const { return input_; }
    const std::optional<engine::beam::BeamDesign>& design() const { return design_; }

    // Reads the fields and designs at once, without waiting for typing to pause.
    void designNow();

    // Reads the stations of a file (as "Importar estaciones..." does after its dialog), their x
    // measured as the window's choice says (from the support's face or its centreline); a file
    // that cannot be read is reported in the window and changes nothing.
    void importStations(const QString& path);

    // The message the results show while the fields do not read; empty while they are current.
    QString outOfDate() const;

  Q_SIGNALS:
    // The user changed something typed or chosen (never raised by setInput or by showing the
    // project's beam).
    void beamEdited();

  protected:
    // An edit still waiting for typing to pause goes into the project before the window goes.
    void hideEvent(QHideEvent* event) override;
    // While the fields do not read, closing asks first: what was typed would be lost, and the
    // project keep the beam as it last read.
    void closeEvent(QCloseEvent* event) override;
    bool mayDiscardTyping(const QString& consequence, const QString& leave);
    // The first time, the window takes a size inside the screen's available area.
    void showEvent(QShowEvent* event) override;

  private:
    struct Fields;

    void showProjectBeam();
    void showFields(const engine::beam::BeamInput& input);
    void setupInputs(QWidget* panel);
    void setupOutputs(QWidget* panel);
    void setupCommands();
    void fitToScreen();
    void showStationsInUse();
    void removeSpanRow();
    void chooseStationsFile();
    void clearStations();
    void measureStations();
    void edited();
    std::optional<engine::beam::BeamInput> readInput(QString* error) const;
    void showDesign();
    // A beam error in the window's decimal separator; empty for none.
    QString errorMessage(const std::optional<engine::beam::BeamError>& error) const;
    void showMessage(const QString& text);
    // The results marked out of date because of `error` (empty: current again).
    void showOutOfDate(const QString& error);

    project::Project* project_;
    std::unique_ptr<Fields> fields_;
    SpansTable* spansTable_ = nullptr;
    BeamList* beamList_ = nullptr;
    FileCommands* fileCommands_ = nullptr;
    QStandardItemModel* scheduleModel_ = nullptr;
    QStandardItemModel* checksModel_ = nullptr;
    QTimer* designTimer_ = nullptr;
    std::vector<engine::beam::Station> stations_;
    QString stationsPath_;  // the file the stations were read from, when read in this window
    std::optional<engine::beam::BeamInput> input_;
    std::optional<engine::beam::BeamDesign> design_;
    // What the window keeps of the beam without a field for it: the bar layout settings and
    // whether station x are read from the supports' centrelines.
    engine::LayoutSettings settings_;
    bool stationsFromCentreline_ = false;
    bool loading_ = false;
    bool writing_ = false;          // the window is writing the project's beam
    bool inProject_ = false;        // the fields are the project's beam (it has one, or was edited)
    bool placed_ = false;           // sized for its screen
};
