#include "mainwindow/projectdocument.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeySequence>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QSettings>

#include "app/windows.h"
#include "beamwindow/beamwindow.h"
#include "common/decimalseparator.h"
#include "common/enginetext.h"
#include "common/filedialoglabels.h"
#include "engine/run.h"
#include "engine/sheet.h"
#include "layoutwindow/layoutwindow.h"
#include "layoutwindow/sectiondrawing.h"
#include "mainwindow/mainwindow.h"
#include "print/pdfsheet.h"

namespace {

constexpr int recentLimit = 8;
const char* const recentKey = "recentProjects";

QString projectFilter() {
    return QStringLiteral("Proyectos de Quintaral (*.%1)").arg(QLatin1String(project::fileSuffix));
}

QStringList recentPaths() {
    return QSettings().value(QLatin1String(recentKey)).toStringList();
}

void storeRecent(const QStringList& paths) {
    QSettings().setValue(QLatin1String(recentKey), paths);
}

LayoutChoice layoutChoice(const project::Arrangement& arrangement) {
    LayoutChoice choice;
    const QStringList& layers = arrangement.tensionLayers;
    if (!layers.isEmpty()) choice.lowestLayer = layers.at(0).toStdString();
    if (layers.size() > 1) choice.secondLayer = layers.at(1).toStdString();
    choice.compression = arrangement.compression.toStdString();
    return choice;
}

project::Arrangement arrangementOf(const LayoutChoice& choice) {
    project::Arrangement arrangement;
    for (const std::string& layer : {choice.lowestLayer, choice.secondLayer})
        if (!layer.empty()) arrangement.tensionLayers << fromEngine(layer);
    arrangement.compression = fromEngine(choice.compression);
    return arrangement;
}

// The chosen bars of the layout window as the sheet shows them, when it has a choice.
std::optional<printing::SheetLayout> sheetLayout() {
    LayoutWindow* layout = windows::loadedLayoutWindow();
    if (!layout || !layout->hasArrangement()) return std::nullopt;
    const LayoutChoice choice = layout->choice();
    printing::SheetLayout sheet;
    sheet.arrangement = fromEngine(
        engine::sheetArrangementText(choice.lowestLayer, choice.secondLayer, choice.compression));
    for (const std::string& line : layout->checkLines()) sheet.checks << fromEngine(line);
    const QPointer<LayoutWindow> window(layout);
    sheet.draw = [window](QPainter& painter, const QRectF& area) {
        if (window) window->drawing().paint(painter, area);
    };
    return sheet;
}

}  // namespace

ProjectDocument::ProjectDocument(MainWindow* window)
    : QObject(window), window_(window), caption_(window->windowTitle()) {}

QAction* ProjectDocument::addCommand(QMenu* fileMenu, QAction* before, const char* name,
                                     const QString& caption, const QKeySequence& key) {
    auto* action = new QAction(caption, fileMenu);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(key);
    fileMenu->insertAction(before, action);
    return action;
}

void ProjectDocument::setupFileMenu(QMenu* fileMenu, QAction* before) {
    connect(addCommand(fileMenu, before, "newAction", QStringLiteral("&Nuevo"),
                       QKeySequence(Qt::CTRL | Qt::Key_N)),
            &QAction::triggered, this, &ProjectDocument::newProject);
    connect(addCommand(fileMenu, before, "openAction", QStringLiteral("&Abrir..."),
                       QKeySequence(Qt::CTRL | Qt::Key_O)),
            &QAction::triggered, this, &ProjectDocument::openProject);
    connect(addCommand(fileMenu, before, "saveAction", QStringLiteral("&Guardar"),
                       QKeySequence(Qt::CTRL | Qt::Key_S)),
            &QAction::triggered, this, &ProjectDocument::save);
    connect(addCommand(fileMenu, before, "saveAsAction", QStringLiteral("Guardar &como..."),
                       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)),
            &QAction::triggered, this, &ProjectDocument::saveAs);
    setupRecentMenu(fileMenu, before);
    fileMenu->insertSeparator(before)->setObjectName(QStringLiteral("projectSeparator"));
    // Its letter is D: P stays the key of "Imprimir" just below.
    connect(addCommand(fileMenu, before, "exportPdfAction", QStringLiteral("Exportar a P&DF..."),
                       QKeySequence(Qt::CTRL | Qt::Key_E)),
            &QAction::triggered, this, &ProjectDocument::exportSheet);
}

