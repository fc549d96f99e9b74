#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <array>
#include <cstdint>
#include <deque>
#include <random>
#include <variant>
#include <vector>

#include "app/windows.h"
#include "engine/report.h"
#include "guitest.h"
#include "mainwindow/mainwindow.h"

// Random user events on the main window: typing any character, deleting, moving the focus,
// pressing the calculate and clear commands, opening and typing in the selectors. The commands
// that open other windows or end the program are left out. After every event the window must
// be alive and consistent: both calculate commands enabled alike, and the results box holding a
// blank, nothing, or a complete report.
//
// QUINTARAL_MONKEY_EVENTS sets the number of events (all rows together; 20000 by default),
// QUINTARAL_MONKEY_SEED the starting value of the random generator.

namespace {

constexpr int defaultEvents = 20000;
constexpr std::uint32_t defaultSeed = 20240611;
constexpr std::size_t historyLength = 25;

int envNumber(const char* name, int fallback) {
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok && value > 0 ? value : fallback;
}

// What a report line holds besides its value: the label before it and the unit after it.
struct ReportLine {
    const char* label;
    const char* unit;  // nullptr: the line is the label alone
};

const std::array<ReportLine, 16> reportLines{{
    {"********  DISEÑO DE VIGA DE CONCRETO ********", nullptr},
    {"", nullptr},
    {" d : ", " cm"},
    {" Ku : ", " Tn/cm2"},
    {" Alfa : ", ""},
    {" Beta : ", ""},
    {"      Cuantias   ", nullptr},
    {" Ro Requerido :", ""},
    {" ro maximo : ", ""},
    {" ro minimo : ", ""},
    {" ro Balanceado : ", ""},
    {" K maximo : ", ""},
    {" M Maximo : ", " Tn-m "},
    {" Area de Refuerzo : ", " cm2"},
    {" SECCION SIMPLEMENTE REFORZADA ", nullptr},  // the doubly reinforced literal when 16 lines
    {" Area acero superior :", " cm2"},
}};

// Empty when `text` is a blank, nothing, or a complete report with plain numbers written with
// `separator`; otherwise what is wrong with it.
QString reportProblem(const QString& text, QChar separator) {
    if (text.isEmpty() || text == QStringLiteral(" ")) return {};
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    if (lines.size() != 15 && lines.size() != 16)
        return QStringLiteral("%1 lines").arg(lines.size());
    const QRegularExpression number(QStringLiteral("^-?[0-9]+(%1[0-9]+)?$")
                                        .arg(QRegularExpression::escape(QString(separator))));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString label = QString::fromUtf8(reportLines[i].label);
        if (i == 14 && lines.size() == 16) label = QStringLiteral(" SECCION DOBLEMENTE REFORZADA ");
        const QString& line = lines[i];
        const char* unit = reportLines[i].unit;
        if (!unit) {
            if (line != label) return QStringLiteral("line %1 is \"%2\"").arg(i + 1).arg(line);
            continue;
        }
        const QString unitText = QString::fromLatin1(unit);
        if (!line.startsWith(label) || !line.endsWith(unitText) ||
            line.size() < label.size() + unitText.size())
            return QStringLiteral("line %1 is \"%2\"").arg(i + 1).arg(line);
        const QString value = line.mid(label.size(), line.size() - label.size() - unitText.size());
        if (!number.match(value).hasMatch())
            return QStringLiteral("line %1 has the value \"%2\"").arg(i + 1).arg(value);
    }
    return {};
}

// The seven input fields in the order of the design input, and the four steel selectors.
constexpr const char* fieldNames[7] = {"widthEdit", "heightEdit", "coverEdit",           "fcEdit",
                                       "fyEdit",    "momentEdit", "compressionCoverEdit"};
constexpr const char* comboNames[4] = {"tensionCountCombo", "tensionBarCombo",
                                       "compressionCountCombo", "compressionBarCombo"};

// The main window's controls the monkey uses.
struct Controls {
    MainWindow* form = nullptr;
    std::array<QLineEdit*, 7> fields{};
    std::array<QComboBox*, 4> combos{};
    QAbstractButton* calculate = nullptr;
    QAbstractButton* clear = nullptr;
    std::array<QAbstractButton*, 3> excluded{};  // splash, exit, bar table
    QAction* menuCalculate = nullptr;
    QPlainTextEdit* results = nullptr;
    QWidget* compressionGroup = nullptr;

