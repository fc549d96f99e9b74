#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include "beamdrawing/beampainting.h"
#include "beamwindow/beamplot.h"
#include "beamwindow/beamwindow.h"
#include "beamwindow/beamwindowfields.h"
#include "beamwindow/quantitiestab.h"
#include "engine/beam/barschedule.h"
#include "engine/beam/checktext.h"
#include "engine/drawing/beamdrawing.h"
#include "project/project.h"

// The beam window's results: the tabs of drawings, schedule, checks and quantities, shown for the
// design or greyed while the beam as typed does not read.

namespace {
namespace eb = engine::beam;
using beamwindowparts::failColour;
using beamwindowparts::fixed;
using beamwindowparts::passColour;
}  // namespace

void BeamWindow::setupOutputs(QWidget* panel) {
    Fields& f = *fields_;
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* tabs = new QTabWidget;
    tabs->setObjectName(QStringLiteral("outputTabs"));
    f.outputTabs = tabs;
    f.elevationPlot = new BeamPlot;
    f.elevationPlot->setObjectName(QStringLiteral("elevationPlot"));
    f.sectionsPlot = new BeamPlot;
    f.sectionsPlot->setObjectName(QStringLiteral("sectionsPlot"));
    f.envelopePlot = new BeamPlot;
    f.envelopePlot->setObjectName(QStringLiteral("envelopePlot"));
    tabs->addTab(f.elevationPlot, QStringLiteral("Alzado"));
    tabs->addTab(f.sectionsPlot, QStringLiteral("Secciones"));
    tabs->addTab(f.envelopePlot, QStringLiteral("Envolvente"));

    auto* scheduleTab = new QWidget;
    auto* scheduleLayout = new QVBoxLayout(scheduleTab);
    scheduleModel_ = new QStandardItemModel(this);
    QStringList headers;
    for (const std::string& caption : engine::drawing::scheduleHeader())
        headers << fromEngine(caption);
    scheduleModel_->setHorizontalHeaderLabels(headers);
    f.scheduleView = new QTableView;
    f.scheduleView->setObjectName(QStringLiteral("scheduleView"));
    f.scheduleView->setModel(scheduleModel_);
    f.scheduleView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    f.scheduleView->verticalHeader()->hide();
    f.scheduleView->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    scheduleLayout->addWidget(f.scheduleView, 1);
    f.shapesPlot = new BeamPlot;
    f.shapesPlot->setObjectName(QStringLiteral("shapesPlot"));
    scheduleLayout->addWidget(f.shapesPlot, 1);
    f.massLabel = new QLabel;
    f.massLabel->setObjectName(QStringLiteral("massLabel"));
    f.massLabel->setWordWrap(true);
    f.massLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    scheduleLayout->addWidget(f.massLabel);
    tabs->addTab(scheduleTab, QStringLiteral("Despiece"));

    auto* checksTab = new QWidget;
    auto* checksLayout = new QVBoxLayout(checksTab);
    f.verdictLabel = new QLabel;
    f.verdictLabel->setObjectName(QStringLiteral("verdictLabel"));
    checksLayout->addWidget(f.verdictLabel);
    checksModel_ = new QStandardItemModel(this);
    checksModel_->setHorizontalHeaderLabels(
        {QStringLiteral("Resultado"), QStringLiteral("Lugar"), QStringLiteral("Verificación")});
    f.checksView = new QTableView;
    f.checksView->setObjectName(QStringLiteral("checksView"));
    f.checksView->setModel(checksModel_);
    f.checksView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    f.checksView->verticalHeader()->hide();
    f.checksView->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    f.checksView->horizontalHeader()->setStretchLastSection(true);
    checksLayout->addWidget(f.checksView, 1);
    tabs->addTab(checksTab, QStringLiteral("Verificaciones"));
    auto* quantitiesTab = new QuantitiesTab(project_);
    quantitiesTab->setObjectName(QStringLiteral("quantitiesTab"));
    tabs->addTab(quantitiesTab, QStringLiteral("Cantidades"));

    // The drawings' zoom: the wheel and a drag on the drawing, these buttons or Ctrl++, Ctrl+−.
    auto zoomButton = [&](const char* name, const QString& caption, const QString& tip,
                          void (BeamPlot::*act)()) {
        auto* button = new QPushButton(caption);
        button->setObjectName(QLatin1String(name));
        button->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
        // "−" and "+" as narrow as a square.
        if (caption.size() == 1) button->setFixedWidth(button->sizeHint().height() + 4);
        button->setToolTip(tip);
        connect(button, &QPushButton::clicked, this, [tabs, act] {
            if (auto* plot = qobject_cast<BeamPlot*>(tabs->currentWidget())) (plot->*act)();
        });
        return button;
    };
    auto* zoomRow = new QWidget;
    auto* zoomLayout = new QHBoxLayout(zoomRow);
    zoomLayout->setContentsMargins(0, 0, 0, 0);
    zoomLayout->addStretch(1);
    zoomLayout->addWidget(zoomButton("zoomOutButton", QStringLiteral("−"),
                                     QStringLiteral("Alejar (Ctrl+−)"), &BeamPlot::zoomOut));
    zoomLayout->addWidget(zoomButton("zoomInButton", QStringLiteral("+"),
                                     QStringLiteral("Acercar (Ctrl++)"), &BeamPlot::zoomIn));
    zoomLayout->addWidget(zoomButton("fitButton", QStringLiteral("A&justar"),
                                     QStringLiteral("El dibujo entero (Ctrl+0)"), &BeamPlot::fit));
    tabs->setCornerWidget(zoomRow, Qt::TopRightCorner);
    connect(tabs, &QTabWidget::currentChanged, zoomRow, [tabs, zoomRow] {
        zoomRow->setEnabled(qobject_cast<BeamPlot*>(tabs->currentWidget()));
    });
    layout->addWidget(tabs);
}

