#pragma once

#include <QFrame>
#include <memory>

class QKeyEvent;
class QMouseEvent;
class QTimer;

namespace Ui {
class SplashWindow;
}

// The splash window shown at start, which is also the about window. It closes itself after
// four seconds, on "O.K.", on any typed character or on a click on its large frame, and then
// brings up the main window.
class SplashWindow : public QFrame {
    Q_OBJECT
  public:
    explicit SplashWindow(QWidget* parent = nullptr);
    ~SplashWindow() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void setupColours();
    void setupCredits();
    void setupPicture();
    void setupKeyPreview();
    void setupTimer();
    void placeOnScreen();

    bool previewKey(const QKeyEvent& key);
    bool watchCreditsFrame(const QMouseEvent& mouse);
    void showProgress(int value);
    void fillProgress();
    void timeUp();
    void handOver();

    std::unique_ptr<Ui::SplashWindow> ui;
    QTimer* closeTimer_ = nullptr;
    bool creditsFramePressed_ = false;
};