    bool find(MainWindow* window) {
        form = window;
        for (int i = 0; i < 7; ++i)
            fields[i] = form->findChild<QLineEdit*>(QLatin1String(fieldNames[i]));
        for (int i = 0; i < 4; ++i)
            combos[i] = form->findChild<QComboBox*>(QLatin1String(comboNames[i]));
        calculate = form->findChild<QAbstractButton*>(QStringLiteral("calculateButton"));
        clear = form->findChild<QAbstractButton*>(QStringLiteral("clearButton"));
        excluded = {form->findChild<QAbstractButton*>(QStringLiteral("aboutButton")),
                    form->findChild<QAbstractButton*>(QStringLiteral("exitButton")),
                    form->findChild<QAbstractButton*>(QStringLiteral("barTableButton"))};
        menuCalculate = form->findChild<QAction*>(QStringLiteral("calculateAction"));
        results = form->findChild<QPlainTextEdit*>(QStringLiteral("resultsBox"));
        compressionGroup = form->findChild<QWidget*>(QStringLiteral("compressionSteelFrame"));
        bool all = calculate && clear && menuCalculate && results && compressionGroup;
        for (const auto* w : fields) all = all && w;
        for (const auto* w : combos) all = all && w && w->lineEdit();
        for (const auto* w : excluded) all = all && w;
        return all;
    }
};

// Characters typed at random: mostly what numbers are made of, then anything else a keyboard
// can give, including letters beyond ASCII, symbols and a character outside the BMP.
const QString numberCharacters = QStringLiteral("0123456789012345678901234567890123456789.,-+ ");
const QString otherCharacters = QString::fromUtf8(
    "abcxyzeEABCZ'\"@#%&*()/\\;:!?_=<>[]{}~`^|$"
    "ñÑáéíóúüçß°µ²³½¼€£¥§«»¿¡·×÷–—“”…"
    "漢字кирилицаΩπ∞√≈≠\u00a0\u2009🙂");

class Monkey {
  public:
    Monkey(Controls& c, std::uint32_t seed) : c_(c), random_(seed) {}

    // One random event; returns its description.
    QString act() {
        std::discrete_distribution<int> kind({25, 10, 8, 10, 10, 2, 6, 3, 2, 2, 1, 6, 3, 1});
        switch (kind(random_)) {
            case 0:
                return typeCharacter();
            case 1:
                return editKey();
            case 2:
                return moveFocus();
            case 3:
                return clickField();
            case 4:
                return typeNumber(below(7));
            case 5:
                return enterDesign();
            case 6:
                return pressCalculate();
            case 7:
                return chooseMenuCalculate();
            case 8:
                return keyCalculate();
            case 9:
                return pressClear();
            case 10:
                return keyClear();
            case 11:
                return stepSelector();
            case 12:
                return pickFromList();
            default:
                return pressEscape();
        }
    }

  private:
    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

    QWidget* focus() const {
        QWidget* w = QApplication::focusWidget();
        return w ? w : c_.form;
    }

    bool focusOnExcludedCommand() const {
        const QWidget* w = QApplication::focusWidget();
        return std::find(c_.excluded.begin(), c_.excluded.end(), w) != c_.excluded.end();
    }

    std::vector<QComboBox*> visibleCombos() const {
        std::vector<QComboBox*> shown;
        for (QComboBox* box : c_.combos)
            if (box->isVisibleTo(c_.form)) shown.push_back(box);
        return shown;
    }

    static void typeText(QWidget* target, const QString& text) {
        // One key event per character (a surrogate pair is one character).
        for (qsizetype i = 0; i < text.size(); ++i) {
            QString one = text.mid(i, 1);
            if (text[i].isHighSurrogate() && i + 1 < text.size()) one = text.mid(i++, 2);
            const QChar first = one.front();
            int key = Qt::Key_unknown;
            if (one.size() == 1) key = first.toUpper().unicode();
            QTest::sendKeyEvent(QTest::Click, target, Qt::Key(key), one, Qt::NoModifier);
        }
    }

    QString typeCharacter() {
        // Space and Enter would press a focused button; the ones that open windows or end
        // the program are left out, so the key moves the focus on instead.
        if (focusOnExcludedCommand()) {
            QTest::keyClick(focus(), Qt::Key_Tab);
            return QStringLiteral("Tab away from a command left out");
        }
        const QString& pool = below(3) ? numberCharacters : otherCharacters;
        qsizetype at = below(int(pool.size()));
        QString one = pool.mid(at, 1);
        if (pool[at].isHighSurrogate()) one = pool.mid(at, 2);
        if (pool[at].isLowSurrogate()) one = pool.mid(at - 1, 2);
        typeText(focus(), one);
        return QStringLiteral("type \"%1\" into %2").arg(one, focus()->objectName());
    }