void ProjectDocument::setupRecentMenu(QMenu* fileMenu, QAction* before) {
    recentMenu_ = new QMenu(QStringLiteral("&Recientes"), fileMenu);
    recentMenu_->setObjectName(QStringLiteral("recentMenu"));
    fileMenu->insertMenu(before, recentMenu_);
    fillRecentMenu();
}

void ProjectDocument::fillRecentMenu() {
    recentMenu_->clear();
    const QStringList paths = recentPaths();
    for (int i = 0; i < paths.size(); ++i) {
        const QString path = paths.at(i);
        QString shown = QDir::toNativeSeparators(path);
        shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* action = recentMenu_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
        connect(action, &QAction::triggered, this, [this, path] { openRecent(path); });
    }
    recentMenu_->menuAction()->setEnabled(!paths.isEmpty());
}

void ProjectDocument::rememberRecent(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList paths = recentPaths();
    paths.removeAll(absolute);
    paths.prepend(absolute);
    while (paths.size() > recentLimit) paths.removeLast();
    storeRecent(paths);
    fillRecentMenu();
}

void ProjectDocument::forgetRecent(const QString& path) {
    QStringList paths = recentPaths();
    if (paths.removeAll(path) == 0) return;
    storeRecent(paths);
    fillRecentMenu();
}

void ProjectDocument::openRecent(const QString& path) {
    if (!mayDiscardChanges()) return;
    // A file that has gone is reported like any other and leaves the list.
    if (!openFile(path) && !QFileInfo::exists(path)) forgetRecent(path);
}

bool ProjectDocument::mayDiscardChanges() {
    if (path_.isEmpty() || !modified_) return true;
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Quintaral"),
                    QStringLiteral("El proyecto \"%1\" tiene cambios sin guardar. "
                                   "¿Desea guardarlos?")
                        .arg(QFileInfo(path_).fileName()),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, window_);
    box.button(QMessageBox::Save)->setText(QStringLiteral("Guardar"));
    box.button(QMessageBox::Discard)->setText(QStringLiteral("No guardar"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("Cancelar"));
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
        case QMessageBox::Save:
            return save();
        case QMessageBox::Discard:
            return true;
        default:
            return false;
    }
}

void ProjectDocument::newProject() {
    if (!mayDiscardChanges()) return;
    loading_ = true;
    window_->resetToStartup();
    loading_ = false;
    path_.clear();
    project_ = project::Project{};
    modified_ = false;
    showTitle();
}

void ProjectDocument::openProject() {
    if (!mayDiscardChanges()) return;
    const QString path = askPath(false);
    if (!path.isEmpty()) openFile(path);
}

bool ProjectDocument::openFile(const QString& path) {
    const project::ReadResult read = project::readProject(path);
    if (!read.project) {
        showCritical(QStringLiteral("Abrir proyecto"), read.error);
        return false;
    }
    useFile(path, *read.project);
    const char separator = decimalSeparator();
    std::array<QString, project::inputCount> texts;
    for (int i = 0; i < project::inputCount; ++i)
        texts[i] = project::inputText(read.project->inputs.values[i], separator);

    loading_ = true;
    window_->resetToStartup();
    window_->setDesignCode(read.project->code);
    window_->setInputTexts(texts);
    window_->calculate();
    // Saved with the layout window open: it opens again with the same bars.
    if ((project_.layout || project_.arrangement) && window_->lastDesign())
        window_->showLayoutWindow();
    loading_ = false;
    modified_ = false;
    showTitle();
    return true;
}

bool ProjectDocument::save() {
    return path_.isEmpty() ? saveAs() : saveTo(path_);
}

bool ProjectDocument::saveAs() {
    const QString path = askPath(true);
    return !path.isEmpty() && saveTo(path);
}

