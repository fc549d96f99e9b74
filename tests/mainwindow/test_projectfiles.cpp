// Project files through the main window: saving and opening again, refused files, the question
// before unsaved changes are lost, the title, the recent list, the PDF export and the file named
// on the command line.
#include <QAbstractButton>
#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <array>
#include <cmath>
#include <cstring>
#include <random>

#include "app/filecommands.h"
#include "app/windows.h"
#include "common/inputtexts.h"
#include "engine/arrangementtext.h"
#include "engine/numbers.h"
#include "guitest.h"
#include "layoutwindow/layoutwindow.h"
#include "mainwindow/mainwindow.h"
#include "project/project.h"

namespace {

const QString caption =
    QStringLiteral("Calculo del Acero de Refuerzo en Vigas de Concreto Reforzado");

MainWindow* openMainWindow() {
    windows::showMainWindow();
    MainWindow* form = windows::loadedMainWindow();
    if (form && !QTest::qWaitForWindowActive(form)) qWarning("MainWindow did not become active");
    return form;
}

QString reportOf(const MainWindow* form) {
    return form->findChild<QPlainTextEdit*>(QStringLiteral("resultsBox"))->toPlainText();
}

void trigger(const MainWindow* form, const char* action) {
    form->findChild<QAction*>(QString::fromLatin1(action))->trigger();
}

// Everything a refused or cancelled command must leave as it was.
struct Shown {
    std::array<QString, 7> inputs;
    QString report;
    QString title;
    engine::DesignCode code;
    QString path;
    bool operator==(const Shown&) const = default;
};

Shown shown(const MainWindow* form) {
    return {form->inputTexts(), reportOf(form), form->windowTitle(), form->designCode(),
            form->project()->path()};
}

// A number as a user types it: up to two decimals, no trailing zero.
QString typed(int hundredths, QChar separator) {
    QString text = QString::number(hundredths / 100);
    const int fraction = hundredths % 100;
    if (fraction != 0) {
        QString digits = QStringLiteral("%1").arg(fraction, 2, 10, QLatin1Char('0'));
        while (digits.endsWith(QLatin1Char('0'))) digits.chop(1);
        text += separator + digits;
    }
    return text;
}

// Plausible beams, so that most of them design.
std::array<QString, 7> randomInputs(std::mt19937& random, QChar separator) {
    auto between = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    return {typed(between(25, 50) * 100 + between(0, 99), separator),
            typed(between(45, 80) * 100 + between(0, 9) * 10, separator),
            typed(between(400, 700), separator),
            typed(std::array{21000, 24500, 28000}[between(0, 2)], separator),
            typed(420000, separator),
            typed(between(500, 2500), separator),
            typed(between(400, 700), separator)};
}

// Hands a file dialog the path, as if typed and accepted.
std::function<void(QWidget*)> chooseFile(const QString& path) {
    return [path](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (!dialog) {
            modal->close();
            return;
        }
        // Typed into the file name box, which takes a whole path, and confirmed.
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (!name) {
            dialog->reject();
            return;
        }
        name->setText(path);
        static_cast<QDialog*>(dialog)->accept();
    };
}

// Presses the button of that text and records what the box said.
std::function<void(QWidget*)> pressButton(const QString& text, ShownBox* seen) {
    return [text, seen](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (!box) {
            modal->close();
            return;
        }
        *seen = {box->windowTitle(), box->text(), box->icon(), {}};
        QAbstractButton* pressed = nullptr;
        for (QAbstractButton* button : box->buttons()) {
            seen->buttons << button->text();
            if (button->text() == text) pressed = button;
        }
        if (pressed)
            pressed->click();
        else
            box->done(0);
    };
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class TestProjectFiles : public GuiTestCase {
    Q_OBJECT
  private Q_SLOTS:
    void init() { QSettings().clear(); }
    void roundTrip_data();
    void roundTrip();
    void typingEditsTheProject();
    void fieldTextReadsBackExactly();
    void saveThroughTheDialog();
    void refusedFileChangesNothing_data();
    void refusedFileChangesNothing();
    void saveRefusesWhatIsNotANumber();
    void unsavedChanges_data();
    void unsavedChanges();
    void recentFiles();
    void layoutTravelsWithTheFile();
    void exportPdf();
    void barsOutliveTheLayoutWindow();
    void filesResaveByteForByte_data();
    void filesResaveByteForByte();
    void openFromCommandLine_data();
    void openFromCommandLine();
};

void TestProjectFiles::roundTrip_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::newRow("point") << QLocale(QLocale::English, QLocale::UnitedStates);
    QTest::newRow("comma") << QLocale(QLocale::Spanish, QLocale::Colombia);
}

// Save, "Nuevo", open: the same inputs, code and report, whatever was typed.
void TestProjectFiles::roundTrip() {
    QFETCH(QLocale, locale);
    const LocaleGuard guard(locale);
    QTemporaryDir dir;
    std::mt19937 random(20240611);
    MainWindow* form = openMainWindow();
    const Shown atStart = shown(form);
    int designed = 0;
    for (int sample = 0; sample < 6; ++sample) {
        const auto inputs = randomInputs(random, locale.decimalPoint().front());
        form->setDesignCode(sample % 2 ? engine::DesignCode::Nsr10 : engine::DesignCode::Nsr98);
        form->setInputTexts(inputs);
        if (ModalWatcher::instance().answerMessageBox([&] { form->calculate(); })) continue;
        ++designed;
        const Shown saved = shown(form);
        const QString path = dir.filePath(QStringLiteral("viga %1.quintaral").arg(sample));
        QVERIFY(form->fileCommands()->saveTo(path));
        QCOMPARE(form->windowTitle(),
                 QStringLiteral("viga %1.quintaral[*] - ").arg(sample) + caption);
        QVERIFY(!form->isWindowModified());

        form->fileCommands()->newProject();
        Shown expected = atStart;
        expected.code = form->designCode();  // "Nuevo" keeps the code in force
        QCOMPARE(shown(form), expected);
        QVERIFY(!form->lastDesign());

        form->setDesignCode(sample % 2 ? engine::DesignCode::Nsr98 : engine::DesignCode::Nsr10);
        QVERIFY(form->fileCommands()->openFile(path));
        Shown opened = shown(form);
        opened.path = saved.path;
        opened.title = saved.title;
        QCOMPARE(opened, saved);
        QVERIFY(!form->isWindowModified());
    }
    QVERIFY2(designed >= 4, "too few of the random beams designed");
}

// What is typed reaches the project as it is typed, without "Calcular", and modifies it; a file
// opened fills the fields and is unmodified; "Nuevo" is unmodified with the start-up inputs.
void TestProjectFiles::typingEditsTheProject() {
    const LocaleGuard guard(QLocale(QLocale::Spanish, QLocale::Colombia));
    QTemporaryDir dir;
    MainWindow* form = openMainWindow();
    project::Project* project = form->project();
    const project::DesignInputs atStart = project->inputs();
    QVERIFY(!project->isModified());
    const QString path = dir.filePath(QStringLiteral("viga.quintaral"));
    QVERIFY(form->fileCommands()->saveTo(path));

    auto* moment = form->findChild<QLineEdit*>(QStringLiteral("momentEdit"));
    moment->selectAll();
    QTest::keyClicks(moment, QStringLiteral("17,5"));
    QCOMPARE(project->inputs()[project::Input::Moment], 17.5);
    QVERIFY(project->isModified());
    QVERIFY(form->isWindowModified());
    QVERIFY(!form->lastDesign());
    // A field that is no number keeps the project's last number and stops a save.
    moment->clear();
    QCOMPARE(project->inputNotANumber(), std::optional(project::Input::Moment));
    QCOMPARE(project->inputs()[project::Input::Moment], 17.5);
    moment->setText(QStringLiteral("19"));
    QVERIFY(!project->inputNotANumber());
    QVERIFY(form->fileCommands()->save());
    QVERIFY(!form->isWindowModified());

    form->fileCommands()->newProject();
    QCOMPARE(project->inputs(), atStart);
    QVERIFY(!project->isModified());
    QVERIFY(form->fileCommands()->openFile(path));
    QCOMPARE(project->inputs()[project::Input::Moment], 19.0);
    QCOMPARE(moment->text(), QStringLiteral("19"));
    QVERIFY(!project->isModified());
    QVERIFY(!form->isWindowModified());
    // A code chosen in the menu is an edit too.
    form->setDesignCode(form->designCode() == engine::DesignCode::Nsr98
                            ? engine::DesignCode::Nsr10
                            : engine::DesignCode::Nsr98);
    QVERIFY(form->isWindowModified());
}

// What the main window shows for a value from a file reads back as the same value.
void TestProjectFiles::fieldTextReadsBackExactly() {
    std::mt19937_64 random(7);
    for (int run = 0; run < 20000; ++run) {
        const std::uint64_t bits = random();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        if (!std::isfinite(value)) continue;
        const char separator = run % 2 ? ',' : '.';
        const QString text = inputText(value, separator);
        const std::optional<double> back = engine::parseNumber(text.toStdString(), separator);
        // Zero keeps no sign; every other value comes back bit for bit.
        QVERIFY2(back && (value == 0 ? *back == 0 : std::memcmp(&*back, &value, sizeof value) == 0),
                 qPrintable(text));
    }
    QCOMPARE(inputText(0.1, ','), QStringLiteral("0,1"));
    QCOMPARE(inputText(4200, '.'), QStringLiteral("4200"));
    QCOMPARE(inputText(-12.5, '.'), QStringLiteral("-12.5"));

    const TypedInputs typed = inputsFromTexts({"30", "50", "6", "210", "4200", "20,5", "6"}, ',');
    QVERIFY(!typed.notANumber);
    QCOMPARE(typed.inputs[project::Input::Moment], 20.5);
    project::DesignInputs previous;
    previous.values = {1, 2, 3, 4, 5, 6, 7};
    const TypedInputs blank =
        inputsFromTexts({"30", "50", "6", "", "4200", "x", "6"}, '.', previous);
    QCOMPARE(blank.notANumber, std::optional(project::Input::Fc));
    QCOMPARE(blank.inputs[project::Input::Fc], 4.0);
    QCOMPARE(blank.inputs[project::Input::Moment], 6.0);
    QCOMPARE(blank.inputs[project::Input::Height], 50.0);
}

void TestProjectFiles::saveThroughTheDialog() {
    QTemporaryDir dir;
    MainWindow* form = openMainWindow();
    const QString path = dir.filePath(QStringLiteral("losa"));
    const auto dialog = ModalWatcher::instance().answerModal(
        [&] { QTest::keyClick(form, Qt::Key_S, Qt::ControlModifier); }, chooseFile(path));
    QCOMPARE(dialog, std::optional<QString>(QStringLiteral("QFileDialog")));
    // The suffix is added to a name typed without it.
    QCOMPARE(form->project()->path(), path + QStringLiteral(".quintaral"));
    QVERIFY(contents(form->project()->path()).contains("\"quintaral-project\""));
    QCOMPARE(form->windowTitle(), QStringLiteral("losa.quintaral[*] - ") + caption);

    // Ctrl+S again writes the file in use without asking.
    form->findChild<QLineEdit*>(QStringLiteral("momentEdit"))->setText(QStringLiteral("33"));
    QVERIFY(form->isWindowModified());
    form->activateWindow();  // the user clicks back after the dialog
    QVERIFY(QTest::qWaitForWindowActive(form));
    QTest::keyClick(form, Qt::Key_S, Qt::ControlModifier);
    QVERIFY(!form->isWindowModified());
    QVERIFY(contents(form->project()->path()).contains("33"));
}

void TestProjectFiles::refusedFileChangesNothing_data() {
    QTest::addColumn<QByteArray>("bytes");  // empty: no file at all
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << QByteArray() << "el archivo no existe";
    QTest::newRow("not JSON") << QByteArray("{\"format\": ") << "";
    QTest::newRow("newer schema") << QByteArray(
                                         "{\"format\":\"quintaral-project\",\"schemaVersion\":99}")
                                  << "";
    QTest::newRow("input missing")
        << QByteArray(
               "{\"format\":\"quintaral-project\",\"schemaVersion\":1,\"code\":\"NSR-98\","
               "\"inputs\":{\"b\":30,\"h\":50,\"cover\":5,\"fc\":210,\"fy\":4200,"
               "\"mu\":12}}")
        << "cover2";
}

void TestProjectFiles::refusedFileChangesNothing() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    MainWindow* form = openMainWindow();
    const QString inUse = dir.filePath(QStringLiteral("en uso.quintaral"));
    QVERIFY(form->fileCommands()->saveTo(inUse));
    form->setInputTexts({"31", "52", "6", "245", "4200", "18", "5"});
    form->calculate();
    const Shown before = shown(form);