    QString editKey() {
        static const std::array<std::pair<Qt::Key, Qt::KeyboardModifiers>, 8> keys{{
            {Qt::Key_Backspace, Qt::NoModifier},
            {Qt::Key_Backspace, Qt::NoModifier},
            {Qt::Key_Delete, Qt::NoModifier},
            {Qt::Key_Left, Qt::NoModifier},
            {Qt::Key_Right, Qt::NoModifier},
            {Qt::Key_Home, Qt::NoModifier},
            {Qt::Key_End, Qt::ShiftModifier},
            {Qt::Key_A, Qt::ControlModifier},
        }};
        const auto& [key, modifiers] = keys[below(int(keys.size()))];
        QTest::keyClick(focus(), key, modifiers);
        return QStringLiteral("key %1 (modifiers %2) in %3")
            .arg(int(key), 0, 16)
            .arg(int(modifiers), 0, 16)
            .arg(focus()->objectName());
    }

    QString moveFocus() {
        const bool back = below(4) == 0;
        QTest::keyClick(focus(), back ? Qt::Key_Backtab : Qt::Key_Tab,
                        back ? Qt::ShiftModifier : Qt::NoModifier);
        return QStringLiteral("%1 to %2")
            .arg(back ? QStringLiteral("Backtab") : QStringLiteral("Tab"), focus()->objectName());
    }

    QWidget* randomField() {
        const std::vector<QComboBox*> combos = visibleCombos();
        const int pick = below(7 + int(combos.size()));
        if (pick < 7) return c_.fields[pick];
        return combos[pick - 7]->lineEdit();
    }

    QString clickField() {
        QWidget* target = randomField();
        const QPoint at(1 + below(std::max(1, target->width() - 2)), target->height() / 2);
        QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, at);
        return QStringLiteral("click %1 at %2").arg(target->objectName()).arg(at.x());
    }

    // A whole plausible entry, so that calculations also succeed now and then.
    QString typeNumber(int field) {
        static const std::array<std::pair<int, int>, 7> ranges{
            {{10, 120}, {10, 100}, {1, 10}, {150, 500}, {2000, 6000}, {0, 80}, {1, 10}}};
        const auto [low, high] = ranges[field];
        QString text = QString::number(low + below(high - low + 1));
        if (below(2)) text += QLocale().decimalPoint() + QString::number(below(100));
        QLineEdit* edit = c_.fields[field];
        QTest::mouseClick(edit, Qt::LeftButton, Qt::NoModifier, QPoint(4, edit->height() / 2));
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        typeText(edit, text);
        return QStringLiteral("enter %1 in %2").arg(text, edit->objectName());
    }

    QString enterDesign() {
        QStringList entered;
        for (int field = 0; field < 7; ++field) entered << typeNumber(field);
        return entered.join(QStringLiteral(", "));
    }

    QString pressCalculate() {
        QTest::mouseClick(c_.calculate, Qt::LeftButton);
        return QStringLiteral("click calculateButton");
    }

    QString chooseMenuCalculate() {
        QMenuBar* bar = c_.form->menuBar();
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier,
                          bar->actionGeometry(c_.menuCalculate).center());
        return QStringLiteral("click the Calcular menu entry");
    }

    QString keyCalculate() {
        QTest::keyClick(focus(), Qt::Key_C, Qt::AltModifier);
        return QStringLiteral("Alt+C");
    }

    QString pressClear() {
        QTest::mouseClick(c_.clear, Qt::LeftButton);
        return QStringLiteral("click clearButton");
    }

    QString keyClear() {
        QTest::keyClick(focus(), Qt::Key_B, Qt::AltModifier);
        return QStringLiteral("Alt+B");
    }

    QString stepSelector() {
        const std::vector<QComboBox*> combos = visibleCombos();
        QComboBox* box = combos[below(int(combos.size()))];
        QLineEdit* edit = box->lineEdit();
        QTest::mouseClick(edit, Qt::LeftButton, Qt::NoModifier, QPoint(2, edit->height() / 2));
        const bool up = below(2);
        QTest::keyClick(box, up ? Qt::Key_Up : Qt::Key_Down);
        return QStringLiteral("%1 in %2")
            .arg(up ? QStringLiteral("Up") : QStringLiteral("Down"), box->objectName());
    }

    // Opens a selector's list, walks it with the arrow keys and takes the item with Enter, or
    // leaves it with Esc.
    QString pickFromList() {
        const std::vector<QComboBox*> combos = visibleCombos();
        QComboBox* box = combos[below(int(combos.size()))];
        box->showPopup();
        QAbstractItemView* view = box->view();
        const int steps = below(6);
        for (int i = 0; i < steps; ++i) QTest::keyClick(view, below(3) ? Qt::Key_Down : Qt::Key_Up);
        const bool take = below(5) != 0;
        QTest::keyClick(view, take ? Qt::Key_Return : Qt::Key_Escape);
        if (view->isVisible()) box->hidePopup();
        return QStringLiteral("list of %1, %2 steps, %3")
            .arg(box->objectName())
            .arg(steps)
            .arg(take ? QStringLiteral("Enter") : QStringLiteral("Esc"));
    }

    QString pressEscape() {
        QTest::keyClick(focus(), Qt::Key_Escape);
        return QStringLiteral("Esc");
    }

    Controls& c_;
    std::mt19937 random_;
};

}  // namespace

