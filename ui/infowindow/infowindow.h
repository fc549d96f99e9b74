#pragma once

#include <QWidget>
#include <memory>

namespace Ui {
class InfoWindow;
}

// The information window: a fixed text about the design method and the program, read-only
// but scrollable and selectable, and an "O.K." button that closes it.
class InfoWindow : public QWidget {
    Q_OBJECT
  public:
    explicit InfoWindow(QWidget* parent = nullptr);
    ~InfoWindow() override;

  private:
    void setupWindow();
    void setupText();

    std::unique_ptr<Ui::InfoWindow> ui;
};
