#include "beamwindow/spanstable.h"

#include <QBrush>
#include <QPalette>
#include <QStandardItemModel>
#include <QStringList>
#include <QUndoStack>
#include <algorithm>
#include <utility>

#include "beamwindow/fieldnumbers.h"
#include "engine/beam/bounds.h"

namespace {

namespace eb = engine::beam;
using Column = SpansTable::Column;

// What a column's values may be: lengths and widths positive, moments typed as magnitudes, the
// smallest Mu+ at midspan signed (negative: a span that hogs all along), the load not negative.
enum class Values { Positive, Magnitude, Signed, NotNegative };

struct ColumnInfo {
    const char* caption;  // as the engineer reads it in the header
    Values values;
    bool optional;  // an empty cell: none (for the columns' widths, the support's width)
};

constexpr ColumnInfo columnInfo[SpansTable::ColumnCount] = {
    {"Luz libre (m)", Values::Positive, false},    {"Apoyo izq. (cm)", Values::Positive, false},
    {"Apoyo der. (cm)", Values::Positive, false},  {"Mu− izq. (Tn-m)", Values::Magnitude, false},
    {"Mu+ (Tn-m)", Values::Magnitude, false},      {"Mu− der. (Tn-m)", Values::Magnitude, false},
    {"Mu+ izq. (Tn-m)", Values::Magnitude, true},  {"Mu+ der. (Tn-m)", Values::Magnitude, true},
    {"Mu+ mín (Tn-m)", Values::Signed, true},      {"wu (Tn/m)", Values::NotNegative, true},
    {"Columna izq. (cm)", Values::Positive, true}, {"Columna der. (cm)", Values::Positive, true},
};

// The two sides of a joint: a span's right support (column) is the next span's left one.
constexpr std::pair<int, int> joints[] = {{SpansTable::LeftSupport, SpansTable::RightSupport},
                                          {SpansTable::LeftColumn, SpansTable::RightColumn}};

// The text of an optional value: empty when there is none.
QString optionalNumber(std::optional<double> value) {
    return value ? fieldText(*value) : QString();
}

// A column width of 0 is a column as wide as its support: an empty cell.
std::optional<double> givenWidth(const std::vector<double>& widths, std::size_t at) {
    if (at < widths.size() && widths[at] > 0) return widths[at];
    return std::nullopt;
}

QString problemText(Values values) {
    switch (values) {
        case Values::Magnitude:
            return QStringLiteral("escriba el momento como magnitud, sin signo.");
        case Values::NotNegative:
            return QStringLiteral("el valor no puede ser negativo.");
        case Values::Positive:
        case Values::Signed:
            break;
    }
    return QStringLiteral("el valor debe ser mayor que cero.");
}

bool allowed(Values values, double value) {
    switch (values) {
        case Values::Positive:
            return value > 0;
        case Values::Magnitude:
        case Values::NotNegative:
            return value >= 0;
        case Values::Signed:
            break;
    }
    return true;
}

// A spreadsheet's rows and cells: tab-separated, or semicolon-separated when no tab is in it.
std::vector<QStringList> pastedCells(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = text.split(QLatin1Char('\n'));
    while (!lines.isEmpty() && lines.back().trimmed().isEmpty()) lines.removeLast();
    const QChar separator = text.contains(QLatin1Char('\t')) ? QLatin1Char('\t') : QLatin1Char(';');
    std::vector<QStringList> cells;
    for (const QString& line : lines) cells.push_back(line.split(separator));
    return cells;
}

}  // namespace

// One change of the table, undone and redone as a whole (a cell and its other side at a joint, a
// pasted block, a span added or removed).
class SpansTable::Edit : public QUndoCommand {
  public:
    Edit(SpansTable* table, Rows before, Rows after, const QString& what)
        : QUndoCommand(what), table_(table), before_(std::move(before)), after_(std::move(after)) {}
    void undo() override { table_->restore(before_); }
    // The first redo is the edit itself, already made.
    void redo() override {
        if (std::exchange(made_, true)) table_->restore(after_);
    }

  private:
    SpansTable* table_;
    Rows before_, after_;
    bool made_ = false;
};

SpansTable::SpansTable(QObject* parent)
    : QObject(parent),
      model_(new QStandardItemModel(0, ColumnCount, this)),
      undoStack_(new QUndoStack(this)) {
    QStringList headers;
    for (const ColumnInfo& column : columnInfo) headers << QString::fromUtf8(column.caption);
    model_->setHorizontalHeaderLabels(headers);
    connect(model_, &QStandardItemModel::itemChanged, this, [this](QStandardItem* item) {
        if (syncing_) return;
        keepJointsShared(item->row(), item->column());
        record(
            QStringLiteral("Editar %1").arg(QString::fromUtf8(columnInfo[item->column()].caption)));
    });
}