    const QString path = dir.filePath(QStringLiteral("malo.quintaral"));
    if (!bytes.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    const auto box = ModalWatcher::instance().answerMessageBox(
        [&] { QVERIFY(!form->fileCommands()->openFile(path)); });
    QVERIFY(box);
    QCOMPARE(box->icon, QMessageBox::Critical);
    QVERIFY2(
        box->text.startsWith(QStringLiteral("No se puede abrir el archivo \"malo.quintaral\"")),
        qPrintable(box->text));
    QVERIFY2(box->text.contains(reason), qPrintable(box->text));
    QCOMPARE(shown(form), before);
    QVERIFY(form->isWindowModified());
}

void TestProjectFiles::saveRefusesWhatIsNotANumber() {
    QTemporaryDir dir;
    MainWindow* form = openMainWindow();
    const QString path = dir.filePath(QStringLiteral("viga.quintaral"));
    QVERIFY(form->fileCommands()->saveTo(path));
    const QByteArray saved = contents(path);
    auto* fc = form->findChild<QLineEdit*>(QStringLiteral("fcEdit"));
    fc->setText(QStringLiteral("doscientos"));
    const auto box =
        ModalWatcher::instance().answerMessageBox([&] { QVERIFY(!form->fileCommands()->save()); });
    QVERIFY(box);
    QCOMPARE(box->text, project::notANumberMessage(path, project::Input::Fc));
    QCOMPARE(contents(path), saved);
    QVERIFY(form->isWindowModified());
    QCOMPARE(form->focusWidget(), fc);
}

void TestProjectFiles::unsavedChanges_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("kept");   // the edited window is still there
    QTest::addColumn<bool>("saved");  // the edit reached the file
    for (const char* command : {"newAction", "close"}) {
        QTest::addRow("%s, Cancelar", command) << command << "Cancelar" << true << false;
        QTest::addRow("%s, No guardar", command) << command << "No guardar" << false << false;
        QTest::addRow("%s, Guardar", command) << command << "Guardar" << false << true;
    }
    QTest::newRow("exitAction, Cancelar") << "exitAction"
                                          << "Cancelar" << true << false;
}

