#pragma once

#include <QWidget>
#include <memory>

namespace Ui {
class Form2;
}

// The bar table window: the nominal dimensions of the reinforcing bars in a read-only grid,
// under a band of column captions, and a footnote naming the source that closes the window
// when clicked.
class Form2 : public QWidget {
    Q_OBJECT
  public:
    explicit Form2(QWidget* parent = nullptr);
    ~Form2() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void setupWindow();
    void setupGrid();

    void Form_Load();
    void Label1_Click();

    std::unique_ptr<Ui::Form2> ui;
    bool label1Pressed_ = false;
};
