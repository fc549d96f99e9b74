#include "info/frmprint.h"

FrmPrint::FrmPrint(QWidget* parent) : QWidget(parent) { setObjectName(QStringLiteral("frmprint")); }
