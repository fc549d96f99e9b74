#include "bartable/form2.h"

#include <QHeaderView>
#include <QIcon>
#include <QLocale>
#include <QMouseEvent>
#include <array>

#include "common/formfonts.h"
#include "engine/catalogue.h"
#include "ui_form2.h"

static void loadBarTableResources() {
    Q_INIT_RESOURCE(bartable);
}

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

Form2::Form2(QWidget* parent) : QWidget(parent), ui(std::make_unique<Ui::Form2>()) {
    ui->setupUi(this);
    applyFractionalPointSizes(this);
    setupWindow();
    setupGrid();
    Form_Load();
}

Form2::~Form2() = default;

void Form2::setupWindow() {
    loadBarTableResources();
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setWindowIcon(QIcon(QStringLiteral(":/bartable/form2.svg")));
    ui->Label1->installEventFilter(this);
    // The grid is drawn over the lower edge of the two-line caption, as the band ends there.
    ui->MSFlexGrid1->raise();
}

void Form2::setupGrid() {
    QTableWidget* grid = ui->MSFlexGrid1;
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

void Form2::Form_Load() {
    const engine::BarTableCells cells =
        engine::barTableCells(QLocale().decimalPoint().at(0).toLatin1());
    for (int row = 0; row < ui->MSFlexGrid1->rowCount(); ++row)
        for (int column = 0; column < ui->MSFlexGrid1->columnCount(); ++column)
            ui->MSFlexGrid1->item(row, column)->setText(QString::fromStdString(cells[row][column]));
}

void Form2::Label1_Click() {
    close();
}

// A click is a press and a release of the left button, both on the footnote.
bool Form2::eventFilter(QObject* watched, QEvent* event) {
    if (watched != ui->Label1) return false;
    if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonRelease)
        return false;
    const auto& mouse = static_cast<const QMouseEvent&>(*event);
    if (mouse.button() != Qt::LeftButton) return false;
    if (event->type() == QEvent::MouseButtonPress) {
        label1Pressed_ = true;
    } else {
        const bool click =
            label1Pressed_ && ui->Label1->rect().contains(mouse.position().toPoint());
        label1Pressed_ = false;
        if (click) Label1_Click();
    }
    return true;
}