class TestMonkey : public GuiTestCase {
    Q_OBJECT
  private Q_SLOTS:
    void initTestCase();
    void reportCheck_data();
    void reportCheck();
    void randomEvents_data();
    void randomEvents();

  private:
    // Empty when the window is as it must be after any event; otherwise what is wrong.
    static QString inconsistency(const Controls& c);
};

QtMessageHandler previousHandler = nullptr;

// The offscreen platform says so each time a list or a message box asks for a window feature it
// lacks (raising, grabbing the keyboard); thousands of those lines would hide what matters.
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg && message.startsWith(QStringLiteral("This plugin does not support")))
        return;
    previousHandler(type, context, message);
}

void TestMonkey::initTestCase() {
    GuiTestCase::initTestCase();
    previousHandler = qInstallMessageHandler(quietHandler);
}

// The check the monkey relies on must itself tell a complete report from a broken one.
void TestMonkey::reportCheck_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<bool>("accepted");

    const auto report = [](double mu, char separator) {
        const auto outcome = engine::nsr98::design({100, 15, 5, 210, 4200, mu, 5});
        return QString::fromStdString(
            engine::nsr98::resultsReport(std::get<engine::nsr98::DesignResult>(outcome), separator));
    };
    const QString singly = report(1, '.');
    const QString doubly = report(5, '.');
    QTest::newRow("nothing") << QString() << QChar('.') << true;
    QTest::newRow("blank") << QStringLiteral(" ") << QChar('.') << true;
    QTest::newRow("two blanks") << QStringLiteral("  ") << QChar('.') << false;
    QTest::newRow("singly") << singly << QChar('.') << true;
    QTest::newRow("doubly") << doubly << QChar('.') << true;
    QTest::newRow("doubly, comma") << report(5, ',') << QChar(',') << true;
    QTest::newRow("point where a comma belongs") << singly << QChar(',') << false;
    QTest::newRow("last line cut off")
        << doubly.left(doubly.lastIndexOf(QStringLiteral("\r\n"))) << QChar('.') << false;
    QTest::newRow("plain line feeds")
        << QString(singly).replace(QStringLiteral("\r\n"), QStringLiteral("\n")) << QChar('.')
        << false;
    QTest::newRow("exponent") << QString(singly).replace(QStringLiteral("0.7225"),
                                                         QStringLiteral("7.225e-1"))
                              << QChar('.') << false;
    QTest::newRow("not a number") << QString(doubly).replace(QStringLiteral("16.49"),
                                                             QStringLiteral("nan"))
                                  << QChar('.') << false;
    QTest::newRow("unit lost") << QString(singly).replace(QStringLiteral(" Tn/cm2"), QString())
                               << QChar('.') << false;
    QTest::newRow("singly literal in 16 lines")
        << QString(doubly).replace(QStringLiteral("DOBLEMENTE"), QStringLiteral("SIMPLEMENTE"))
        << QChar('.') << false;
}

void TestMonkey::reportCheck() {
    QFETCH(QString, text);
    QFETCH(QChar, separator);
    QFETCH(bool, accepted);
    QCOMPARE(reportProblem(text, separator).isEmpty(), accepted);
}

