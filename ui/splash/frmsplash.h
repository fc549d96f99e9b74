#pragma once

#include <QFrame>
#include <memory>

class QKeyEvent;
class QMouseEvent;
class QTimer;

namespace Ui {
class FrmSplash;
}

// The splash window shown at start, which is also the about window. It closes itself after
// four seconds, on "O.K.", on any typed character or on a click on its large frame, and then
// brings up the main window.
class FrmSplash : public QFrame {
    Q_OBJECT
  public:
    explicit FrmSplash(QWidget* parent = nullptr);
    ~FrmSplash() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void setupCredits();
    void setupPicture();
    void setupKeyPreview();
    void setupTimer();
    void placeOnScreen();

    void Timer1_Timer();
    void Command1_Click();
    void Form_KeyPress();
    void Frame1_Click();

    bool previewKey(const QKeyEvent& key);
    bool watchFrame1(const QMouseEvent& mouse);
    void showProgress(int value);
    void handOver();

    std::unique_ptr<Ui::FrmSplash> ui;
    QTimer* Timer1 = nullptr;
    bool frame1Pressed_ = false;
};
