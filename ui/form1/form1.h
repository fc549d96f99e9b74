#pragma once

#include <QMainWindow>
#include <QString>
#include <array>
#include <memory>
#include <optional>

#include "engine/design.h"
#include "engine/report.h"

namespace Ui {
class Form1;
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
class Form1 : public QMainWindow {
    Q_OBJECT
  public:
    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

    // None before the first completed run; a run that stops with a message leaves it as it was.
    const std::optional<StoredRun>& storedRun() const { return storedRun_; }

    // The text of the results box with its lines joined by CR LF, exactly as the report was
    // built (the box itself holds plain line breaks).
    QString resultsText() const;

    // Reads the seven inputs, designs the section and writes the report, or tells the user
    // what is wrong and changes nothing.
    void calculo();
    // Enables both calculate commands while no input field is empty.
    void Activa();
    // Blanks every input and the results box, then disables the calculate commands.
    void borra();
    // The tension-steel and compression-steel selector groups.
    void areasuministrada();
    void AREADOBLE();

  private:
    void setupFonts();
    void setupFlag();
    void setupMenus();
    void setupButtons();
    void setupInputs();
    void setupSelectors();
    void setupStatusBar();
    void setupSize();
    void Form_Load();

    void Text1_Change();
    void Text2_Change();
    void Text3_Change();
    void Text4_Change();
    void Text5_Change();
    void Text6_Change();
    void Text7_Change();
    void Cmdcalcular_Click();
    void mnucalcular_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Combo1_click();
    void Combo2_click();
    void Combo3_click();
    void Combo4_click();
    void Combo1_Change();
    void Combo2_Change();
    void Combo3_Change();
    void Combo4_Change();
    void arroba_Click();
    void imprimir_Click();
    void Salir_Click();
    void info_Click();
    void tabla_Click();
    void acerca_Click();

    void showError(const QString& text);
    void showReport(const QString& report);
    std::array<QLineEdit*, 7> inputFields() const;

    std::unique_ptr<Ui::Form1> ui;
    QMovie* flag_ = nullptr;
    StatusPanels* statusPanels_ = nullptr;
    std::optional<StoredRun> storedRun_;
};
