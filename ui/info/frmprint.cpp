#include "info/frmprint.h"

#include <QIcon>
#include <QScrollBar>

#include "info/infotext.h"
#include "ui_frmprint.h"

static void loadInfoResources() {
    Q_INIT_RESOURCE(info);
}

FrmPrint::FrmPrint(QWidget* parent) : QWidget(parent), ui(std::make_unique<Ui::FrmPrint>()) {
    ui->setupUi(this);
    setupWindow();
    setupText();
    connect(ui->Command1, &QPushButton::clicked, this, &FrmPrint::Command1_Click);
}

FrmPrint::~FrmPrint() = default;

void FrmPrint::setupWindow() {
    loadInfoResources();
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setWindowIcon(QIcon(QStringLiteral(":/info/frmprint.svg")));
}

// The text box keeps its lines apart with its own line separator, so the CR LF pairs of the
// text become single line breaks; the last one leaves an empty line after the text.
void FrmPrint::setupText() {
    QString text = informationText();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    ui->texto->setPlainText(text);
    ui->texto->moveCursor(QTextCursor::Start);
    ui->texto->verticalScrollBar()->setValue(0);
    ui->texto->setFocus();
}

void FrmPrint::Command1_Click() {
    close();
}