void TestProjectFiles::unsavedChanges() {
    QFETCH(QString, command);
    QFETCH(QString, answer);
    QFETCH(bool, kept);
    QFETCH(bool, saved);
    QTemporaryDir dir;
    MainWindow* form = openMainWindow();
    // No question without a file in use.
    form->findChild<QLineEdit*>(QStringLiteral("momentEdit"))->setText(QStringLiteral("21"));
    trigger(form, "newAction");
    QCOMPARE(form->windowTitle(), caption);

    const QString path = dir.filePath(QStringLiteral("viga.quintaral"));
    QVERIFY(form->fileCommands()->saveTo(path));
    form->findChild<QLineEdit*>(QStringLiteral("momentEdit"))->setText(QStringLiteral("27"));
    QVERIFY(form->isWindowModified());
    const Shown edited = shown(form);

    ShownBox box;
    const auto modal = ModalWatcher::instance().answerModal(
        [&] {
            if (command == QStringLiteral("close"))
                form->close();
            else
                trigger(form, qPrintable(command));
        },
        pressButton(answer, &box));
    QCOMPARE(modal, std::optional<QString>(QStringLiteral("QMessageBox")));
    QCOMPARE(box.text, QStringLiteral("El proyecto \"viga.quintaral\" tiene cambios sin guardar. "
                                      "¿Desea guardarlos?"));
    QCOMPARE(box.buttons.size(), 3);
    for (const char* button : {"Guardar", "No guardar", "Cancelar"})
        QVERIFY(box.buttons.contains(QString::fromUtf8(button)));

    if (command == QStringLiteral("close"))
        QCOMPARE(windows::loadedMainWindow() == form, kept);
    else if (!kept)
        QCOMPARE(shown(form).title, caption);
    if (kept) {
        QCOMPARE(shown(form), edited);
        QVERIFY(form->isWindowModified());
    }
    QCOMPARE(contents(path).contains("27"), saved);
}

