#include "app/appsetup.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QImageReader>
#include <QLibraryInfo>
#include <QLocale>
#include <QPixmap>
#include <QTranslator>

#include "quintaral/version.h"

namespace {

// The icon read as the PNG it is. An icon made from a file name lets Qt ask every image-format
// plugin whether it reads the file, which loads them all (SVG and JPEG with their libraries)
// before the first window can show.
QIcon applicationIcon() {
    QImageReader reader(QStringLiteral(":/icons/quintaral-48.png"), "png");
    reader.setAutoDetectImageFormat(false);
    return QIcon(QPixmap::fromImage(reader.read()));
}

}  // namespace

void setupApplication(QApplication& app) {
    QApplication::setApplicationName(QStringLiteral("Quintaral"));
    QApplication::setApplicationVersion(QStringLiteral(QUINTARAL_VERSION));
    QApplication::setOrganizationDomain(QStringLiteral("quintaral.example.org"));
    QApplication::setWindowIcon(applicationIcon());
    // Lets the desktop match the windows with the installed launcher and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.Quintaral"));

    // Qt's own dialogs and buttons (file dialogs, their column headers, message-box buttons)
    // in Spanish, from Qt's translation (Debian package qt6-translations-l10n); without it they
    // stay English and the program works the same.
    auto* translator = new QTranslator(&app);
    if (translator->load(QLocale(QLocale::Spanish), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);

    // The windows name Windows fonts; these free fonts have the same metrics or feel.
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Comic Sans MS"), QStringLiteral("Comic Neue"));
    QFont::insertSubstitution(QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans"));

    // The default dialog font of every window.
    QFont dialogFont(QStringLiteral("MS Sans Serif"));
    dialogFont.setPointSizeF(8.25);
    app.setFont(dialogFont);
}
