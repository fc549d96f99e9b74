#pragma once

class QWidget;

// The "Exportar a DXF..." command: the beam of the window "Viga y despiece" written as a DXF
// drawing at the file the user chooses (".dxf" added when missing). With no designed beam it
// says so; a failed write is explained in a message box and leaves no partial file.
void exportBeamDxf(QWidget* parent);
