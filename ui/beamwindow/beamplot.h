#pragma once

#include <QPointF>
#include <QString>
#include <QWidget>
#include <functional>

class QPainter;

// A drawing of the beam window: whatever painting function it is given, on white, filling the
// widget. The same functions paint the PDF pages. It zooms (the wheel, zoomIn, zoomOut) and pans
// (a drag) by handing the function a larger area, moved, so that the texts keep the size of the
// widget's font whatever the zoom; `fit` shows the whole drawing again. While the results are out
// of date it shows them greyed under the message saying what to correct.
class BeamPlot : public QWidget {
    Q_OBJECT
  public:
    using Painter = std::function<void(QPainter&, const QRectF&)>;

    explicit BeamPlot(QWidget* parent = nullptr);

    // An empty painter leaves the plot blank. The zoom stays.
    void setPainter(Painter painter);
    // An empty message: the drawing is current.
    void setOutOfDate(const QString& message);
    const QString& outOfDate() const { return outOfDate_; }

    double zoom() const { return zoom_; }
    void zoomIn();
    void zoomOut();
    void fit();

    QSize sizeHint() const override { return {640, 360}; }
    QSize minimumSizeHint() const override { return {200, 120}; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    QRectF baseArea() const;
    // Zooms by `factor` keeping the point of the drawing under `at` (widget pixels) in place.
    void zoomAt(const QPointF& at, double factor);
    void keepDrawingInView();

    Painter painter_;
    QString outOfDate_;
    double zoom_ = 1;
    QPointF offset_;  // where the zoomed area's corner is, from the whole drawing's corner
    QPointF dragFrom_;
    bool dragging_ = false;
};
