#pragma once

class QFileDialog;

// Spanish captions for the parts of a file dialog the user reads first: the folder, the file
// name, the type and the two buttons. Qt's own texts are English unless its translations are
// installed; `accept` is the caption of the button that confirms ("Guardar", "Abrir").
void setSpanishLabels(QFileDialog& dialog, const char* accept);
