#pragma once

#include <QModelIndexList>
#include <QObject>
#include <QString>
#include <array>
#include <vector>

#include "engine/beam/beam.h"

class QStandardItemModel;
class QUndoStack;

// The beam window's table of spans: a row a span (clear span, supports, moments at the faces and
// at midspan, the gravity load, columns' widths), a support or column typed on one side of a
// joint written on the other, spans added and removed, blocks pasted as from a spreadsheet, every
// change undoable, and the rows read back into the beam.
class SpansTable : public QObject {
    Q_OBJECT
  public:
    // The table's columns, left to right.
    enum Column {
        Length,
        LeftSupport,
        RightSupport,
        MuLeft,
        MuMid,
        MuRight,
        PosLeft,
        PosRight,
        MidMin,
        Wu,
        LeftColumn,
        RightColumn,
        ColumnCount
    };

    explicit SpansTable(QObject* parent);

    QStandardItemModel* model() const { return model_; }
    // The table's edits, to undo and redo; emptied when another beam is shown.
    QUndoStack* undoStack() const { return undoStack_; }
    int spanCount() const;

    // Shows the spans, supports and columns of the beam, with no edit to undo.
    void show(const engine::beam::BeamInput& input);
    // A new last span repeating the last one: the usual case of equal spans.
    void appendSpan();
    // Removes the span of this row; the supports on either side of an interior span become one.
    void removeSpan(int row);
    // Text copied from a spreadsheet (rows of tab- or semicolon-separated cells) written from the
    // selection's top-left cell, spans added as the rows need them; a single value fills every
    // selected cell. Cells that cannot be edited keep their text.
    void paste(const QModelIndexList& selection, const QString& text);
    // Empties the selected cells that can be edited.
    void clearCells(const QModelIndexList& selection);
    // The selected cells as a spreadsheet takes them: rows of tab-separated cells.
    QString copy(const QModelIndexList& selection) const;

    // While the moments come from stations, the moment columns show as not in use and cannot be
    // edited.
    void setMomentsInUse(bool inUse);
    static bool isMomentColumn(int column);

    // The rows read into the beam's spans, supports and columns; false, with the message, when a
    // cell does not read.
    bool read(engine::beam::BeamInput& input, QString* error) const;

  Q_SIGNALS:
    // The table changed: a cell typed, a block pasted, a span added or removed, an edit undone or
    // redone.
    void edited();

  private:
    using Row = std::array<QString, ColumnCount>;
    using Rows = std::vector<Row>;
    class Edit;

    void appendRow(const Row& texts);
    void numberRows();
    void keepJointsShared(int row, int column);
    Rows rows() const;
    void restore(const Rows& rows);
    // Records the change since the last record as one edit to undo, and tells the window.
    void record(const QString& what);
    Row repeatedRow() const;

    QStandardItemModel* model_;
    QUndoStack* undoStack_;
    Rows recorded_;         // the table as the last recorded edit left it
    bool syncing_ = false;  // the table itself is writing cells
    bool momentsInUse_ = true;
};
