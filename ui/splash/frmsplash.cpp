#include "splash/frmsplash.h"

#include <QApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>

#include "common/formfonts.h"
#include "common/windows.h"
#include "engine/numbers.h"
#include "ui_frmsplash.h"

namespace {

constexpr int splashMilliseconds = 4000;
const char* const applicationIconPath = ":/icons/quintaral-48.png";

// A key counts when it types a character, as Enter, Esc, Space and Backspace do; Tab moves
// the focus, Delete is an editing key and Alt combinations are menu keys, so those do not.
bool typesCharacter(const QKeyEvent& key) {
    if (key.modifiers() & (Qt::AltModifier | Qt::MetaModifier)) return false;
    switch (key.key()) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Delete:
            return false;
        default:
            return !key.text().isEmpty();
    }
}

}  // namespace

FrmSplash::FrmSplash(QWidget* parent) : QFrame(parent), ui(std::make_unique<Ui::FrmSplash>()) {
    ui->setupUi(this);
    applyFractionalPointSizes(this);
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setupCredits();
    setupPicture();
    setupKeyPreview();
    setupTimer();
    placeOnScreen();
    ui->Command1->setFocus();
    connect(ui->Command1, &QPushButton::clicked, this, &FrmSplash::Command1_Click);
}

FrmSplash::~FrmSplash() = default;

void FrmSplash::setupCredits() {
    ui->lblCopyright->setText(QString::fromUtf8("Quintaral versión " QUINTARAL_VERSION
                                                " - Copyright © " QUINTARAL_YEAR " Quintaral"));
    // Sized to the caption, so that the rest of the frame stays clickable.
    ui->lblProductName->adjustSize();
}

void FrmSplash::setupPicture() {
    ui->Picture1->setPixmap(QApplication::windowIcon().pixmap(ui->Picture1->size()));
}

// The window sees every key before the focused control does, so that Space and Enter close
// it instead of pressing "O.K.". Mouse presses on Frame1 are watched for its click.
void FrmSplash::setupKeyPreview() {
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
}

void FrmSplash::setupTimer() {
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(splashMilliseconds);
    // A coarse timer may tick up to 5 % early; the splash stays its full four seconds.
    Timer1->setTimerType(Qt::PreciseTimer);
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, &FrmSplash::Timer1_Timer);
    Timer1->start();
}

void FrmSplash::placeOnScreen() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = geometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

bool FrmSplash::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
            return previewKey(static_cast<const QKeyEvent&>(*event));
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            if (watched == ui->Frame1) return watchFrame1(static_cast<const QMouseEvent&>(*event));
            return false;
        default:
            return false;
    }
}

bool FrmSplash::previewKey(const QKeyEvent& key) {
    if (!typesCharacter(key)) return false;
    Form_KeyPress();
    return true;
}

// Presses on the labels, the picture and the panel inside Frame1 are ignored by those
// controls and travel up to the frame; they end here, unused. Only a press and a release on
// the frame's uncovered surface make its click.
bool FrmSplash::watchFrame1(const QMouseEvent& mouse) {
    if (mouse.button() != Qt::LeftButton) return true;
    const QPoint at = mouse.position().toPoint();
    const bool uncovered = ui->Frame1->rect().contains(at) && !ui->Frame1->childAt(at);
    if (mouse.type() == QEvent::MouseButtonPress) {
        frame1Pressed_ = uncovered;
    } else if (mouse.type() == QEvent::MouseButtonRelease) {
        const bool click = frame1Pressed_ && uncovered;
        frame1Pressed_ = false;
        if (click) Frame1_Click();
    }
    return true;
}

void FrmSplash::showProgress(int value) {
    ui->ProgressBar1->setValue(value);
    const std::string number =
        engine::formatGeneral(ui->ProgressBar1->value(), QLocale().decimalPoint().at(0).toLatin1());
    ui->lblporcent->setText(QStringLiteral("Cargando") + QString::fromStdString(number) +
                            QStringLiteral(" %"));
}

void FrmSplash::Timer1_Timer() {
    ui->ProgressBar1->setVisible(true);
    showProgress(100);
    handOver();
}

// Runs from 1 to 100 without yielding to other events, so the timer cannot tick meanwhile.
void FrmSplash::Command1_Click() {
    ui->ProgressBar1->setVisible(true);
    for (int n = 1; n <= 100; ++n) showProgress(n);
    handOver();
}

void FrmSplash::Form_KeyPress() {
    handOver();
}

void FrmSplash::Frame1_Click() {
    handOver();
}

// The main window is shown before the splash closes, so that at no instant is there no window
// open (the program ends when its last window closes); it is raised again once the splash has
// gone. An open main window is only brought forward, a closed one is loaded afresh.
void FrmSplash::handOver() {
    Timer1->stop();
    windows::showForm1();
    close();
    windows::showForm1();
}
