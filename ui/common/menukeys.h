#pragma once

class QWidget;

// On some desktops the text boxes keep keys for their own editing (Ctrl+E to the end of the
// line, Ctrl+D to delete) that are also menu shortcuts of the window. With this, a key that an
// enabled action of `window` uses runs that action wherever the focus is in the window's text
// boxes, including the edit lines of its combo boxes.
void giveMenuKeysPriority(QWidget* window);