int SpansTable::spanCount() const {
    return model_->rowCount();
}

bool SpansTable::isMomentColumn(int column) {
    return column >= MuLeft && column <= MidMin;
}

void SpansTable::show(const eb::BeamInput& input) {
    Rows shown;
    for (std::size_t i = 0; i < input.spans.size(); ++i) {
        const eb::Span& span = input.spans[i];
        const auto support = [&](std::size_t at) {
            return fieldText(at < input.supports.size() ? input.supports[at] : 40);
        };
        shown.push_back({fieldText(span.length), support(i), support(i + 1),
                         fieldText(span.moments.left), fieldText(span.moments.mid),
                         fieldText(span.moments.right), optionalNumber(span.moments.posLeft),
                         optionalNumber(span.moments.posRight), optionalNumber(span.moments.midMin),
                         optionalNumber(span.wu), optionalNumber(givenWidth(input.columns, i)),
                         optionalNumber(givenWidth(input.columns, i + 1))});
    }
    restore(shown);
    undoStack_->clear();
}

SpansTable::Row SpansTable::repeatedRow() const {
    if (model_->rowCount() == 0)
        return {fieldText(5), fieldText(40), fieldText(40),
                fieldText(0), fieldText(0),  fieldText(0)};
    Row row = rows().back();
    row[LeftSupport] = row[RightSupport];
    row[LeftColumn] = row[RightColumn];
    return row;
}

void SpansTable::appendSpan() {
    syncing_ = true;
    appendRow(repeatedRow());
    syncing_ = false;
    record(QStringLiteral("Agregar vano"));
}

void SpansTable::removeSpan(int row) {
    syncing_ = true;
    model_->removeRow(row);
    numberRows();
    if (row > 0 && row < model_->rowCount()) {
        for (const auto& [left, right] : joints)
            model_->item(row, left)->setText(model_->item(row - 1, right)->text());
    }
    syncing_ = false;
    record(QStringLiteral("Quitar vano"));
}

void SpansTable::paste(const QModelIndexList& selection, const QString& text) {
    const std::vector<QStringList> cells = pastedCells(text);
    if (cells.empty()) return;
    const auto editable = [this](int row, int column) {
        return model_->item(row, column)->flags().testFlag(Qt::ItemIsEditable);
    };
    syncing_ = true;
    const auto write = [&](int row, int column, const QString& value) {
        if (!editable(row, column)) return;
        model_->item(row, column)->setText(value.trimmed());
        syncing_ = false;
        keepJointsShared(row, column);
        syncing_ = true;
    };
    if (cells.size() == 1 && cells.front().size() == 1 && selection.size() > 1) {
        for (const QModelIndex& index : selection) write(index.row(), index.column(), cells[0][0]);
    } else {
        int top = model_->rowCount() > 0 ? 0 : -1;
        int left = 0;
        if (!selection.isEmpty()) {
            top = selection.front().row();
            left = selection.front().column();
            for (const QModelIndex& index : selection) {
                top = std::min(top, index.row());
                left = std::min(left, index.column());
            }
        }
        top = std::max(top, 0);
        for (std::size_t r = 0; r < cells.size(); ++r) {
            const int row = top + static_cast<int>(r);
            if (row >= static_cast<int>(eb::bounds::maxSpans)) break;
            if (row >= model_->rowCount()) appendRow(repeatedRow());
            for (qsizetype c = 0; c < cells[r].size() && left + c < ColumnCount; ++c)
                write(row, left + static_cast<int>(c), cells[r][c]);
        }
    }
    syncing_ = false;
    record(QStringLiteral("Pegar"));
}

void SpansTable::clearCells(const QModelIndexList& selection) {
    syncing_ = true;
    for (const QModelIndex& index : selection) {
        QStandardItem* item = model_->item(index.row(), index.column());
        if (!item || !item->flags().testFlag(Qt::ItemIsEditable)) continue;
        item->setText(QString());
        syncing_ = false;
        keepJointsShared(index.row(), index.column());
        syncing_ = true;
    }
    syncing_ = false;
    record(QStringLiteral("Borrar"));
}

