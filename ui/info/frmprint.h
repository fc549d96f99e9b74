#pragma once

#include <QWidget>

class FrmPrint : public QWidget {
    Q_OBJECT
public:
    explicit FrmPrint(QWidget* parent = nullptr);
};
