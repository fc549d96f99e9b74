#include "mainwindow/designcodesetting.h"

#include <QSettings>
#include <QString>

#include "common/enginetext.h"

namespace {

const QString codeKey = QStringLiteral("design/code");

QString nameOf(engine::DesignCode code) {
    return fromEngine(engine::codeName(code));
}

}  // namespace

engine::DesignCode savedDesignCode() {
    // Saved by name, so the file reads plainly and survives a reordering of the codes.
    const std::string saved = QSettings().value(codeKey).toString().toStdString();
    return engine::codeFromName(saved).value_or(engine::DesignCode::Nsr98);
}

void saveDesignCode(engine::DesignCode code) {
    QSettings().setValue(codeKey, nameOf(code));
}
