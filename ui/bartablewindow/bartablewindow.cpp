#include "bartablewindow/bartablewindow.h"

#include <QHeaderView>
#include <QIcon>
#include <QMouseEvent>
#include <array>

#include "common/decimalseparator.h"
#include "common/formfonts.h"
#include "engine/catalogue.h"
#include "ui_bartablewindow.h"

namespace {

// Column widths that put the grid's column borders under the rules of the heading band.
constexpr std::array<int, 6> columnWidths = {80, 80, 72, 72, 80, 80};
constexpr int rowHeight = 19;

// Row 0 holds the headings and column 0 the bar names: drawn shaded and never selected.
bool isFixedCell(int row, int column) {
    return row == 0 || column == 0;
}

// Numbers stand to the right of their cells, texts to the left.
bool isNumberCell(int row, int column) {
    return row > 0 && column >= 2;
}

}  // namespace

BarTableWindow::BarTableWindow(QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::BarTableWindow>()) {
    ui->setupUi(this);
    applyFractionalPointSizes(this);
    setupWindow();
    setupGrid();
    fillGrid();
}

BarTableWindow::~BarTableWindow() = default;

void BarTableWindow::setupWindow() {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setWindowIcon(QIcon(QStringLiteral(":/bartablewindow/bartablewindow.svg")));
    ui->sourceLabel->installEventFilter(this);
    // The grid is drawn over the lower edge of the two-line caption, as the band ends there.
    ui->barGrid->raise();
}

void BarTableWindow::setupGrid() {
    QTableWidget* grid = ui->barGrid;
    grid->setStyleSheet(
        QStringLiteral("QTableWidget { gridline-color: rgb(192, 192, 192);"
                       " selection-background-color: rgb(0, 128, 128); selection-color: white; }"));
    // Texts wider than their column are cut at its edge, not shortened with an ellipsis.
    grid->setTextElideMode(Qt::ElideNone);
    grid->horizontalHeader()->setMinimumSectionSize(1);
    grid->verticalHeader()->setMinimumSectionSize(1);
    grid->verticalHeader()->setDefaultSectionSize(rowHeight);
    for (int column = 0; column < grid->columnCount(); ++column)
        grid->setColumnWidth(column, columnWidths[column]);

    const QBrush fixedBrush = palette().button();
    for (int row = 0; row < grid->rowCount(); ++row) {
        for (int column = 0; column < grid->columnCount(); ++column) {
            auto* item = new QTableWidgetItem;
            if (isFixedCell(row, column)) {
                item->setFlags(Qt::ItemIsEnabled);
                item->setBackground(fixedBrush);
            } else {
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            }
            const Qt::Alignment side = isNumberCell(row, column) ? Qt::AlignRight : Qt::AlignLeft;
            item->setTextAlignment(side | Qt::AlignVCenter);
            grid->setItem(row, column, item);
        }
    }
    // The cursor starts on the first cell that is not a heading, without selecting it.
    grid->setCurrentCell(1, 1, QItemSelectionModel::NoUpdate);
}

void BarTableWindow::fillGrid() {
    const engine::BarTableCells cells = engine::barTableCells(decimalSeparator());
    for (int row = 0; row < ui->barGrid->rowCount(); ++row)
        for (int column = 0; column < ui->barGrid->columnCount(); ++column)
            ui->barGrid->item(row, column)->setText(QString::fromStdString(cells[row][column]));
}

// A click is a press and a release of the left button, both on the footnote.
bool BarTableWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != ui->sourceLabel) return false;
    if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonRelease)
        return false;
    const auto& mouse = static_cast<const QMouseEvent&>(*event);
    if (mouse.button() != Qt::LeftButton) return false;
    if (event->type() == QEvent::MouseButtonPress) {
        sourcePressed_ = true;
    } else {
        const bool click =
            sourcePressed_ && ui->sourceLabel->rect().contains(mouse.position().toPoint());
        sourcePressed_ = false;
        if (click) close();
    }
    return true;
}
