#include "splashwindow/splashwindow.h"

#include <QApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>
#include <QScreen>
#include <QTimer>

#include "app/windows.h"
#include "common/decimalseparator.h"
#include "common/formfonts.h"
#include "engine/numbers.h"
#include "quintaral/version.h"
#include "ui_splashwindow.h"

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

SplashWindow::SplashWindow(QWidget* parent)
    : QFrame(parent), ui(std::make_unique<Ui::SplashWindow>()) {
    ui->setupUi(this);
    applyFractionalPointSizes(this);
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setupColours();
    setupCredits();
    setupPicture();
    setupKeyPreview();
    setupTimer();
    placeOnScreen();
    ui->okButton->setFocus();
    connect(ui->okButton, &QPushButton::clicked, this, &SplashWindow::fillProgress);
}

SplashWindow::~SplashWindow() = default;

// The colours are the widgets' palettes, not style sheets: a style sheet makes Qt build a
// style-sheet style and parse it before this first window can show.
void SplashWindow::setupColours() {
    const auto paint = [](QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
        QPalette palette = widget->palette();
        palette.setColor(role, colour);
        widget->setPalette(palette);
    };
    for (QLabel* label : {ui->productNameLabel, ui->copyrightLabel, ui->companyLabel})
        paint(label, QPalette::WindowText, QColor(0, 128, 128));
    paint(ui->warningLabel, QPalette::WindowText, QColor(0, 0, 128));
    // The box is drawn in the foreground colour.
    paint(ui->ornamentBox, QPalette::WindowText, palette().color(QPalette::Highlight));
    for (QFrame* mark :
         {ui->ornamentTopLine, ui->ornamentBottomLine, ui->ornamentTopLeftTick,
          ui->ornamentBottomLeftTick, ui->ornamentTopRightTick, ui->ornamentBottomRightTick}) {
        mark->setAutoFillBackground(true);
        paint(mark, QPalette::Window, Qt::red);
    }
}

void SplashWindow::setupCredits() {
    ui->copyrightLabel->setText(QString::fromUtf8("Quintaral versión " QUINTARAL_VERSION
                                                  " - Copyright © " QUINTARAL_YEAR " Quintaral"));
    // Sized to the caption, so that the rest of the frame stays clickable.
    ui->productNameLabel->adjustSize();
}

void SplashWindow::setupPicture() {
    ui->iconLabel->setPixmap(QApplication::windowIcon().pixmap(ui->iconLabel->size()));
}

// The window sees every key before the focused control does, so that Space and Enter close
// it instead of pressing "O.K.". Mouse presses on creditsFrame are watched for its click.
void SplashWindow::setupKeyPreview() {
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
}

void SplashWindow::setupTimer() {
    closeTimer_ = new QTimer(this);
    closeTimer_->setObjectName(QStringLiteral("closeTimer"));
    closeTimer_->setInterval(splashMilliseconds);
    // A coarse timer may tick up to 5 % early; the splash stays its full four seconds.
    closeTimer_->setTimerType(Qt::PreciseTimer);
    closeTimer_->setSingleShot(true);
    connect(closeTimer_, &QTimer::timeout, this, &SplashWindow::timeUp);
    closeTimer_->start();
}

void SplashWindow::placeOnScreen() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = geometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

bool SplashWindow::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
            return previewKey(static_cast<const QKeyEvent&>(*event));
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            if (watched == ui->creditsFrame)
                return watchCreditsFrame(static_cast<const QMouseEvent&>(*event));
            return false;
        default:
            return false;
    }
}

bool SplashWindow::previewKey(const QKeyEvent& key) {
    if (!typesCharacter(key)) return false;
    handOver();
    return true;
}

// Presses on the labels, the picture and the panel inside creditsFrame are ignored by those
// controls and travel up to the frame; they end here, unused. Only a press and a release on
// the frame's uncovered surface make its click.
bool SplashWindow::watchCreditsFrame(const QMouseEvent& mouse) {
    if (mouse.button() != Qt::LeftButton) return true;
    const QPoint at = mouse.position().toPoint();
    const bool uncovered = ui->creditsFrame->rect().contains(at) && !ui->creditsFrame->childAt(at);
    if (mouse.type() == QEvent::MouseButtonPress) {
        creditsFramePressed_ = uncovered;
    } else if (mouse.type() == QEvent::MouseButtonRelease) {
        const bool click = creditsFramePressed_ && uncovered;
        creditsFramePressed_ = false;
        if (click) handOver();
    }
    return true;
}

void SplashWindow::showProgress(int value) {
    ui->progressBar->setValue(value);
    const std::string number = engine::formatGeneral(ui->progressBar->value(), decimalSeparator());
    ui->percentLabel->setText(QStringLiteral("Cargando") + QString::fromStdString(number) +
                              QStringLiteral(" %"));
}

void SplashWindow::timeUp() {
    ui->progressBar->setVisible(true);
    showProgress(100);
    handOver();
}

// Runs from 1 to 100 without yielding to other events, so the timer cannot tick meanwhile.
void SplashWindow::fillProgress() {
    ui->progressBar->setVisible(true);
    for (int n = 1; n <= 100; ++n) showProgress(n);
    handOver();
}

// The main window is shown before the splash closes, so that at no instant is there no window
// open (the program ends when its last window closes); it is raised again once the splash has
// gone. An open main window is only brought forward, a closed one is loaded afresh.
void SplashWindow::handOver() {
    closeTimer_->stop();
    windows::showMainWindow();
    close();
    windows::showMainWindow();
}