QString TestMonkey::inconsistency(const Controls& c) {
    if (windows::loadedMainWindow() != c.form || !c.form->isVisible())
        return QStringLiteral("the main window is gone");
    if (windows::loadedSplash() || windows::loadedInfo() || windows::loadedBarTable())
        return QStringLiteral("another window was opened");
    if (QApplication::activePopupWidget()) return QStringLiteral("a popup stayed open");
    if (c.calculate->isEnabled() != c.menuCalculate->isEnabled())
        return QStringLiteral("calculateButton is %1 but calculateAction is not")
            .arg(c.calculate->isEnabled() ? QStringLiteral("enabled") : QStringLiteral("disabled"));
    const bool anyEmpty = std::any_of(c.fields.begin(), c.fields.end(),
                                      [](const QLineEdit* f) { return f->text().isEmpty(); });
    if (anyEmpty && c.calculate->isEnabled())
        return QStringLiteral("calculate commands enabled with an empty field");

    // The box holds plain line breaks; the report was built with CR LF.
    const QString text =
        c.results->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    const QString problem = reportProblem(text, QLocale().decimalPoint().front());
    if (!problem.isEmpty())
        return QStringLiteral("results box: ") + problem + QStringLiteral(": ") + text;
    if (text.size() > 1) {
        // A report is the one of the last completed run, and the compression steel group shows
        // exactly when that run was doubly reinforced.
        const auto& last = c.form->lastDesign();
        if (!last) return QStringLiteral("a report without a stored run");
        const char separator = QLocale().decimalPoint().front().toLatin1();
        if (QString::fromStdString(engine::resultsReport(last->run, separator)) != text)
            return QStringLiteral("the report is not the one of the stored run");
        const bool doubly = text.count(QStringLiteral("\r\n")) == 15;
        if (c.compressionGroup->isVisibleTo(c.form) != doubly)
            return QStringLiteral("compressionSteelFrame does not follow the section kind");
    }
    return {};
}

void TestMonkey::randomEvents_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<int>("events");
    const int total = envNumber("QUINTARAL_MONKEY_EVENTS", defaultEvents);
    QTest::newRow("point") << QLocale(QLocale::English, QLocale::UnitedStates) << total - total / 2;
    QTest::newRow("comma") << QLocale(QLocale::Spanish, QLocale::Colombia) << total / 2;
}

void TestMonkey::randomEvents() {
    QFETCH(QLocale, locale);
    QFETCH(int, events);
    const LocaleGuard guard(locale);
    const auto seed = std::uint32_t(envNumber("QUINTARAL_MONKEY_SEED", int(defaultSeed))) +
                      std::uint32_t(qHash(QString::fromLatin1(QTest::currentDataTag())));
    qInfo("%d events, seed %u (QUINTARAL_MONKEY_SEED=%d)", events, seed,
          envNumber("QUINTARAL_MONKEY_SEED", int(defaultSeed)));

    windows::showMainWindow();
    Controls c;
    QVERIFY(c.find(windows::loadedMainWindow()));
    QVERIFY(QTest::qWaitForWindowActive(c.form));

    Monkey monkey(c, seed);
    std::deque<QString> history;
    int boxes = 0, reports = 0;
    for (int i = 0; i < events; ++i) {
        QString done;
        const auto box = ModalWatcher::instance().answerMessageBox([&] { done = monkey.act(); });
        if (box) {
            ++boxes;
            done += QStringLiteral(" -> box \"%1\": %2").arg(box->title, box->text);
        }
        history.push_back(done);
        if (history.size() > historyLength) history.pop_front();

        QString wrong = inconsistency(c);
        const QStringList unexpected = ModalWatcher::instance().takeUnexpected();
        if (!unexpected.isEmpty())
            wrong = QStringLiteral("unexpected modal window: ") + unexpected.join(';');
        if (!wrong.isEmpty()) {
            QStringList last(history.begin(), history.end());
            QFAIL(qPrintable(QStringLiteral("after event %1 (seed %2): %3\nlast events:\n  %4")
                                 .arg(i)
                                 .arg(seed)
                                 .arg(wrong, last.join(QStringLiteral("\n  ")))));
        }
        if (c.results->toPlainText().size() > 1) ++reports;
        // A message box takes the activation away for a moment; the user clicks back.
        if (QApplication::activeWindow() != c.form) {
            c.form->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(c.form));
        }
    }
    qInfo("%d message boxes answered; a report stood after %d of %d events", boxes, reports,
          events);
}

QUINTARAL_GUI_TEST_MAIN(TestMonkey)
#include "test_monkey.moc"
