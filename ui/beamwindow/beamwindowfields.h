#pragma once

#include <QColor>
#include <QString>

#include "beamwindow/beamwindow.h"
#include "common/decimalseparator.h"
#include "common/enginetext.h"
#include "engine/numbers.h"

class BeamPlot;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableView;
class SpansView;

// The beam window's controls, shared by its inputs (beamwindow.cpp) and its results
// (beamresults.cpp).
struct BeamWindow::Fields {
    QLineEdit* nameEdit = nullptr;
    QLineEdit* axisEdit = nullptr;
    QLineEdit* levelEdit = nullptr;
    QLineEdit* widthEdit = nullptr;
    QLineEdit* heightEdit = nullptr;
    QLineEdit* dPrimeEdit = nullptr;
    QLineEdit* dSecondEdit = nullptr;
    QLineEdit* fcEdit = nullptr;
    QLineEdit* fyEdit = nullptr;
    QComboBox* codeCombo = nullptr;
    QComboBox* classCombo = nullptr;
    QComboBox* smallestBarCombo = nullptr;
    QComboBox* largestBarCombo = nullptr;
    QComboBox* stockCombo = nullptr;
    QComboBox* stirrupCombo = nullptr;
    SpansView* spansView = nullptr;
    QComboBox* stationsFromCombo = nullptr;
    QLabel* stationsLabel = nullptr;
    QPushButton* clearStationsButton = nullptr;
    QLabel* messageLabel = nullptr;
    QTabWidget* outputTabs = nullptr;
    BeamPlot* elevationPlot = nullptr;
    BeamPlot* sectionsPlot = nullptr;
    BeamPlot* shapesPlot = nullptr;  // the bending shapes under the schedule
    BeamPlot* envelopePlot = nullptr;
    QTableView* scheduleView = nullptr;
    QTableView* checksView = nullptr;
    QLabel* massLabel = nullptr;
    QLabel* verdictLabel = nullptr;
};

namespace beamwindowparts {

inline const QColor failColour(192, 0, 0);
inline const QColor passColour(0, 128, 0);

// A figure with the locale's decimal separator.
inline QString fixed(double value, int decimals) {
    return fromEngine(engine::formatFixed(value, decimals, decimalSeparator()));
}

}  // namespace beamwindowparts
