#include "mainwindow/projectdocument.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeySequence>
#include <QMenu>
#include <QMessageBox>
#include <QSettings>

#include "app/windows.h"
#include "common/decimalseparator.h"
#include "common/filedialoglabels.h"
#include "mainwindow/mainwindow.h"
#include "print/sheetexport.h"
#include "project/project.h"
#include "project/projectfile.h"

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

}  // namespace

ProjectDocument::ProjectDocument(MainWindow* window)
    : QObject(window),
      window_(window),
      project_(window->project()),
      caption_(window->windowTitle()) {
    // A change made in another window (the chosen bars) shows in the title too.
    connect(project_, &project::Project::modifiedChanged, this, &ProjectDocument::showTitle);
}

const QString& ProjectDocument::path() const {
    return project_->path();
}

bool ProjectDocument::isModified() const {
    return project_->isModified();
}

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
    if (path().isEmpty() || !isModified()) return true;
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Quintaral"),
                    QStringLiteral("El proyecto \"%1\" tiene cambios sin guardar. "
                                   "¿Desea guardarlos?")
                        .arg(QFileInfo(path()).fileName()),
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
    project_->clear();
    showTitle();
}

void ProjectDocument::openProject() {
    if (!mayDiscardChanges()) return;
    const QString path = askPath(false);
    if (!path.isEmpty()) openFile(path);
}

bool ProjectDocument::openFile(const QString& path) {
    loading_ = true;
    const QString error = project_->open(path);
    loading_ = false;
    if (!error.isEmpty()) {
        showCritical(QStringLiteral("Abrir proyecto"), error);
        return false;
    }
    rememberRecent(path);
    const char separator = decimalSeparator();
    std::array<QString, project::inputCount> texts;
    for (int i = 0; i < project::inputCount; ++i)
        texts[i] = project::inputText(project_->inputs().values[i], separator);

    loading_ = true;
    window_->resetToStartup();
    window_->setDesignCode(project_->code());
    window_->setInputTexts(texts);
    window_->calculate();
    // Saved with the layout window open: it opens again with the same bars.
    if (project_->hasLayout() && project_->design()) window_->showLayoutWindow();
    loading_ = false;
    project_->setModified(false);
    showTitle();
    return true;
}

bool ProjectDocument::save() {
    return path().isEmpty() ? saveAs() : saveTo(path());
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
    project_->setInputs(typed.inputs);
    const QString error = project_->saveAs(path);
    if (!error.isEmpty()) {
        showCritical(QStringLiteral("Guardar proyecto"), error);
        return false;
    }
    rememberRecent(path);
    showTitle();
    return true;
}

void ProjectDocument::exportSheet() {
    const QString& file = path();
    const QString suggested = file.isEmpty() ? QStringLiteral("hoja de cálculo.pdf")
                                             : QFileInfo(file).path() + QLatin1Char('/') +
                                                   QFileInfo(file).completeBaseName() +
                                                   QStringLiteral(".pdf");
    const std::optional<printing::CalculationSheet> sheet = printing::calculationSheet(*project_);
    printing::exportCalculationSheet(window_, sheet, suggested);
}

void ProjectDocument::markModified() {
    if (loading_) return;
    project_->setModified(true);
}

QString ProjectDocument::askPath(bool forSaving) {
    QString start = path();
    if (start.isEmpty() && !recentPaths().isEmpty())
        start = QFileInfo(recentPaths().front()).path();
    QFileDialog dialog(
        window_, forSaving ? QStringLiteral("Guardar proyecto") : QStringLiteral("Abrir proyecto"),
        start, projectFilter());
    dialog.setObjectName(QStringLiteral("projectFileDialog"));
    dialog.setAcceptMode(forSaving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(forSaving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    setAcceptCaption(dialog, forSaving ? "&Guardar" : "&Abrir");
    // Added before the dialog asks about replacing a file, so it asks about the file written.
    dialog.setDefaultSuffix(QLatin1String(project::fileSuffix));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front();
}

void ProjectDocument::showTitle() {
    if (path().isEmpty()) {
        window_->setWindowTitle(caption_);
        window_->setWindowModified(false);
        return;
    }
    window_->setWindowTitle(QFileInfo(path()).fileName() + QStringLiteral("[*] - ") + caption_);
    window_->setWindowModified(isModified());
}

void ProjectDocument::showCritical(const QString& title, const QString& text) {
    QMessageBox::critical(window_, title, text, QMessageBox::Ok);
}