QString SpansTable::copy(const QModelIndexList& selection) const {
    if (selection.isEmpty()) return {};
    int top = selection.front().row(), bottom = top;
    int left = selection.front().column(), right = left;
    for (const QModelIndex& index : selection) {
        top = std::min(top, index.row());
        bottom = std::max(bottom, index.row());
        left = std::min(left, index.column());
        right = std::max(right, index.column());
    }
    std::vector<QStringList> cells(static_cast<std::size_t>(bottom - top + 1),
                                   QStringList(right - left + 1, QString()));
    for (const QModelIndex& index : selection)
        cells[static_cast<std::size_t>(index.row() - top)][index.column() - left] =
            model_->item(index.row(), index.column())->text();
    QString text;
    for (const QStringList& row : cells) text += row.join(QLatin1Char('\t')) + QLatin1Char('\n');
    return text;
}

void SpansTable::setMomentsInUse(bool inUse) {
    if (inUse == momentsInUse_) return;
    momentsInUse_ = inUse;
    const Rows shown = rows();
    syncing_ = true;
    model_->setRowCount(0);
    for (const Row& row : shown) appendRow(row);
    syncing_ = false;
}

void SpansTable::appendRow(const Row& texts) {
    QList<QStandardItem*> row;
    for (int column = 0; column < ColumnCount; ++column) {
        auto* item = new QStandardItem(texts[static_cast<std::size_t>(column)]);
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        if (!momentsInUse_ && isMomentColumn(column)) {
            item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            item->setForeground(QPalette().brush(QPalette::Disabled, QPalette::Text));
            item->setBackground(QPalette().brush(QPalette::Disabled, QPalette::Window));
        }
        row << item;
    }
    model_->appendRow(row);
    numberRows();
}

void SpansTable::numberRows() {
    for (int r = 0; r < model_->rowCount(); ++r)
        model_->setHeaderData(r, Qt::Vertical, QStringLiteral("Vano %1").arg(r + 1));
}

// A span's right support is the next span's left support: typing either changes both.
void SpansTable::keepJointsShared(int row, int column) {
    syncing_ = true;
    for (const auto& [left, right] : joints) {
        if (column == right && row + 1 < model_->rowCount())
            model_->item(row + 1, left)->setText(model_->item(row, right)->text());
        if (column == left && row > 0)
            model_->item(row - 1, right)->setText(model_->item(row, left)->text());
    }
    syncing_ = false;
}

SpansTable::Rows SpansTable::rows() const {
    Rows texts(static_cast<std::size_t>(model_->rowCount()));
    for (int row = 0; row < model_->rowCount(); ++row)
        for (int column = 0; column < ColumnCount; ++column)
            texts[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] =
                model_->item(row, column)->text();
    return texts;
}

void SpansTable::restore(const Rows& texts) {
    syncing_ = true;
    model_->setRowCount(0);
    for (const Row& row : texts) appendRow(row);
    syncing_ = false;
    recorded_ = texts;
    Q_EMIT edited();
}

void SpansTable::record(const QString& what) {
    Rows now = rows();
    if (now == recorded_) return;
    undoStack_->push(new Edit(this, recorded_, now, what));
    recorded_ = std::move(now);
    Q_EMIT edited();
}

bool SpansTable::read(eb::BeamInput& input, QString* error) const {
    bool columnGiven = false;
    for (int row = 0; row < model_->rowCount(); ++row) {
        std::optional<double> values[ColumnCount];
        for (int column = 0; column < ColumnCount; ++column) {
            const ColumnInfo& info = columnInfo[column];
            const QString name =
                QStringLiteral("Vano %1, %2").arg(row + 1).arg(QString::fromUtf8(info.caption));
            const QString text = model_->item(row, column)->text();
            if (info.optional && text.trimmed().isEmpty()) continue;
            const std::optional<double> value = readFieldNumber(text, name, error);
            if (!value) return false;
            if (!allowed(info.values, *value)) {
                *error = QStringLiteral("%1: %2").arg(name, problemText(info.values));
                return false;
            }
            values[column] = value;
        }
        columnGiven = columnGiven || values[LeftColumn] || values[RightColumn];
        if (values[MidMin] && *values[MidMin] > *values[MuMid]) {
            *error = QStringLiteral("Vano %1, %2: no puede ser mayor que Mu+.")
                         .arg(row + 1)
                         .arg(QString::fromUtf8(columnInfo[MidMin].caption));
            return false;
        }
        if (row == 0) {
            input.supports.push_back(*values[LeftSupport]);
            input.columns.push_back(values[LeftColumn].value_or(0));
        }
        input.supports.push_back(*values[RightSupport]);
        input.columns.push_back(values[RightColumn].value_or(0));
        eb::Span span{*values[Length],
                      {*values[MuLeft], *values[MuMid], *values[MuRight], values[MidMin],
                       values[PosLeft], values[PosRight]}};
        span.wu = values[Wu];
        input.spans.push_back(span);
    }
    if (!columnGiven) input.columns.clear();
    return true;
}
