#include "print/sheetexport.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPainter>

#include "common/decimalseparator.h"
#include "common/enginetext.h"
#include "common/filedialoglabels.h"
#include "drawing/sectiondrawing.h"
#include "engine/barscheck.h"
#include "engine/sheet.h"
#include "project/project.h"

namespace printing {

namespace {

const QString dialogTitle = QStringLiteral("Exportar a PDF");

QString withPdfSuffix(const QString& path) {
    if (QFileInfo(path).suffix().compare(QStringLiteral("pdf"), Qt::CaseInsensitive) == 0)
        return path;
    return path + QStringLiteral(".pdf");
}

std::string layerText(const engine::Arrangement& arrangement, std::size_t layer) {
    return layer < arrangement.layers.size() ? engine::formatLayer(arrangement.layers[layer])
                                             : std::string();
}

// The project's chosen bars as the sheet shows them: in words, checked, and drawn in place.
SheetLayout sheetLayout(const engine::CompletedDesign& design,
                        const engine::LayoutSettings& settings, const project::ChosenBars& bars) {
    SheetLayout sheet;
    sheet.arrangement = fromEngine(engine::sheetArrangementText(
        layerText(bars.tension, 0), layerText(bars.tension, 1), layerText(bars.compression, 0)));
    const engine::BarsCheck check =
        engine::checkBars(bars.tension, bars.compression, settings, design, decimalSeparator());
    for (const std::string& line : check.lines) sheet.checks << fromEngine(line);
    sheet.draw = [section = sectionGeometry(design, settings, &check)](QPainter& painter,
                                                                       const QRectF& area) {
        paintSection(painter, area, section);
    };
    return sheet;
}

}  // namespace

std::optional<CalculationSheet> calculationSheet(const project::Project& project) {
    const auto& design = project.design();
    CalculationSheet sheet;
    if (project.beams().size() > 1) {
        QStringList groupsShown;
        for (const project::Project::Beam& beam : project.beams()) {
            const auto& beamDesign = beam.result.design;
            sheet.index.push_back({fromEngine(beam.beam.input.name), beam.beam.description,
                                   beam.beam.group, beamDesign.has_value(),
                                   beamDesign && beamDesign->passes,
                                   beamDesign ? beamDesign->totalMass : 0.0});
            if (!beamDesign) continue;
            const QString& group = beam.beam.group;
            if (!group.isEmpty()) {
                if (groupsShown.contains(group)) continue;
                groupsShown << group;
            }
            CalculationSheet::Beam pages{beam.beam.input, *beamDesign};
            if (!group.isEmpty()) pages.input.name = group.toStdString();
            sheet.beams.push_back(std::move(pages));
        }
        if (sheet.beams.empty()) sheet.index.clear();
    }
    const bool withBeam = !sheet.beams.empty() || (project.beams().size() <= 1 &&
                                                   project.beam() && project.beamDesign());
    if (!design && !withBeam) return std::nullopt;
    if (!project.path().isEmpty()) sheet.fileName = QFileInfo(project.path()).fileName();
    if (withBeam && sheet.beams.empty())
        sheet.beam = CalculationSheet::Beam{*project.beam(), *project.beamDesign()};
    if (!design) {
        // The beams' pages alone, under the header of the (first) beam's code.
        sheet.withSection = false;
        sheet.code = sheet.beam ? sheet.beam->input.code : sheet.beams.front().input.code;
        return sheet;
    }
    sheet.code = design->run.code();
    sheet.inputs = design->input;
    sheet.report = fromEngine(engine::resultsReport(design->run, decimalSeparator()));
    if (project.bars())
        sheet.layout = sheetLayout(*design, project.layoutSettings(), *project.bars());
    return sheet;
}

bool saveCalculationSheetAs(QWidget* parent, const CalculationSheet& sheet, const QString& path) {
    const QString message = writeCalculationSheet(path, sheet);
    if (message.isEmpty()) return true;
    QMessageBox::critical(parent, dialogTitle, message);
    return false;
}

void exportCalculationSheet(QWidget* parent, const std::optional<CalculationSheet>& sheet,
                            const QString& suggestedName) {
    if (!sheet) {
        QMessageBox::information(parent, dialogTitle,
                                 QStringLiteral("No hay ningún diseño para exportar. Pulse "
                                                "\"Calcular\" y exporte después la hoja de "
                                                "cálculo."));
        return;
    }
    QFileDialog dialog(parent, dialogTitle, suggestedName, QStringLiteral("PDF (*.pdf)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    setAcceptCaption(dialog, "&Guardar");
    // The dialog adds the suffix before it asks about replacing a file, so it asks about the
    // file that is really written.
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    saveCalculationSheetAs(parent, *sheet, withPdfSuffix(dialog.selectedFiles().front()));
}

}  // namespace printing
