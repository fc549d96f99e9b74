#pragma once

#include <QString>
#include <QWidget>
#include <optional>

#include "engine/beam/beam.h"
#include "engine/code.h"
#include "engine/design.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStandardItemModel;
class QTableView;
class QTimer;
class BeamPlot;

// The window "Viga y despiece": a continuous beam typed span by span (or its moments read from
// a station table), designed as the inputs change, and shown as its elevation, its sections,
// its envelope against the strength of the bars, the bar schedule, the checks and the masses.
class BeamWindow : public QWidget {
    Q_OBJECT
  public:
    explicit BeamWindow(QWidget* parent = nullptr);
    ~BeamWindow() override;

    // The section, materials and code the window starts from (the main window's).
    void startFrom(const engine::DesignInput& section, engine::DesignCode code);

    // Everything typed, as restored from a project; designs it at once.
    void setInput(const engine::beam::BeamInput& input);

    // The beam as last read from the fields (none while one of them is bad), and its design
    // (none while it has none).
    const std::optional<engine::beam::BeamInput>& input() const { return input_; }
    const std::optional<engine::beam::BeamDesign>& design() const { return design_; }

    // Reads the fields and designs at once, without waiting for typing to pause.
    void designNow();

    // Reads the stations of a file (as "Importar estaciones..." does after its dialog);
    // a file that cannot be read is reported in the window and changes nothing.
    void importStations(const QString& path);

  Q_SIGNALS:
    // The user changed something typed or chosen (never raised by setInput or startFrom).
    void beamEdited();

  private:
    struct Fields;

    void setupInputs(QWidget* panel);
    void setupOutputs(QWidget* panel);
    void addSpanRow(const engine::beam::Span& span, double leftSupport, double rightSupport);
    void removeSpanRow();
    void chooseStationsFile();
    void clearStations();
    void edited();
    void keepSupportsShared(int row, int column);
    std::optional<engine::beam::BeamInput> readInput(QString* error) const;
    void showDesign();
    void showMessage(const QString& text);

    std::unique_ptr<Fields> fields_;
    QStandardItemModel* spansModel_ = nullptr;
    QStandardItemModel* scheduleModel_ = nullptr;
    QStandardItemModel* checksModel_ = nullptr;
    QTimer* designTimer_ = nullptr;
    std::vector<engine::beam::Station> stations_;
    std::optional<engine::beam::BeamInput> input_;
    std::optional<engine::beam::BeamDesign> design_;
    bool loading_ = false;
    bool syncingSupports_ = false;  // one support typed, its other side being written
};
