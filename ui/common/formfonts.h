#pragma once

class QWidget;

// Designer forms hold font sizes in whole points; the windows are drawn in sizes such as
// 8.25 or 21.75 points. A control whose form gives it the dynamic property "pointSizeF"
// gets that size here, after setupUi.
void applyFractionalPointSizes(QWidget* window);
