#pragma once

#include <QWidget>
#include <functional>

#include "engine/beam/beam.h"

class QPushButton;
class QStandardItemModel;
class QTableView;
namespace project {
class Project;
}

// The project's beams beside the beam window's editor: each one's name, whether it passes its
// checks, its steel mass and its group, with the list's commands (add, duplicate, rename,
// delete, move, group the beams alike, take one out of its group).
// Choosing a row makes that beam the project's current one, which the editor shows.
class BeamList : public QWidget {
    Q_OBJECT
  public:
    // `newBeam` gives the beam "Agregar viga" adds (the editor's starting beam).
    BeamList(project::Project* project, std::function<engine::beam::BeamInput()> newBeam,
             QWidget* parent = nullptr);

    // Asked before a command shows another beam: false keeps the beam shown (the editor holds
    // what does not read and the engineer chose to go on editing).
    void setLeaveCheck(std::function<bool()> mayLeave) { mayLeave_ = std::move(mayLeave); }

    // Adds the beams of an analysis export (see readBuildingFiles) after the project's, and
    // selects the first of them; the reason, naming the file and line or the name already in
    // the project, when nothing was added.
    QString importFiles(const QString& beamsPath, const QString& stationsPath,
                        bool fromCentreline);

    // The list's columns.
    enum Column { Name, Verdict, Mass, Group, ColumnCount };

  Q_SIGNALS:
    // Raised before a command shows another beam, so that an edit still waiting for typing to
    // pause goes into the beam it was typed for.
    void leaving();

  private:
    void setupButtons(QWidget* row);
    void refresh();
    void choose(int row);
    void add();
    void duplicate();
    void rename();
    void remove();
    void move(int step);
    void ungroup();
    void importBeams();
    int selectedRow() const;
    bool leave();

    project::Project* project_;
    std::function<engine::beam::BeamInput()> newBeam_;
    std::function<bool()> mayLeave_;
    QStandardItemModel* model_ = nullptr;
    QTableView* view_ = nullptr;
    struct Buttons {
        QPushButton* duplicate = nullptr;
        QPushButton* rename = nullptr;
        QPushButton* remove = nullptr;
        QPushButton* up = nullptr;
        QPushButton* down = nullptr;
        QPushButton* group = nullptr;
        QPushButton* ungroup = nullptr;
    } buttons_;
};
