#pragma once

#include <QStringList>
#include <vector>

#include "dxf/beamdxf.h"

class QWidget;
namespace project {
class Project;
}

namespace printing {

// The "Exportar a DXF..." command: the project's beam written as a DXF drawing at the file the
// user chooses (".dxf" added when missing). A project of several beams asks first whether all
// go in one drawing, one sheet below the other, or each in a file of its name beside the chosen
// one; a beam without a design is left out and named. With no designed beam it says so; a failed
// write is explained in a message box and leaves no partial file.
void exportBeamDxf(QWidget* parent, const project::Project& project);

// The sheets of every designed beam of the project, in its order; a group's once, under the
// group's name. The names of the beams without a design go to `undesigned`.
std::vector<dxfexport::SheetBeam> projectSheets(const project::Project& project,
                                                QStringList& undesigned);

// Each sheet in a file of its own in `folder`, named after its beam (made safe for a file name);
// the messages of the files not written, a line each, or an empty text.
QString writeSheetsApart(const QString& folder, const std::vector<dxfexport::SheetBeam>& sheets,
                         char decimalSeparator, const engine::drawing::SheetInfo& info);

}  // namespace printing
