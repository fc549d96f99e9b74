#pragma once

#include <QString>

#include "engine/report.h"

class QPrinter;
class QWidget;

namespace printing {

// Prints `text` on `printer` as one document, one printed line per text line. Returns an empty
// text on success, otherwise the reason in Spanish, ready to follow
// "No se pudo imprimir el informe: ".
QString printTextFailure(QPrinter& printer, const QString& text);

// What accepting the print dialog does: prints the report on the chosen printer and, when that
// fails, tells the user in a message box. Returns true when the report was printed.
bool printReportOn(QWidget* parent, QPrinter& printer, const engine::ReportValues* values);

// The "Imprimir" command: asks for a printer, prints, and tells the user when printing failed.
void printDesignReport(QWidget* parent, const engine::ReportValues* values);

}  // namespace printing
