#include "app/filecommands.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeySequence>
#include <QMenu>
#include <QMessageBox>
#include <QSettings>
#include <vector>

#include "common/decimalseparator.h"
#include "common/filedialoglabels.h"
#include "print/dxfexport.h"
#include "print/sheetexport.h"
#include "project/project.h"

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

// Every window's commands, so that a file saved from one shows in the others' recent lists.
std::vector<FileCommands*>& allCommands() {
    static std::vector<FileCommands*> commands;
    return commands;
}

const QKeySequence saveKey(Qt::CTRL | Qt::Key_S);
const QKeySequence exportPdfKey(Qt::CTRL | Qt::Key_E);
const QKeySequence exportDxfKey(Qt::CTRL | Qt::SHIFT | Qt::Key_E);

}  // namespace

FileCommands::FileCommands(project::Project* project, QWidget* window)
    : QObject(window), project_(project), window_(window) {
    allCommands().push_back(this);
}

FileCommands::~FileCommands() {
    std::erase(allCommands(), this);
}

QAction* FileCommands::addCommand(QMenu* fileMenu, QAction* before, const char* name,
                                  const QString& caption, const QKeySequence& key) {
    auto* action = new QAction(caption, fileMenu);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(key);
    fileMenu->insertAction(before, action);
    return action;
}

void FileCommands::addToMenu(QMenu* fileMenu, QAction* before) {
    connect(addCommand(fileMenu, before, "newAction", QStringLiteral("&Nuevo"),
                       QKeySequence(Qt::CTRL | Qt::Key_N)),
            &QAction::triggered, this, &FileCommands::newProject);
    connect(addCommand(fileMenu, before, "openAction", QStringLiteral("&Abrir..."),
                       QKeySequence(Qt::CTRL | Qt::Key_O)),
            &QAction::triggered, this, &FileCommands::openProject);
    connect(addCommand(fileMenu, before, "saveAction", QStringLiteral("&Guardar"), saveKey),
            &QAction::triggered, this, &FileCommands::save);
    connect(addCommand(fileMenu, before, "saveAsAction", QStringLiteral("Guardar &como..."),
                       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)),
            &QAction::triggered, this, &FileCommands::saveAs);
    setupRecentMenu(fileMenu, before);
    fileMenu->insertSeparator(before)->setObjectName(QStringLiteral("projectSeparator"));
    // Its letter is D: P stays the key of "Imprimir" just below.
    connect(addCommand(fileMenu, before, "exportPdfAction", QStringLiteral("Exportar a P&DF..."),
                       exportPdfKey),
            &QAction::triggered, this, &FileCommands::exportSheet);
    // X, a letter no other entry uses.
    connect(addCommand(fileMenu, before, "exportDxfAction", QStringLiteral("Exportar a D&XF..."),
                       QKeySequence()),
            &QAction::triggered, this, &FileCommands::exportBeam);
}

void FileCommands::addKeysTo(QWidget* window) {
    const auto key = [&](const char* name, const QString& caption, const QKeySequence& sequence) {
        auto* action = new QAction(caption, window);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(sequence);
        window->addAction(action);
        return action;
    };
    connect(key("saveAction", QStringLiteral("Guardar"), saveKey), &QAction::triggered, this,
            &FileCommands::save);
    connect(key("exportPdfAction", QStringLiteral("Exportar a PDF..."), exportPdfKey),
            &QAction::triggered, this, &FileCommands::exportSheet);
    connect(key("exportDxfAction", QStringLiteral("Exportar a DXF..."), exportDxfKey),
            &QAction::triggered, this, &FileCommands::exportBeam);
}

void FileCommands::setupRecentMenu(QMenu* fileMenu, QAction* before) {
    recentMenu_ = new QMenu(QStringLiteral("&Recientes"), fileMenu);
    recentMenu_->setObjectName(QStringLiteral("recentMenu"));
    fileMenu->insertMenu(before, recentMenu_);
    fillRecentMenu();
}