void TestProjectFiles::recentFiles() {
    QTemporaryDir dir;
    MainWindow* form = openMainWindow();
    auto* recent = form->findChild<QMenu*>(QStringLiteral("recentMenu"));
    QVERIFY(!recent->menuAction()->isEnabled());
    const QString path = dir.filePath(QStringLiteral("viga.quintaral"));
    QVERIFY(form->fileCommands()->saveTo(path));
    QVERIFY(recent->menuAction()->isEnabled());
    QCOMPARE(recent->actions().size(), 1);
    QVERIFY(recent->actions().front()->text().endsWith(QStringLiteral("viga.quintaral")));

    // A file gone since is reported like any refused file and leaves the list.
    form->fileCommands()->newProject();
    QVERIFY(QFile::remove(path));
    const auto box =
        ModalWatcher::instance().answerMessageBox([&] { recent->actions().front()->trigger(); });
    QVERIFY(box);
    QVERIFY(box->text.contains(QStringLiteral("el archivo no existe")));
    QVERIFY(recent->actions().isEmpty());
    QVERIFY(!recent->menuAction()->isEnabled());
}

// Saved with bars chosen in the layout window, the file opens that window again with them.
void TestProjectFiles::layoutTravelsWithTheFile() {
    QTemporaryDir dir;
    MainWindow* form = openMainWindow();
    form->setInputTexts({"30", "50", "5", "210", "4200", "12", "5"});
    form->calculate();
    form->showLayoutWindow();
    const engine::LayoutSettings settings{4, 5, 2.5, 1};
    const project::ChosenBars choice{engine::parseArrangement("3 N° 6").arrangement, {}, true};
    openWindow<LayoutWindow>()->restore(settings, choice);
    QCOMPARE(openWindow<LayoutWindow>()->choice(), choice);
    const QString path = dir.filePath(QStringLiteral("con barras.quintaral"));
    QVERIFY(form->fileCommands()->saveTo(path));

    form->fileCommands()->newProject();
    QVERIFY(!openWindow<LayoutWindow>());
    QVERIFY(form->fileCommands()->openFile(path));
    const LayoutWindow* layout = openWindow<LayoutWindow>();
    QVERIFY(layout);
    QVERIFY(layout->choice().tension == choice.tension);
    QCOMPARE(layout->settings().stirrupDesignation, settings.stirrupDesignation);
    QCOMPARE(layout->settings().clearCover, settings.clearCover);
    QCOMPARE(layout->settings().maxAggregate, settings.maxAggregate);
    QCOMPARE(layout->settings().maxTensionLayers, settings.maxTensionLayers);
    QVERIFY(!form->isWindowModified());
}

