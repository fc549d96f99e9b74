#pragma once

class QWidget;
namespace project {
class Project;
}

namespace printing {

// The "Exportar a DXF..." command: the project's beam written as a DXF
// drawing at the file the user chooses (".dxf" added when missing). With no designed beam it
// says so; a failed write is explained in a message box and leaves no partial file.
void exportBeamDxf(QWidget* parent, const project::Project& project);

}  // namespace printing
