#include "infowindow/infowindow.h"

#include <QIcon>
#include <QScrollBar>

#include "infowindow/infotext.h"
#include "ui_infowindow.h"

InfoWindow::InfoWindow(QWidget* parent) : QWidget(parent), ui(std::make_unique<Ui::InfoWindow>()) {
    ui->setupUi(this);
    setupWindow();
    setupText();
    connect(ui->okButton, &QPushButton::clicked, this, &QWidget::close);
}

InfoWindow::~InfoWindow() = default;

void InfoWindow::setupWindow() {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setWindowIcon(QIcon(QStringLiteral(":/infowindow/infowindow.svg")));
}

// The text box keeps its lines apart with its own line separator, so the CR LF pairs of the
// text become single line breaks; the last one leaves an empty line after the text.
void InfoWindow::setupText() {
    QString text = informationText();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    ui->infoText->setPlainText(text);
    ui->infoText->moveCursor(QTextCursor::Start);
    ui->infoText->verticalScrollBar()->setValue(0);
    ui->infoText->setFocus();
}
