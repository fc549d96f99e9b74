#include "common/appsetup.h"

#include <QApplication>
#include <QFont>

void setupApplication(QApplication& app) {
    QApplication::setApplicationName(QStringLiteral("Quintaral"));
    QApplication::setApplicationVersion(QStringLiteral(QUINTARAL_VERSION));
    QApplication::setOrganizationDomain(QStringLiteral("quintaral.example.org"));

    // The layouts name Windows fonts; these free fonts have the same metrics or feel.
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Comic Sans MS"), QStringLiteral("Comic Neue"));
    QFont::insertSubstitution(QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans"));
    QApplication::setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    Q_UNUSED(app);
}
