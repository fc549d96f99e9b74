#pragma once

#include <QTableView>

class SpansTable;

// The spans table as the engineer works it, like a spreadsheet: Ctrl+C copies the selected
// cells as tab-separated rows, Ctrl+V pastes a block from a spreadsheet, Delete empties the
// selected cells, Ctrl+Z undoes an edit
// (a span added or removed among them) and Ctrl+Y or Ctrl+Shift+Z redoes it, and Tab walks the
// cells and leaves the table after its last one (Shift+Tab before its first).
class SpansView : public QTableView {
    Q_OBJECT
  public:
    SpansView(SpansTable* table, QWidget* parent = nullptr);

  protected:
    bool focusNextPrevChild(bool next) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

  private:
    void setupCommands();
    // True when Tab (next) or Shift+Tab would wrap around the table from the current cell.
    bool atEdge(bool next) const;

    SpansTable* table_;
};
