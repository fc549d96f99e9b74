#include "mainwindow/designcodesetting.h"

#include <QSettings>
#include <QString>

namespace {

const QString codeKey = QStringLiteral("design/code");

QString nameOf(engine::DesignCode code) {
    const std::string_view name = engine::codeName(code);
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

}  // namespace

engine::DesignCode savedDesignCode() {
    // Saved by name, so the file reads plainly and survives a reordering of the codes.
    const QString saved = QSettings().value(codeKey).toString();
    return saved == nameOf(engine::DesignCode::Nsr10) ? engine::DesignCode::Nsr10
                                                      : engine::DesignCode::Nsr98;
}

void saveDesignCode(engine::DesignCode code) {
    QSettings().setValue(codeKey, nameOf(code));
}
