#include "beamwindow/spanstable.h"

#include <QStandardItemModel>
#include <QStringList>
#include <utility>

#include "beamwindow/fieldnumbers.h"

namespace {

namespace eb = engine::beam;

// The table's columns, as the engineer reads them. The columns' widths across the beam may be
// left empty: a column as wide as its support.
constexpr const char* spanColumns[] = {"Luz libre (m)",     "Apoyo izq. (cm)",  "Apoyo der. (cm)",
                                       "Mu− izq. (Tn-m)",   "Mu+ (Tn-m)",       "Mu− der. (Tn-m)",
                                       "Columna izq. (cm)", "Columna der. (cm)"};
enum SpanColumn {
    Length, LeftSupport, RightSupport, MuLeft, MuMid, MuRight, LeftColumn, RightColumn,
    SpanColumnCount
};

// The two sides of a joint: a span's right support (column) is the next span's left one.
constexpr std::pair<int, int> joints[] = {{LeftSupport, RightSupport}, {LeftColumn, RightColumn}};

bool optionalColumn(int column) {
    return column == LeftColumn || column == RightColumn;
}

// The text of an optional value: empty when there is none.
QString optionalNumber(std::optional<double> value) {
    return value ? fieldText(*value) : QString();
}

}  // namespace

SpansTable::SpansTable(QObject* parent)
    : QObject(parent), model_(new QStandardItemModel(0, SpanColumnCount, this)) {
    QStringList headers;
    for (const char* caption : spanColumns) headers << QString::fromUtf8(caption);
    model_->setHorizontalHeaderLabels(headers);
    connect(model_, &QStandardItemModel::itemChanged, this, [this](QStandardItem* item) {
        if (syncing_) return;
        keepJointsShared(item->row(), item->column());
        Q_EMIT edited();
    });
}

int SpansTable::spanCount() const {
    return model_->rowCount();
}

void SpansTable::show(const eb::BeamInput& input) {
    model_->setRowCount(0);
    for (std::size_t i = 0; i < input.spans.size(); ++i)
        addRow(input.spans[i], i < input.supports.size() ? input.supports[i] : 40,
               i + 1 < input.supports.size() ? input.supports[i + 1] : 40,
               i < input.columns.size() ? input.columns[i] : 0,
               i + 1 < input.columns.size() ? input.columns[i + 1] : 0);
}

void SpansTable::appendSpan() {
    const int last = model_->rowCount() - 1;
    eb::Span span{5, {}};
    double support = 40;
    if (last >= 0) {
        QString ignored;
        auto cell = [&](int column) {
            return readFieldNumber(model_->item(last, column)->text(), {}, &ignored);
        };
        span.length = cell(Length).value_or(5);
        span.moments = {cell(MuLeft).value_or(0), cell(MuMid).value_or(0),
                        cell(MuRight).value_or(0), {}, {}, {}};
        support = cell(RightSupport).value_or(40);
    }
    syncing_ = true;
    addRow(span, support, support, 0, 0);
    if (last >= 0) {
        const QString column = model_->item(last, RightColumn)->text();
        model_->item(last + 1, LeftColumn)->setText(column);
        model_->item(last + 1, RightColumn)->setText(column);
    }
    syncing_ = false;
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
}

void SpansTable::addRow(const eb::Span& span, double leftSupport, double rightSupport,
                        double leftColumn, double rightColumn) {
    const auto given = [](double width) {
        return width > 0 ? std::optional<double>(width) : std::nullopt;
    };
    const std::optional<double> values[] = {
        span.length,       leftSupport,        rightSupport,      span.moments.left,
        span.moments.mid, span.moments.right, given(leftColumn), given(rightColumn)};
    QList<QStandardItem*> row;
    for (const std::optional<double>& value : values) {
        auto* item = new QStandardItem(optionalNumber(value));
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        row << item;
    }
    // The smallest positive moment has no column: it rides with Mu+ (none: half of it).
    if (span.moments.midMin) row[MuMid]->setData(*span.moments.midMin, Qt::UserRole);
    // Mu+ at the faces rides with Mu− there likewise.
    if (span.moments.posLeft) row[MuLeft]->setData(*span.moments.posLeft, Qt::UserRole);
    if (span.moments.posRight) row[MuRight]->setData(*span.moments.posRight, Qt::UserRole);
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

bool SpansTable::read(eb::BeamInput& input, QString* error) const {
    bool columnGiven = false;
    for (int row = 0; row < model_->rowCount(); ++row) {
        double values[SpanColumnCount] = {};
        for (int column = 0; column < SpanColumnCount; ++column) {
            const QString name = QStringLiteral("Vano %1, %2")
                                     .arg(row + 1)
                                     .arg(QString::fromUtf8(spanColumns[column]));
            const QString text = model_->item(row, column)->text();
            if (optionalColumn(column) && text.trimmed().isEmpty()) continue;
            columnGiven = columnGiven || optionalColumn(column);
            const std::optional<double> value = readFieldNumber(text, name, error);
            if (!value) return false;
            const bool moment = column >= MuLeft;
            if (moment ? *value < 0 : !(*value > 0)) {
                *error = moment ? QStringLiteral("%1: escriba el momento como magnitud, sin signo.")
                                      .arg(name)
                                : QStringLiteral("%1: el valor debe ser mayor que cero.").arg(name);
                return false;
            }
            values[column] = *value;
        }
        if (row == 0) {
            input.supports.push_back(values[LeftSupport]);
            input.columns.push_back(values[LeftColumn]);
        }
        input.supports.push_back(values[RightSupport]);
        input.columns.push_back(values[RightColumn]);
        // The moments that ride with a cell (see addRow).
        const auto kept = [&](int column) -> std::optional<double> {
            const QVariant value = model_->item(row, column)->data(Qt::UserRole);
            if (!value.isValid()) return std::nullopt;
            return value.toDouble();
        };
        input.spans.push_back({values[Length],
                               {values[MuLeft], values[MuMid], values[MuRight], kept(MuMid),
                                kept(MuLeft), kept(MuRight)}});
    }
    if (!columnGiven) input.columns.clear();
    return true;
}