// The sheet holds the report as the window shows it, the file's name and the chosen bars.
void TestProjectFiles::exportPdf() {
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty()) QSKIP("pdftotext (poppler-utils) is not installed");
    const LocaleGuard guard(QLocale(QLocale::Spanish, QLocale::Colombia));
    QTemporaryDir dir;
    MainWindow* form = openMainWindow();
    form->setInputTexts({"30", "50", "5", "210", "4200", "12", "5"});
    form->calculate();
    QVERIFY(form->fileCommands()->saveTo(dir.filePath(QStringLiteral("puente.quintaral"))));
    form->showLayoutWindow();
    QVERIFY(openWindow<LayoutWindow>()->hasArrangement());
    const project::ChosenBars choice = openWindow<LayoutWindow>()->choice();

    const QString pdf = dir.filePath(QStringLiteral("hoja.pdf"));
    // Ctrl+E from a field, as the user presses it.
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form));
    auto* moment = form->findChild<QLineEdit*>(QStringLiteral("momentEdit"));
    moment->setFocus();
    const auto dialog = ModalWatcher::instance().answerModal(
        [&] { QTest::keyClick(moment, Qt::Key_E, Qt::ControlModifier); }, chooseFile(pdf));
    QCOMPARE(dialog, std::optional<QString>(QStringLiteral("QFileDialog")));
    QProcess process;
    process.start(pdftotext, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QVERIFY(process.waitForFinished(30000));
    const QString text = QString::fromUtf8(process.readAllStandardOutput()).simplified();
    for (const QString& line : reportOf(form).split(QLatin1Char('\n')))
        QVERIFY2(text.contains(line.simplified()), qPrintable(line));
    QVERIFY(text.contains(QStringLiteral("puente.quintaral")));
    QVERIFY(text.contains(
        QString::fromStdString(engine::formatLayer(choice.tension.layers.at(0))).simplified()));
    const std::string& verdict = openWindow<LayoutWindow>()->checkLines().back();
    QVERIFY(text.contains(QString::fromStdString(verdict).simplified()));
}

