#include "guitest.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <utility>

#include "app/appsetup.h"
#include "app/windows.h"

ModalWatcher& ModalWatcher::instance() {
    static ModalWatcher watcher;
    return watcher;
}

ModalWatcher::ModalWatcher() {
    timer_.setInterval(10);
    connect(&timer_, &QTimer::timeout, this, &ModalWatcher::poll);
    timer_.start();
}

void ModalWatcher::poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) return;
    if (expect_ == Expect::Custom) {
        dialog_ = QString::fromLatin1(modal->metaObject()->className());
        expect_ = Expect::Nothing;
        answer_(modal);
        return;
    }
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (expect_ == Expect::MessageBox && box) {
        ShownBox shown{box->windowTitle(), box->text(), box->icon(), {}};
        for (QAbstractButton* b : box->buttons()) shown.buttons << b->text();
        box_ = shown;
        expect_ = Expect::Nothing;
        QAbstractButton* ok = box->button(QMessageBox::Ok);
        if (!ok) ok = box->defaultButton();
        if (ok)
            ok->click();
        else
            box->done(0);
        return;
    }
    auto* dialog = qobject_cast<QDialog*>(modal);
    if (expect_ == Expect::Dialog && dialog) {
        dialog_ = QString::fromLatin1(dialog->metaObject()->className());
        expect_ = Expect::Nothing;
        dialog->reject();
        return;
    }
    unexpected_ << QStringLiteral("%1 \"%2\"%3")
                       .arg(QString::fromLatin1(modal->metaObject()->className()),
                            modal->windowTitle(),
                            box ? QStringLiteral(": ") + box->text() : QString());
    if (dialog)
        dialog->reject();
    else
        modal->close();
}

std::optional<ShownBox> ModalWatcher::answerMessageBox(const std::function<void()>& action) {
    box_.reset();
    expect_ = Expect::MessageBox;
    action();
    expect_ = Expect::Nothing;
    return std::exchange(box_, std::nullopt);
}

std::optional<QString> ModalWatcher::cancelDialog(const std::function<void()>& action) {
    dialog_.reset();
    expect_ = Expect::Dialog;
    action();
    expect_ = Expect::Nothing;
    return std::exchange(dialog_, std::nullopt);
}

std::optional<QString> ModalWatcher::answerModal(const std::function<void()>& action,
                                                 const std::function<void(QWidget*)>& answer) {
    dialog_.reset();
    answer_ = answer;
    expect_ = Expect::Custom;
    action();
    expect_ = Expect::Nothing;
    return std::exchange(dialog_, std::nullopt);
}

QStringList ModalWatcher::takeUnexpected() {
    return std::exchange(unexpected_, {});
}

void GuiTestCase::initTestCase() {
    // The user's settings stay untouched, and every test program starts from the defaults: the
    // settings go to a folder of this run, also for the programs the tests start.
    static const QTemporaryDir settings;
    QVERIFY(settings.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(settings.path()));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    setupApplication(*qApp);
    ModalWatcher::instance();
}

void GuiTestCase::cleanup() {
    windows::unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const QStringList unexpected = ModalWatcher::instance().takeUnexpected();
    QVERIFY2(unexpected.isEmpty(), qPrintable(QStringLiteral("unexpected modal window: ") +
                                              unexpected.join(QStringLiteral("; "))));
}
