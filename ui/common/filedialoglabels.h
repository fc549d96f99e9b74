#pragma once

class QFileDialog;

// The caption of the button that confirms a file dialog ("&Guardar", "&Abrir"), the program's
// own with its access key; Qt's translation gives the dialog's other texts.
void setAcceptCaption(QFileDialog& dialog, const char* accept);
