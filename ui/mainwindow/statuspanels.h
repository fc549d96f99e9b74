#pragma once

#include <QObject>
#include <QTimer>

class QLabel;
class QStatusBar;

// The three panels of the main window's status bar: a credit line that takes the spare width,
// then the time and the date in the locale's short formats, kept current by a timer.
class StatusPanels : public QObject {
    Q_OBJECT
  public:
    explicit StatusPanels(QStatusBar* bar);

  private:
    // Writes the current time and date into their panels.
    void refresh();

    static QString creditText();
    static QLabel* makePanel(QStatusBar* bar, const QString& name, int minimumWidth);

    QLabel* credit_;
    QLabel* time_;
    QLabel* date_;
    QTimer clock_;
};
