#include "print/printreport.h"

#include <QFont>
#include <QFontMetricsF>
#include <QMarginsF>
#include <QMessageBox>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QStringList>

namespace printing {

namespace {

constexpr double marginMillimetres = 20;
constexpr double fontPoints = 10;

QFont reportFont() {
    QFont font(QStringLiteral("DejaVu Sans Mono"), 0);
    font.setPointSizeF(fontPoints);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

QString openFailure(const QPrinter& printer) {
    if (!printer.outputFileName().isEmpty())
        return QStringLiteral("no se puede escribir el archivo \"%1\".")
            .arg(printer.outputFileName());
    return QStringLiteral("no se pudo abrir la impresora \"%1\".").arg(printer.printerName());
}

}  // namespace

QString printTextFailure(QPrinter& printer, const QString& text) {
    if (!printer.isValid()) return QStringLiteral("no hay ninguna impresora disponible.");
    printer.setPageMargins(
        QMarginsF(marginMillimetres, marginMillimetres, marginMillimetres, marginMillimetres),
        QPageLayout::Millimeter);

    QPainter painter;
    if (!painter.begin(&printer)) return openFailure(printer);
    const QFont font = reportFont();
    painter.setFont(font);
    // Metrics in the printer's resolution, so the line spacing matches what is drawn.
    const QFontMetricsF metrics(font, &printer);
    const double pageHeight = printer.pageLayout().paintRectPixels(printer.resolution()).height();

    double baseline = metrics.ascent();
    const QStringList lines = text.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    for (const QString& line : lines) {
        if (baseline + metrics.descent() > pageHeight) {
            if (!printer.newPage()) {
                painter.end();
                return QStringLiteral("la impresora no aceptó una página nueva.");
            }
            baseline = metrics.ascent();
        }
        painter.drawText(QPointF(0, baseline), line);
        baseline += metrics.lineSpacing();
    }
    if (!painter.end()) return QStringLiteral("la impresora no aceptó el documento.");
    return {};
}

bool printReportOn(QWidget* parent, QPrinter& printer, const engine::ReportValues* values) {
    const QString failure =
        printTextFailure(printer, QString::fromStdString(engine::printedReport(values)));
    if (failure.isEmpty()) return true;
    QMessageBox::warning(parent, QStringLiteral("Imprimir"),
                         QStringLiteral("No se pudo imprimir el informe: ") + failure);
    return false;
}

void printDesignReport(QWidget* parent, const engine::ReportValues* values) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Quintaral - Diseño de viga"));
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Imprimir"));
    // One page: a page range or the current page mean nothing here.
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    if (dialog.exec() != QDialog::Accepted) return;
    printReportOn(parent, printer, values);
}

}  // namespace printing
