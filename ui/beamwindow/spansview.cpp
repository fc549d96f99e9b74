#include "beamwindow/spansview.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeySequence>
#include <QStandardItemModel>
#include <QUndoStack>

#include "beamwindow/spanstable.h"

SpansView::SpansView(SpansTable* table, QWidget* parent) : QTableView(parent), table_(table) {
    setModel(table->model());
    horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    setupCommands();
}

// The commands act while the table (or a cell being typed) has the focus; a cell's editor keeps
// Ctrl+Z and the clipboard keys for its own text.
void SpansView::setupCommands() {
    const auto command = [this](const char* name, const QString& caption,
                                const QList<QKeySequence>& keys) {
        auto* action = new QAction(caption, this);
        action->setObjectName(QLatin1String(name));
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(action);
        return action;
    };
    QUndoStack* stack = table_->undoStack();
    QAction* undo = command("undoSpansAction", QStringLiteral("&Deshacer"),
                            {QKeySequence(Qt::CTRL | Qt::Key_Z)});
    QAction* redo = command(
        "redoSpansAction", QStringLiteral("&Rehacer"),
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    QAction* copy = command("copySpansAction", QStringLiteral("&Copiar"), {QKeySequence::Copy});
    QAction* paste = command("pasteSpansAction", QStringLiteral("&Pegar"), {QKeySequence::Paste});
    QAction* clear =
        command("clearSpansAction", QStringLiteral("&Borrar"), {QKeySequence(Qt::Key_Delete)});
    undo->setEnabled(stack->canUndo());
    redo->setEnabled(stack->canRedo());
    connect(stack, &QUndoStack::canUndoChanged, undo, &QAction::setEnabled);
    connect(stack, &QUndoStack::canRedoChanged, redo, &QAction::setEnabled);
    connect(undo, &QAction::triggered, stack, &QUndoStack::undo);
    connect(redo, &QAction::triggered, stack, &QUndoStack::redo);
    connect(copy, &QAction::triggered, this, [this] {
        QModelIndexList cells = selectionModel()->selectedIndexes();
        if (cells.isEmpty() && currentIndex().isValid()) cells << currentIndex();
        QApplication::clipboard()->setText(table_->copy(cells));
    });
    connect(paste, &QAction::triggered, this, [this] {
        QModelIndexList cells = selectionModel()->selectedIndexes();
        if (cells.isEmpty() && currentIndex().isValid()) cells << currentIndex();
        table_->paste(cells, QApplication::clipboard()->text());
    });
    connect(clear, &QAction::triggered, this,
            [this] { table_->clearCells(selectionModel()->selectedIndexes()); });
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

bool SpansView::atEdge(bool next) const {
    const QModelIndex current = currentIndex();
    if (!current.isValid() || model()->rowCount() == 0) return true;
    if (next)
        return current.row() == model()->rowCount() - 1 &&
               current.column() == model()->columnCount() - 1;
    return current.row() == 0 && current.column() == 0;
}

bool SpansView::focusNextPrevChild(bool next) {
    if (atEdge(next)) return QWidget::focusNextPrevChild(next);
    return QTableView::focusNextPrevChild(next);
}

// Tab typed in the last cell's editor ends the edit and leaves the table, as Tab does outside it.
void SpansView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    const bool next = hint == QAbstractItemDelegate::EditNextItem;
    if ((next || hint == QAbstractItemDelegate::EditPreviousItem) && atEdge(next)) {
        QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
        QWidget::focusNextPrevChild(next);
        return;
    }
    QTableView::closeEditor(editor, hint);
}
