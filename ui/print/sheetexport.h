#pragma once

#include <QString>
#include <optional>

#include "print/pdfsheet.h"

class QWidget;
namespace project {
class Project;
}

// The calculation sheet of a project, and the "Exportar a PDF" command that asks where to write
// it and says when that fails.
namespace printing {

// The sheet of the project's last completed design, with its chosen bars when it has some
// (whether or not a window shows them), followed by the pages of the project's beam when it has
// a designed one; the beam's pages alone when there is no section design; none with neither.
std::optional<CalculationSheet> calculationSheet(const project::Project& project);

// Writes the sheet at `path` and, when that fails, says why in a message box.
// Returns true when the sheet was written.
bool saveCalculationSheetAs(QWidget* parent, const CalculationSheet& sheet, const QString& path);

// The "Exportar a PDF" command: with no completed design, says there is nothing to export;
// otherwise asks for a file name (".pdf" is added when missing) and writes the sheet there.
void exportCalculationSheet(QWidget* parent, const std::optional<CalculationSheet>& sheet,
                            const QString& suggestedName);

}  // namespace printing
