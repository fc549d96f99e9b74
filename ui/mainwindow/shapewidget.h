#pragma once

#include <QColor>
#include <QWidget>

// A filled rectangle or circle drawn inside its geometry, with a border of the given width.
// It takes no input and no focus: part of a fixed drawing.
class ShapeWidget : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool circle READ circle WRITE setCircle)
    Q_PROPERTY(QColor borderColor READ borderColor WRITE setBorderColor)
    Q_PROPERTY(int borderWidth READ borderWidth WRITE setBorderWidth)
    Q_PROPERTY(QColor fillColor READ fillColor WRITE setFillColor)
  public:
    explicit ShapeWidget(QWidget* parent = nullptr);

    bool circle() const { return circle_; }
    void setCircle(bool circle);
    QColor borderColor() const { return borderColor_; }
    void setBorderColor(const QColor& color);
    int borderWidth() const { return borderWidth_; }
    void setBorderWidth(int width);
    QColor fillColor() const { return fillColor_; }
    void setFillColor(const QColor& color);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    bool circle_ = false;
    QColor borderColor_ = Qt::black;
    int borderWidth_ = 1;
    QColor fillColor_ = Qt::black;
};
