#pragma once

#include <QObject>
#include <QString>

#include "engine/beam/beam.h"

class QStandardItemModel;

// The beam window's table of spans: a row a span (clear span, supports, moments at the faces and
// at midspan, columns' widths), a support or column typed on one side of a joint written on the
// other, spans added and removed, and the rows read back into the beam.
class SpansTable : public QObject {
    Q_OBJECT
  public:
    explicit SpansTable(QObject* parent);

    QStandardItemModel* model() const { return model_; }
    int spanCount() const;

    // Shows the spans, supports and columns of the beam.
    void show(const engine::beam::BeamInput& input);
    // A new last span repeating the last one: the usual case of equal spans.
    void appendSpan();
    // Removes the span of this row; the supports on either side of an interior span become one.
    void removeSpan(int row);

    // The rows read into the beam's spans, supports and columns; false, with the message, when a
    // cell does not read.
    bool read(engine::beam::BeamInput& input, QString* error) const;

  Q_SIGNALS:
    // A cell was typed (and its other side written, for a support or a column).
    void edited();

  private:
    // A column width of 0 is a column as wide as its support (an empty cell).
    void addRow(const engine::beam::Span& span, double leftSupport, double rightSupport,
                double leftColumn, double rightColumn);
    void numberRows();
    void keepJointsShared(int row, int column);

    QStandardItemModel* model_;
    bool syncing_ = false;  // one side of a joint typed, the other being written
};
