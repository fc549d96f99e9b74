#include "splash/frmsplash.h"

FrmSplash::FrmSplash(QWidget* parent) : QWidget(parent) { setObjectName(QStringLiteral("frmSplash")); }
