#pragma once

#include <QApplication>
#include <QLocale>
#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <functional>
#include <optional>

// What a message box showed when it was answered.
struct ShownBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;  // the texts of its buttons
};

// Watches for modal windows while a window test runs. A modal window that nobody expected is
// recorded and closed, so the test cannot hang on it, and the test fails at its cleanup.
class ModalWatcher : public QObject {
    Q_OBJECT
  public:
    static ModalWatcher& instance();

    // Runs `action`, answering the first message box it opens with its OK (or default) button.
    // Returns what the box showed, or nothing when no box was opened.
    std::optional<ShownBox> answerMessageBox(const std::function<void()>& action);

    // Runs `action`, cancelling the first modal dialog it opens; returns its class name.
    std::optional<QString> cancelDialog(const std::function<void()>& action);

    // Runs `action`, handing the first modal window it opens to `answer`, which closes it (a
    // chosen button, a file typed into a file dialog). Returns the window's class name.
    std::optional<QString> answerModal(const std::function<void()>& action,
                                       const std::function<void(QWidget*)>& answer);

    // Descriptions of the modal windows that appeared unexpectedly since the last call.
    QStringList takeUnexpected();

  private:
    ModalWatcher();
    void poll();

    QTimer timer_;
    enum class Expect { Nothing, MessageBox, Dialog, Custom } expect_ = Expect::Nothing;
    std::function<void(QWidget*)> answer_;
    std::optional<ShownBox> box_;
    std::optional<QString> dialog_;
    QStringList unexpected_;
};

// Sets the default locale for the lifetime of the guard and restores the previous one.
class LocaleGuard {
  public:
    explicit LocaleGuard(const QLocale& locale) : saved_(QLocale()) { QLocale::setDefault(locale); }
    ~LocaleGuard() { QLocale::setDefault(saved_); }
    LocaleGuard(const LocaleGuard&) = delete;
    LocaleGuard& operator=(const LocaleGuard&) = delete;

  private:
    QLocale saved_;
};

// The open window of class Window, found among the top-level windows as the user sees them;
// nullptr when none is open.
template <class Window>
Window* openWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<Window*>(widget); window && window->isVisible())
            return window;
    return nullptr;
}

// The child control of class T and that object name; a window without it stops the test, which
// cannot go on.
template <class T>
T* childNamed(QObject* parent, const char* name) {
    T* child = parent->findChild<T*>(QString::fromLatin1(name));
    if (!child) qFatal("no control %s", name);
    return child;
}

// Base of every window test class: sets the program up once, checks after every test that no
// unexpected modal window appeared, and unloads all windows so each test starts afresh.
class GuiTestCase : public QObject {
    Q_OBJECT
  protected Q_SLOTS:
    void initTestCase();
    void cleanup();
};

// main() for a window test: the offscreen platform unless another one is asked for.
#define QUINTARAL_GUI_TEST_MAIN(TestClass)                  \
    int main(int argc, char* argv[]) {                      \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) \
            qputenv("QT_QPA_PLATFORM", "offscreen");        \
        QApplication app(argc, argv);                       \
        app.setAttribute(Qt::AA_Use96Dpi, true);            \
        TestClass test;                                     \
        return QTest::qExec(&test, argc, argv);             \
    }