// The bars chosen in the layout window belong to the project: with the window closed, "Guardar"
// stores them, "Exportar a PDF..." shows them on the second page, and the window opened again
// shows them.
void TestProjectFiles::barsOutliveTheLayoutWindow() {
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty()) QSKIP("pdftotext (poppler-utils) is not installed");
    const LocaleGuard guard(QLocale::c());
    QTemporaryDir dir;
    MainWindow* form = openMainWindow();
    form->setInputTexts({"30", "50", "5", "210", "4200", "40", "5"});
    form->calculate();
    form->showLayoutWindow();
    LayoutWindow* layout = openWindow<LayoutWindow>();
    QVERIFY(layout && layout->hasArrangement());
    const project::ChosenBars choice = layout->choice();
    QVERIFY(!choice.compression.layers.empty());
    const std::string verdict = layout->checkLines().back();
    layout->close();
    QVERIFY(!openWindow<LayoutWindow>());

    const QString path = dir.filePath(QStringLiteral("viga.quintaral"));
    QVERIFY(form->fileCommands()->saveTo(path));
    const project::ReadResult saved = project::readProject(path);
    QVERIFY2(saved.project && saved.project->arrangement, qPrintable(saved.error));
    QVERIFY(saved.project->arrangement->tension == choice.tension);
    QVERIFY(saved.project->arrangement->compression == choice.compression);

    const QString pdf = dir.filePath(QStringLiteral("viga.pdf"));
    const auto dialog = ModalWatcher::instance().answerModal(
        [&] { trigger(form, "exportPdfAction"); }, chooseFile(pdf));
    QCOMPARE(dialog, std::optional<QString>(QStringLiteral("QFileDialog")));
    QProcess process;
    process.start(pdftotext, {"-f", "2", "-l", "2", "-layout", pdf, "-"});
    QVERIFY(process.waitForFinished(30000));
    const QString second = QString::fromUtf8(process.readAllStandardOutput()).simplified();
    for (const engine::Arrangement* face : {&choice.tension, &choice.compression})
        QVERIFY2(second.contains(QString::fromStdString(engine::formatArrangement(*face))),
                 qPrintable(second));
    QVERIFY(second.contains(QString::fromStdString(verdict)));

    form->showLayoutWindow();
    QVERIFY(openWindow<LayoutWindow>()->choice() == choice);
}

