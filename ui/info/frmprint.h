#pragma once

#include <QWidget>
#include <memory>

namespace Ui {
class FrmPrint;
}

// The information window: a fixed text about the design method and the program, read-only
// but scrollable and selectable, and an "O.K." button that closes it.
class FrmPrint : public QWidget {
    Q_OBJECT
  public:
    explicit FrmPrint(QWidget* parent = nullptr);
    ~FrmPrint() override;

  private:
    void setupWindow();
    void setupText();

    void Command1_Click();

    std::unique_ptr<Ui::FrmPrint> ui;
};
