// The calculate click in process: from the mouse click on "Calcular" to the report standing in
// the results box, on the main window as the program builds it (offscreen platform unless
// another one is asked for).
#include <benchmark/benchmark.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include "common/appsetup.h"
#include "common/windows.h"
#include "form1/form1.h"

namespace {

struct MainWindow {
    Form1* form = nullptr;
    QAbstractButton* calculate = nullptr;
    QLineEdit* mu = nullptr;
    QPlainTextEdit* results = nullptr;
};

MainWindow& mainWindow() {
    static MainWindow w = [] {
        windows::showForm1();
        MainWindow m;
        m.form = windows::loadedForm1();
        m.calculate = m.form->findChild<QAbstractButton*>(QStringLiteral("Cmdcalcular"));
        m.mu = m.form->findChild<QLineEdit*>(QStringLiteral("Text6"));
        m.results = m.form->findChild<QPlainTextEdit*>(QStringLiteral("Text8"));
        if (!QTest::qWaitForWindowExposed(m.form)) qFatal("the main window was not shown");
        return m;
    }();
    return w;
}

// Mu 1 gives the singly reinforced report of the default inputs, Mu 5 a doubly reinforced one.
void prepare(benchmark::State& state, const MainWindow& w) {
    w.mu->setText(QString::number(state.range(0)));
    w.results->clear();
    QTest::mouseClick(w.calculate, Qt::LeftButton);
    if (w.results->document()->blockCount() < 15) state.SkipWithError("no report after the click");
}

void calculateClick(benchmark::State& state) {
    const MainWindow& w = mainWindow();
    prepare(state, w);
    for (auto _ : state) QTest::mouseClick(w.calculate, Qt::LeftButton);
}
BENCHMARK(calculateClick)->Arg(1)->Arg(5)->Unit(benchmark::kMicrosecond);

// The calculation alone, called directly: the part of the click after the button's own
// handling (pressed look painted at once, released, clicked signal).
void calculoCall(benchmark::State& state) {
    const MainWindow& w = mainWindow();
    prepare(state, w);
    for (auto _ : state) w.form->calculo();
}
BENCHMARK(calculoCall)->Arg(1)->Arg(5)->Unit(benchmark::kMicrosecond);

// The same with the results box painted again, as the next screen update does.
void calculateClickPainted(benchmark::State& state) {
    const MainWindow& w = mainWindow();
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