bool ProjectDocument::saveTo(const QString& path) {
    const project::TextInputs typed =
        project::inputsFromTexts(window_->inputTexts(), decimalSeparator());
    if (typed.invalid) {
        showCritical(QStringLiteral("Guardar proyecto"),
                     project::notANumberMessage(path, *typed.invalid));
        window_->focusInput(static_cast<int>(*typed.invalid));
        return false;
    }
    project::Project next = project_;
    next.code = window_->designCode();
    next.inputs = typed.inputs;
    // Without a layout window showing bars, what the file had stays.
    if (const LayoutWindow* layout = windows::loadedLayoutWindow();
        layout && layout->hasArrangement()) {
        next.layout = project::layoutInputsOf(layout->settings());
        next.arrangement = arrangementOf(layout->choice());
    }
    const QString error = project::writeProject(path, next);
    if (!error.isEmpty()) {
        showCritical(QStringLiteral("Guardar proyecto"), error);
        return false;
    }
    useFile(path, next);
    modified_ = false;
    showTitle();
    return true;
}

void ProjectDocument::exportSheet() {
    std::optional<printing::CalculationSheet> sheet;
    if (const auto& last = window_->lastDesign()) {
        sheet.emplace();
        sheet->code = last->run.code();
        sheet->inputs = last->input;
        sheet->report = fromEngine(engine::resultsReport(last->run, decimalSeparator()));
        if (!path_.isEmpty()) sheet->fileName = QFileInfo(path_).fileName();
        sheet->layout = sheetLayout();
        // The beam of the beam window, while it is open with a design; the project will hold it.
        if (const BeamWindow* beam = windows::loadedBeamWindow();
            beam && beam->design() && beam->input())
            sheet->beam = printing::CalculationSheet::Beam{*beam->input(), *beam->design()};
    }
    const QString suggested = path_.isEmpty() ? QStringLiteral("hoja de cálculo.pdf")
                                              : QFileInfo(path_).path() + QLatin1Char('/') +
                                                    QFileInfo(path_).completeBaseName() +
                                                    QStringLiteral(".pdf");
    printing::exportCalculationSheet(window_, sheet, suggested);
}

void ProjectDocument::markModified() {
    if (loading_ || modified_) return;
    modified_ = true;
    showTitle();
}

void ProjectDocument::restoreLayout(LayoutWindow* layout) {
    if (path_.isEmpty() || (!project_.layout && !project_.arrangement)) return;
    layout->restore(project::savedLayoutSettings(project_.layout),
                    project_.arrangement ? layoutChoice(*project_.arrangement) : LayoutChoice{});
}

QString ProjectDocument::askPath(bool forSaving) {
    QString start = path_;
    if (start.isEmpty() && !recentPaths().isEmpty())
        start = QFileInfo(recentPaths().front()).path();
    QFileDialog dialog(
        window_, forSaving ? QStringLiteral("Guardar proyecto") : QStringLiteral("Abrir proyecto"),
        start, projectFilter());
    dialog.setObjectName(QStringLiteral("projectFileDialog"));
    dialog.setAcceptMode(forSaving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(forSaving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    setSpanishLabels(dialog, forSaving ? "&Guardar" : "&Abrir");
    // Added before the dialog asks about replacing a file, so it asks about the file written.
    dialog.setDefaultSuffix(QLatin1String(project::fileSuffix));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front();
}

void ProjectDocument::useFile(const QString& path, const project::Project& project) {
    path_ = path;
    project_ = project;
    rememberRecent(path);
}

void ProjectDocument::showTitle() {
    if (path_.isEmpty()) {
        window_->setWindowTitle(caption_);
        window_->setWindowModified(false);
        return;
    }
    window_->setWindowTitle(QFileInfo(path_).fileName() + QStringLiteral("[*] - ") + caption_);
    window_->setWindowModified(modified_);
}

void ProjectDocument::showCritical(const QString& title, const QString& text) {
    QMessageBox::critical(window_, title, text, QMessageBox::Ok);
}
