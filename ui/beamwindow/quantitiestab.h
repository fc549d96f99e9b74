#pragma once

#include <QString>
#include <QWidget>

class QLabel;
class QStandardItemModel;
class QTableView;
namespace project {
class Project;
}

// The tab "Cantidades" of the beam window: for each of the project's beams and for the whole
// project, the kilograms of steel by bar size (longitudinal bars and stirrups apart), the
// concrete and the kilograms per cubic metre, as the engine's quantities table gives them, with
// "Exportar cantidades..." to a CSV file.
class QuantitiesTab : public QWidget {
    Q_OBJECT
  public:
    explicit QuantitiesTab(project::Project* project, QWidget* parent = nullptr);

    // Writes the table to `path` whole or not at all; the message saying why it was not
    // written, or an empty text.
    QString exportTo(const QString& path) const;

  private:
    void refresh();
    void chooseExportFile();
    // The table as the CSV file holds it, with `delimiter` between fields.
    std::string table(char delimiter) const;

    project::Project* project_;
    QStandardItemModel* model_ = nullptr;
    QTableView* view_ = nullptr;
    QLabel* note_ = nullptr;
};
