#pragma once

#include <QWidget>
#include <memory>

namespace Ui {
class BarTableWindow;
}

// The bar table window: the nominal dimensions of the reinforcing bars in a read-only grid,
// under a band of column captions, and a footnote naming the source that closes the window
// when clicked.
class BarTableWindow : public QWidget {
    Q_OBJECT
  public:
    explicit BarTableWindow(QWidget* parent = nullptr);
    ~BarTableWindow() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void setupWindow();
    void setupGrid();

    void fillGrid();

    std::unique_ptr<Ui::BarTableWindow> ui;
    bool sourcePressed_ = false;
};
