#pragma once

class QFileDialog;
class QString;

// The caption of the button that confirms a file dialog ("&Guardar", "&Abrir"), the program's
// own with its access key; Qt's translation gives the dialog's other texts.
void setAcceptCaption(QFileDialog& dialog, const char* accept);

// The name an export dialog proposes: the project's file with the export's extension beside it
// ("/obra/viga.quintaral" gives "/obra/viga.pdf"), or `unnamed` for a project not yet saved.
QString suggestedExportName(const QString& projectPath, const QString& extension,
                            const QString& unnamed);
