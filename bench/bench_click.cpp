// The calculate click in process: from the mouse click on "Calcular" to the report standing in
// the results box, on the main window as the program builds it (offscreen platform unless
// another one is asked for).
#include <benchmark/benchmark.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include "app/appsetup.h"
#include "app/windows.h"
#include "mainwindow/mainwindow.h"

namespace {

struct Controls {
    MainWindow* form = nullptr;
    QAbstractButton* calculate = nullptr;
    QLineEdit* mu = nullptr;
    QPlainTextEdit* results = nullptr;
};

Controls& controls() {
    static Controls w = [] {
        windows::showMainWindow();
        Controls m;
        m.form = windows::loadedMainWindow();
        m.calculate = m.form->findChild<QAbstractButton*>(QStringLiteral("calculateButton"));
        m.mu = m.form->findChild<QLineEdit*>(QStringLiteral("momentEdit"));
        m.results = m.form->findChild<QPlainTextEdit*>(QStringLiteral("resultsBox"));
        if (!QTest::qWaitForWindowExposed(m.form)) qFatal("the main window was not shown");
        return m;
    }();
    return w;
}

// Mu 1 gives the singly reinforced report of the default inputs, Mu 5 a doubly reinforced one.
void prepare(benchmark::State& state, const Controls& w) {
    w.mu->setText(QString::number(state.range(0)));
    w.results->clear();
    QTest::mouseClick(w.calculate, Qt::LeftButton);
    if (w.results->document()->blockCount() < 15) state.SkipWithError("no report after the click");
}

void calculateClick(benchmark::State& state) {
    const Controls& w = controls();
    prepare(state, w);
    for (auto _ : state) QTest::mouseClick(w.calculate, Qt::LeftButton);
}
BENCHMARK(calculateClick)->Arg(1)->Arg(5)->Unit(benchmark::kMicrosecond);

// The calculation alone, called directly: the part of the click after the button's own
// handling (pressed look painted at once, released, clicked signal).
void calculateCall(benchmark::State& state) {
    const Controls& w = controls();
    prepare(state, w);
    for (auto _ : state) w.form->calculate();
}
BENCHMARK(calculateCall)->Arg(1)->Arg(5)->Unit(benchmark::kMicrosecond);

// The same with the results box painted again, as the next screen update does.
void calculateClickPainted(benchmark::State& state) {
    const Controls& w = controls();
    prepare(state, w);
    for (auto _ : state) {
        QTest::mouseClick(w.calculate, Qt::LeftButton);
        w.results->viewport()->repaint();
    }
}
BENCHMARK(calculateClickPainted)->Arg(1)->Arg(5)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setupApplication(app);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    windows::unloadAll();
    return 0;
}
