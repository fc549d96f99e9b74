#pragma once

#include <QString>
#include <string>

#include "engine/report.h"

class QPrinter;
class QWidget;

namespace printing {

// The printed report composed from the value texts of the last completed design run, or the
// bare form (labels and units only) when there is none. CR LF between lines, none after the last.
std::string printedReport(const engine::ReportValues* values);

// Prints `text` on `printer` as one document, one printed line per text line.
// Returns false when the printer could not be used.
bool printText(QPrinter& printer, const QString& text);

// The "Imprimir" command: asks for a printer, prints, and tells the user when printing failed.
void printDesignReport(QWidget* parent, const engine::ReportValues* values);

}  // namespace printing
