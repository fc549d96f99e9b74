#pragma once

#include <QWidget>
#include <functional>

class QPainter;

// A drawing of the beam window: whatever painting function it is given, on white, filling the
// widget. The same functions paint the PDF pages.
class BeamPlot : public QWidget {
    Q_OBJECT
  public:
    using Painter = std::function<void(QPainter&, const QRectF&)>;

    explicit BeamPlot(QWidget* parent = nullptr);

    // An empty painter leaves the plot blank.
    void setPainter(Painter painter);

    QSize sizeHint() const override { return {640, 360}; }
    QSize minimumSizeHint() const override { return {200, 120}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    Painter painter_;
};
