// The yardstick for start-up time and memory: a Qt Widgets program with one empty window.
// With --label the window is a label sized to one line of text instead: measuring the text
// makes Qt load its font configuration before the window is shown, as any window whose layout
// depends on its texts does.
#include <QApplication>
#include <QLabel>
#include <QWidget>
#include <cstring>
#include <memory>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const bool label = argc > 1 && std::strcmp(argv[1], "--label") == 0;
    std::unique_ptr<QWidget> window;
    if (label)
        window = std::make_unique<QLabel>(QStringLiteral("Quintaral"));
    else
        window = std::make_unique<QWidget>();
    window->setWindowTitle(QStringLiteral("minimal_qt"));
    if (label) window->adjustSize();
    window->resize(492, 349);  // as large as the splash window
    window->show();
    return QApplication::exec();
}
