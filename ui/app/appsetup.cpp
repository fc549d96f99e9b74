#include "app/appsetup.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QSize>

#include "quintaral/version.h"

void setupApplication(QApplication& app) {
    QApplication::setApplicationName(QStringLiteral("Quintaral"));
    QApplication::setApplicationVersion(QStringLiteral(QUINTARAL_VERSION));
    QApplication::setOrganizationDomain(QStringLiteral("quintaral.example.org"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/quintaral-48.png")));
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