void FileCommands::fillRecentMenu() {
    if (!recentMenu_) return;
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

void FileCommands::rememberRecent(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList paths = recentPaths();
    paths.removeAll(absolute);
    paths.prepend(absolute);
    while (paths.size() > recentLimit) paths.removeLast();
    storeRecent(paths);
    for (FileCommands* commands : allCommands()) commands->fillRecentMenu();
}

void FileCommands::forgetRecent(const QString& path) {
    QStringList paths = recentPaths();
    if (paths.removeAll(path) == 0) return;
    storeRecent(paths);
    for (FileCommands* commands : allCommands()) commands->fillRecentMenu();
}

void FileCommands::openRecent(const QString& path) {
    if (!mayDiscardChanges()) return;
    // A file that has gone is reported like any other and leaves the list.
    if (!openFile(path) && !QFileInfo::exists(path)) forgetRecent(path);
}

bool FileCommands::mayDiscardChanges() {
    const QString& path = project_->path();
    if (path.isEmpty() || !project_->isModified()) return true;
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Quintaral"),
                    QStringLiteral("El proyecto \"%1\" tiene cambios sin guardar. "
                                   "¿Desea guardarlos?")
                        .arg(QFileInfo(path).fileName()),
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

void FileCommands::newProject() {
    if (!mayDiscardChanges()) return;
    project_->clear();
    Q_EMIT projectStarted();
    project_->setModified(false);
}

void FileCommands::openProject() {
    if (!mayDiscardChanges()) return;
    const QString path = askPath(false);
    if (!path.isEmpty()) openFile(path);
}

bool FileCommands::openFile(const QString& path) {
    const QString error = project_->open(path);
    if (!error.isEmpty()) {
        showCritical(QStringLiteral("Abrir proyecto"), error);
        return false;
    }
    rememberRecent(path);
    Q_EMIT projectOpened();
    // Showing the file (its design, the layout window with its bars) changes nothing in it.
    project_->setModified(false);
    return true;
}

bool FileCommands::save() {
    return project_->path().isEmpty() ? saveAs() : saveTo(project_->path());
}

bool FileCommands::saveAs() {
    const QString path = askPath(true);
    return !path.isEmpty() && saveTo(path);
}

bool FileCommands::saveTo(const QString& path) {
    const QString error = project_->saveAs(path);
    if (!error.isEmpty()) {
        showCritical(QStringLiteral("Guardar proyecto"), error);
        if (const std::optional<project::Input> input = project_->inputNotANumber())
            Q_EMIT inputRefused(*input);
        return false;
    }
    rememberRecent(path);
    if (const QString& notRead = project_->beamNotRead(); !notRead.isEmpty()) {
        // What was typed is not in the file yet: the project stays changed until it is.
        project_->setModified(true);
        QMessageBox::warning(window_, QStringLiteral("Guardar proyecto"),
                             QStringLiteral("El archivo guarda la viga tal como se leyó por última "
                                            "vez; lo escrito después no se guardó.\n%1")
                                 .arg(notRead),
                             QMessageBox::Ok);
    }
    return true;
}

bool FileCommands::refuseOutOfDateBeam(const QString& title) {
    const QString& notRead = project_->beamNotRead();
    if (notRead.isEmpty()) return false;
    QMessageBox::warning(window_, title, notRead, QMessageBox::Ok);
    return true;
}

void FileCommands::exportSheet() {
    if (refuseOutOfDateBeam(QStringLiteral("Exportar a PDF"))) return;
    const QString suggested = suggestedExportName(project_->path(), QStringLiteral("pdf"),
                                                  QStringLiteral("hoja de cálculo.pdf"));
    const std::optional<printing::CalculationSheet> sheet = printing::calculationSheet(*project_);
    printing::exportCalculationSheet(window_, sheet, suggested);
}

void FileCommands::exportBeam() {
    if (refuseOutOfDateBeam(QStringLiteral("Exportar a DXF"))) return;
    printing::exportBeamDxf(window_, *project_);
}

QString FileCommands::askPath(bool forSaving) {
    QString start = project_->path();
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

void FileCommands::showCritical(const QString& title, const QString& text) {
    QMessageBox::critical(window_, title, text, QMessageBox::Ok);
}