void TestProjectFiles::filesResaveByteForByte_data() {
    QTest::addColumn<double>("mu");
    QTest::addColumn<QStringList>("tension");  // none: no layout or bars saved
    QTest::addColumn<QString>("compression");
    QTest::newRow("no bars") << 23.0 << QStringList() << QString();
    QTest::newRow("typed, singly with compression")
        << 23.0 << QStringList{"2n6+1n5", "2N5"} << QStringLiteral("2 n 5");
    QTest::newRow("proposals, doubly")
        << 40.0 << QStringList{"2 N° 11 + 1 N° 10"} << QStringLiteral("2 N° 7");
    QTest::newRow("bars that do not fit") << 23.0 << QStringList{"9N11"} << QString();
}

// A file written as version 1.0.0 writes them (with the layout window open when it has bars)
// opens, reopens that window, and saves again byte for byte when nothing was changed.
void TestProjectFiles::filesResaveByteForByte() {
    QFETCH(double, mu);
    QFETCH(QStringList, tension);
    QFETCH(QString, compression);
    QJsonObject root{
        {"format", "quintaral-project"},
        {"schemaVersion", 1},
        {"programVersion", "1.0.0"},
        {"designCode", "NSR-98"},
        {"units", QJsonObject{{"length", "cm"}, {"stress", "kg/cm2"}, {"moment", "Tn-m"}}},
        {"inputs", QJsonObject{{"b", 30},
                               {"h", 50},
                               {"cover", 5},
                               {"fc", 210},
                               {"fy", 4200},
                               {"mu", mu},
                               {"cover2", 5}}}};
    if (!tension.isEmpty()) {
        root.insert(
            "layout",
            QJsonObject{{"stirrup", 3}, {"clearCover", 4}, {"aggregate", 1.9}, {"maxLayers", 2}});
        QJsonObject bars{{"tension", QJsonArray::fromStringList(tension)}};
        if (!compression.isEmpty()) bars.insert("compression", compression);
        root.insert("arrangement", bars);
    }
    const QByteArray written = QJsonDocument(root).toJson(QJsonDocument::Indented);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("viga.quintaral"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(written) == written.size());
    file.close();

    MainWindow* form = openMainWindow();
    QVERIFY(form->fileCommands()->openFile(path));
    QCOMPARE(openWindow<LayoutWindow>() != nullptr, !tension.isEmpty());
    QVERIFY(!form->isWindowModified());
    QVERIFY(form->fileCommands()->saveTo(path));
    QCOMPARE(contents(path), written);
}

void TestProjectFiles::openFromCommandLine_data() {
    QTest::addColumn<bool>("good");
    QTest::newRow("a project") << true;
    QTest::newRow("not a project") << false;
}

// The file named at start opens once the main window shows; a bad one is reported over it.
void TestProjectFiles::openFromCommandLine() {
    QFETCH(bool, good);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("arranque.quintaral"));
    project::ProjectFile beam;
    beam.code = engine::DesignCode::Nsr10;
    beam.inputs.values = {28, 55, 6, 280, 4200, 20, 5};
    if (good) {
        QCOMPARE(project::writeProject(path, beam), QString());
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("no");
    }
    windows::openAtStart(path);
    const auto box = ModalWatcher::instance().answerMessageBox([&] {
        MainWindow* form = openMainWindow();
        QTRY_VERIFY(!form->project()->path().isEmpty() || !good);
        QTest::qWait(200);
    });
    MainWindow* form = windows::loadedMainWindow();
    QCOMPARE(bool(box), !good);
    QCOMPARE(form->project()->path(), good ? path : QString());
    QCOMPARE(form->designCode(), good ? engine::DesignCode::Nsr10 : engine::DesignCode::Nsr98);
    QCOMPARE(bool(form->lastDesign()), good);
    QCOMPARE(form->windowTitle(),
             good ? QStringLiteral("arranque.quintaral[*] - ") + caption : caption);
}

QUINTARAL_GUI_TEST_MAIN(TestProjectFiles)
#include "test_projectfiles.moc"
