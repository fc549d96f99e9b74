#include "mainwindow/statuspanels.h"

#include <QDate>
#include <QFont>
#include <QLabel>
#include <QLocale>
#include <QStatusBar>
#include <QTime>

#include "common/enginetext.h"
#include "quintaral/version.h"

namespace {
// Widths of the panels in pixels: the credit panel at least 394, the clock panels at least 96;
// the code panel takes what its text needs. The four fill the window's width, so the code panel
// shows the code's name alone, "Norma de diseño" being its tooltip.
constexpr int creditMinimumWidth = 394;
constexpr int clockMinimumWidth = 96;
constexpr int statusBarHeight = 17;
}  // namespace

StatusPanels::StatusPanels(QStatusBar* bar)
    : QObject(bar),
      credit_(makePanel(bar, QStringLiteral("creditPanel"), creditMinimumWidth)),
      code_(makePanel(bar, QStringLiteral("codePanel"), 0)),
      time_(makePanel(bar, QStringLiteral("timePanel"), clockMinimumWidth)),
      date_(makePanel(bar, QStringLiteral("datePanel"), clockMinimumWidth)) {
    QFont bold = bar->font();
    bold.setBold(true);
    bar->setFont(bold);
    bar->setFixedHeight(statusBarHeight);
    bar->setSizeGripEnabled(false);

    credit_->setText(creditText());
    credit_->setToolTip(creditText());
    time_->setToolTip(QStringLiteral("Fecha/Hora"));
    code_->setToolTip(QString::fromUtf8("Norma de diseño"));
    bar->addWidget(credit_, 1);
    bar->addPermanentWidget(code_);
    bar->addPermanentWidget(time_);
    bar->addPermanentWidget(date_);

    refresh();
    // Once a second, so the minute changes on time whenever the window was opened.
    clock_.setInterval(1000);
    connect(&clock_, &QTimer::timeout, this, &StatusPanels::refresh);
    clock_.start();
}

void StatusPanels::showDesignCode(engine::DesignCode code) {
    const QString shown = fromEngine(engine::codeName(code));
    code_->setText(shown);
    code_->setAccessibleName(QString::fromUtf8("Norma de diseño ") + shown);
}

QString StatusPanels::creditText() {
    return QStringLiteral("Quintaral " QUINTARAL_VERSION) +
           QString::fromUtf8(" \u2014 diseño a flexión de vigas de concreto reforzado");
}

void StatusPanels::refresh() {
    const QLocale locale;
    time_->setText(locale.toString(QTime::currentTime(), QLocale::ShortFormat));
    date_->setText(locale.toString(QDate::currentDate(), QLocale::ShortFormat));
}

QLabel* StatusPanels::makePanel(QStatusBar* bar, const QString& name, int minimumWidth) {
    auto* panel = new QLabel(bar);
    panel->setObjectName(name);
    panel->setMinimumWidth(minimumWidth);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setContentsMargins(2, 0, 2, 0);
    return panel;
}