// The drawings greyed under the message, the tables greyed; the project's exports refuse the
// beam it holds (the last one read) while the window's beam does not read.
void BeamWindow::showOutOfDate(const QString& error) {
    const Fields& f = *fields_;
    const QString message =
        error.isEmpty() ? QString()
                        : QStringLiteral("Resultados desactualizados: corrija %1").arg(error);
    for (BeamPlot* plot : {f.elevationPlot, f.sectionsPlot, f.envelopePlot, f.shapesPlot})
        plot->setOutOfDate(message);
    for (QWidget* result :
         std::initializer_list<QWidget*>{f.scheduleView, f.checksView, f.massLabel, f.verdictLabel})
        result->setEnabled(message.isEmpty());
    // A beam outside the project (the starting one, not edited) has nothing to refuse.
    if (inProject_ || message.isEmpty()) project_->setBeamNotRead(message);
}

void BeamWindow::showDesign() {
    Fields& f = *fields_;
    scheduleModel_->setRowCount(0);
    checksModel_->setRowCount(0);
    if (!design_ || !input_) {
        for (BeamPlot* plot : {f.elevationPlot, f.sectionsPlot, f.envelopePlot, f.shapesPlot})
            plot->setPainter({});
        f.massLabel->clear();
        f.verdictLabel->clear();
        return;
    }
    const eb::BeamDesign design = *design_;
    const eb::BeamInput input = *input_;
    const char separator = decimalSeparator();
    f.elevationPlot->setPainter([=](QPainter& painter, const QRectF& area) {
        beampainting::paintElevation(painter, area, design, input, separator);
    });
    f.sectionsPlot->setPainter([=](QPainter& painter, const QRectF& area) {
        beampainting::paintSections(painter, area, design, input, separator);
    });
    f.envelopePlot->setPainter([=](QPainter& painter, const QRectF& area) {
        beampainting::paintEnvelope(painter, area, design, separator);
    });
    f.shapesPlot->setPainter([=](QPainter& painter, const QRectF& area) {
        beampainting::paintBendingShapes(painter, area, design, separator);
    });

    const auto& columns = engine::drawing::scheduleColumns();
    for (const auto& cells : engine::drawing::scheduleCells(design, separator)) {
        QList<QStandardItem*> row;
        for (std::size_t c = 0; c < cells.size(); ++c) {
            auto* item = new QStandardItem(fromEngine(cells[c]));
            if (columns[c]->align == engine::beam::ColumnAlign::Right)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            row << item;
        }
        scheduleModel_->appendRow(row);
    }
    QStringList masses;
    for (const auto& [bar, mass] : design.massByBar)
        masses << QStringLiteral("%1: %2 kg")
                      .arg(fromEngine(engine::barName(bar)),
                           fromEngine(eb::massText(mass, separator)));
    f.massLabel->setText(
        QStringLiteral("Masa por barra: %1.  Masa total: %2 kg.  Concreto: %3 m³ (%4 kg/m³).")
            .arg(masses.join(QStringLiteral("; ")),
                 fromEngine(eb::massText(design.totalMass, separator)), fixed(design.concrete, 2),
                 fixed(design.steelPerConcrete, 1)));

    for (const eb::Check& check : design.checks) {
        const QString place = fromEngine(eb::placeText(check.place, separator));
        auto* verdict = new QStandardItem(check.passes ? QStringLiteral("Cumple")
                                                       : QStringLiteral("No cumple"));
        const QList<QStandardItem*> row = {
            verdict, new QStandardItem(place.isEmpty() ? QStringLiteral("Viga") : place),
            new QStandardItem(fromEngine(eb::checkText(check, separator)))};
        if (!check.passes)
            for (QStandardItem* item : row) item->setForeground(failColour);
        checksModel_->appendRow(row);
    }
    f.verdictLabel->setText(design.passes
                                ? QStringLiteral("La viga cumple todas las verificaciones.")
                                : QStringLiteral("No cumple: vea las filas en rojo."));
    f.verdictLabel->setStyleSheet(
        QStringLiteral("color: %1;").arg((design.passes ? passColour : failColour).name()));
}
