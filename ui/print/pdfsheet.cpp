#include "print/pdfsheet.h"

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QMarginsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSaveFile>
#include <algorithm>
#include <iterator>
#include <vector>

#include "common/decimalseparator.h"
#include "common/enginetext.h"
#include "engine/sheet.h"
#include "print/beampages.h"
#include "quintaral/version.h"

namespace printing {

namespace {

constexpr int dotsPerInch = 600;
constexpr double marginMillimetres = 18;
constexpr double drawingMillimetres = 80;

QFont sheetFont(const QString& family, double points, bool bold = false) {
    QFont font(family);
    font.setPointSizeF(points);
    font.setBold(bold);
    // Any letter spacing turns the "fi"/"fl" ligatures off, so text copied out of the PDF
    // (and searched in it) has plain letters. A thousandth more is invisible.
    font.setLetterSpacing(QFont::PercentageSpacing, 100.1);
    return font;
}

QFont monospaced(double points) {
    QFont font = sheetFont(QStringLiteral("DejaVu Sans Mono"), points);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

// A piece of the sheet that stays on one page: its height and how it paints itself below `top`.
struct Block {
    double height = 0;
    std::function<void(QPainter&, double top)> paint;
    bool keepWithNext = false;  // a heading goes to the page of what follows it
};

// Lays the sheet out on the pages of one PDF writer, in device pixels.
class SheetPages {
  public:
    SheetPages(const CalculationSheet& sheet, QPdfWriter& writer);
    // The blocks' painters refer to this object.
    SheetPages(const SheetPages&) = delete;
    SheetPages& operator=(const SheetPages&) = delete;

    int pageCount() const { return static_cast<int>(pages_.size() + beamPages_.size()); }
    // The orientation of the first page, which the writer needs before painting begins.
    QPageLayout::Orientation firstOrientation() const {
        return pages_.empty() && !beamPages_.empty() ? beamPages_.front().orientation
                                                     : QPageLayout::Portrait;
    }
    // Paints every page; false when the writer refused a new page.
    bool paint(QPainter& painter, QPdfWriter& writer) const;

  private:
    double mm(double millimetres) const { return millimetres * dotsPerInch / 25.4; }
    QFontMetricsF metrics(const QFont& font) const { return QFontMetricsF(font, &writer_); }

    void setupHeader();
    void addTitle();
    void addHeading(std::string_view heading);
    void addInputs();
    void addReport();
    void addLayout(const SheetLayout& layout);
    void paginate();
    void paintHeader(QPainter& painter, int page, double width) const;

    const CalculationSheet& sheet_;
    QPdfWriter& writer_;
    QFont headerFont_ = sheetFont(QStringLiteral("DejaVu Sans"), 8.5);
    QFont headerBoldFont_ = sheetFont(QStringLiteral("DejaVu Sans"), 8.5, true);
    QFont titleFont_ = sheetFont(QStringLiteral("DejaVu Sans"), 13, true);
    QFont headingFont_ = sheetFont(QStringLiteral("DejaVu Sans"), 11, true);
    QFont bodyFont_ = sheetFont(QStringLiteral("DejaVu Sans"), 10);
    QFont reportFont_ = monospaced(9.5);
    double width_ = 0;
    double height_ = 0;
    engine::SheetHeader header_;
    double headerHeight_ = 0;
    std::vector<Block> blocks_;
    std::vector<std::vector<std::size_t>> pages_;  // the blocks of each page, in order
    std::vector<BeamPage> beamPages_;              // after them, when the sheet has a beam
};

SheetPages::SheetPages(const CalculationSheet& sheet, QPdfWriter& writer)
    : sheet_(sheet), writer_(writer) {
    const QRectF page = writer.pageLayout().paintRectPixels(writer.resolution());
    width_ = page.width();
    height_ = page.height();
    setupHeader();
    if (sheet.withSection) {
        addTitle();
        addInputs();
        addReport();
        if (sheet.layout) addLayout(*sheet.layout);
        paginate();
    }
    if (sheet.beam || !sheet.beams.empty()) {
        QPageLayout landscape = writer.pageLayout();
        landscape.setOrientation(QPageLayout::Landscape);
        const QRectF wide = landscape.paintRectPixels(writer.resolution());
        const PageBodies bodies{QSizeF(width_, height_ - headerHeight_),
                                QSizeF(wide.width(), wide.height() - headerHeight_), bodyFont_,
                                &writer_};
        // The project is named after its file.
        const QString projectName = QFileInfo(sheet.fileName).completeBaseName();
        if (!sheet.index.empty()) beamPages_ = beamIndexPages(sheet.index, decimalSeparator(), bodies);
        for (const CalculationSheet::Beam& beam : sheet.beams) {
            std::vector<BeamPage> pages =
                beamPages(beam.design, beam.input, projectName, decimalSeparator(), bodies);
            std::move(pages.begin(), pages.end(), std::back_inserter(beamPages_));
        }
        if (sheet.beams.empty())
            beamPages_ =
                beamPages(sheet.beam->design, sheet.beam->input, projectName, decimalSeparator(),
                          bodies);
    }
}

void SheetPages::setupHeader() {
    const QDate date = sheet_.date.isValid() ? sheet_.date : QDate::currentDate();
    header_ = engine::sheetHeader(QUINTARAL_VERSION, sheet_.code,
                                  date.toString(QStringLiteral("dd/MM/yyyy")).toStdString(),
                                  sheet_.fileName.toStdString());
    headerHeight_ = 2 * metrics(headerFont_).lineSpacing() + mm(2) + mm(6);
}

void SheetPages::paintHeader(QPainter& painter, int page, double width) const {
    const QFontMetricsF fm = metrics(headerFont_);
    const double first = fm.ascent();
    const double second = first + fm.lineSpacing();
    painter.setFont(headerBoldFont_);
    painter.drawText(QPointF(0, first), fromEngine(header_.program));
    painter.setFont(headerFont_);
    const QString pageText = fromEngine(engine::pageNumberText(page, pageCount()));
    painter.drawText(QPointF(width - fm.horizontalAdvance(pageText), first), pageText);
    const QString codeAndDate =
        fromEngine(header_.code) + QStringLiteral("     ") + fromEngine(header_.date);
    painter.drawText(QPointF(0, second), codeAndDate);
    // A long file name is shortened in the middle rather than run into the code or the margin.
    const double fileRoom = width - fm.horizontalAdvance(codeAndDate) - mm(6);
    const QString file = fm.elidedText(fromEngine(header_.file), Qt::ElideMiddle, fileRoom);
    painter.drawText(QPointF(width - fm.horizontalAdvance(file), second), file);
    const double rule = 2 * fm.lineSpacing() + mm(2);
    painter.save();
    painter.setPen(QPen(Qt::black, mm(0.25)));
    painter.drawLine(QPointF(0, rule), QPointF(width, rule));
    painter.restore();
}

void SheetPages::addTitle() {
    const QFontMetricsF fm = metrics(titleFont_);
    blocks_.push_back({fm.lineSpacing(), [this, fm](QPainter& painter, double top) {
                           painter.setFont(titleFont_);
                           painter.drawText(QPointF(0, top + fm.ascent()),
                                            fromEngine(engine::sheetText::title));
                       }});
}

void SheetPages::addHeading(std::string_view heading) {
    const QFontMetricsF fm = metrics(headingFont_);
    const double before = mm(6);
    blocks_.push_back(
        {before + fm.lineSpacing() + mm(1.5),
         [this, fm, before, heading = fromEngine(heading)](QPainter& painter, double top) {
             painter.setFont(headingFont_);
             painter.drawText(QPointF(0, top + before + fm.ascent()), heading);
         },
         true});
}

void SheetPages::addInputs() {
    addHeading(engine::sheetText::inputsHeading);
    const std::vector<engine::SheetInputLine> lines =
        engine::sheetInputLines(sheet_.inputs, decimalSeparator());
    const QFontMetricsF fm = metrics(bodyFont_);
    double nameWidth = 0;
    double valueWidth = 0;
    for (const engine::SheetInputLine& line : lines) {
        nameWidth = std::max(nameWidth, fm.horizontalAdvance(fromEngine(line.name)));
        valueWidth = std::max(valueWidth, fm.horizontalAdvance(fromEngine(line.value)));
    }
    // Values right-aligned in a column, so their units line up too.
    const double valueRight = mm(4) + nameWidth + mm(6) + valueWidth;
    for (const engine::SheetInputLine& line : lines) {
        const QString name = fromEngine(line.name);
        const QString value = fromEngine(line.value);
        const QString unit = fromEngine(line.unit);
        blocks_.push_back({fm.lineSpacing() * 1.15, [=, this](QPainter& painter, double top) {
                               const double baseline = top + fm.ascent();
                               painter.setFont(bodyFont_);
                               painter.drawText(QPointF(mm(4), baseline), name);
                               painter.drawText(
                                   QPointF(valueRight - fm.horizontalAdvance(value), baseline),
                                   value);
                               painter.drawText(QPointF(valueRight + mm(2), baseline), unit);
                           }});
    }
}

void SheetPages::addReport() {
    addHeading(engine::sheetText::resultsHeading);
    const QFontMetricsF fm = metrics(reportFont_);
    const QStringList lines = sheet_.report.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    for (const QString& line : lines) {
        blocks_.push_back({fm.lineSpacing(), [this, fm, line](QPainter& painter, double top) {
                               painter.setFont(reportFont_);
                               painter.drawText(QPointF(0, top + fm.ascent()), line);
                           }});
    }
}

void SheetPages::addLayout(const SheetLayout& layout) {
    addHeading(engine::sheetText::layoutHeading);
    const QFontMetricsF fm = metrics(bodyFont_);
    const int wrap = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
    if (!layout.arrangement.isEmpty()) {
        const double height =
            fm.boundingRect(QRectF(0, 0, width_, height_), wrap, layout.arrangement).height();
        blocks_.push_back({height + mm(3),
                           [this, wrap, height, layout](QPainter& painter, double top) {
                               painter.setFont(bodyFont_);
                               painter.drawText(QRectF(0, top, width_, height), wrap,
                                                layout.arrangement);
                           },
                           true});
    }
    // The drawing on the left, its check lines beside it, each wrapped within its column so
    // that none runs past the right margin; the pair never splits.
    const double drawingWidth = layout.draw ? width_ * 0.4 : 0;
    const double checksLeft = layout.draw ? drawingWidth + mm(6) : mm(4);
    const double checksWidth = width_ - checksLeft;
    const double gap = fm.lineSpacing() * 0.15;
    std::vector<double> checkHeights;
    double checksHeight = 0;
    for (const QString& check : layout.checks) {
        const double height =
            fm.boundingRect(QRectF(0, 0, checksWidth, height_), wrap, check).height();
        checkHeights.push_back(height);
        checksHeight += height + gap;
    }
    const double usable = height_ - headerHeight_ - mm(20);
    const double drawingHeight = layout.draw ? std::min(mm(drawingMillimetres), usable) : 0;
    blocks_.push_back({std::max(drawingHeight, checksHeight),
                       [this, wrap, gap, drawingWidth, drawingHeight, checksLeft, checksWidth,
                        checkHeights, layout](QPainter& painter, double top) {
                           if (layout.draw) {
                               const QRectF area(0, top, drawingWidth, drawingHeight);
                               painter.save();
                               painter.setClipRect(area);
                               layout.draw(painter, area);
                               painter.restore();
                           }
                           painter.setFont(bodyFont_);
                           double y = top;
                           for (qsizetype i = 0; i < layout.checks.size(); ++i) {
                               const double height = checkHeights[std::size_t(i)];
                               painter.drawText(QRectF(checksLeft, y, checksWidth, height), wrap,
                                                layout.checks.at(i));
                               y += height + gap;
                           }
                       }});
}

void SheetPages::paginate() {
    const double body = height_ - headerHeight_;
    pages_.assign(1, {});
    double used = 0;
    for (std::size_t i = 0; i < blocks_.size(); ++i) {
        // A block kept with the next one needs room for the whole chain up to the first that
        // is not.
        double needed = blocks_[i].height;
        for (std::size_t next = i; blocks_[next].keepWithNext && next + 1 < blocks_.size(); ++next)
            needed += blocks_[next + 1].height;
        if (used > 0 && used + needed > body) {
            pages_.emplace_back();
            used = 0;
        }
        pages_.back().push_back(i);
        used += blocks_[i].height;
    }
}

bool SheetPages::paint(QPainter& painter, QPdfWriter& writer) const {
    for (std::size_t page = 0; page < pages_.size(); ++page) {
        if (page > 0 && !writer.newPage()) return false;
        paintHeader(painter, static_cast<int>(page) + 1, width_);
        double top = headerHeight_;
        for (const std::size_t i : pages_[page]) {
            blocks_[i].paint(painter, top);
            top += blocks_[i].height;
        }
    }
    // The beam's pages, each in its own orientation, numbered on from the section's.
    const QPageLayout portrait = writer.pageLayout();
    for (std::size_t i = 0; i < beamPages_.size(); ++i) {
        QPageLayout layout = portrait;
        layout.setOrientation(beamPages_[i].orientation);
        writer.setPageLayout(layout);
        if ((!pages_.empty() || i > 0) && !writer.newPage()) return false;
        const QRectF paintRect = layout.paintRectPixels(writer.resolution());
        paintHeader(painter, static_cast<int>(pages_.size() + i) + 1, paintRect.width());
        beamPages_[i].paint(painter, QRectF(0, headerHeight_, paintRect.width(),
                                            paintRect.height() - headerHeight_));
    }
    return true;
}

QString failure(const QString& path, const QString& reason) {
    return QStringLiteral("No se pudo exportar la hoja de cálculo a \"%1\": %2")
        .arg(QDir::toNativeSeparators(path), reason);
}

QString openFailure(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir()) return failure(path, QStringLiteral("es una carpeta, no un archivo."));
    const QString folder = QDir::toNativeSeparators(info.absolutePath());
    if (!QFileInfo(info.absolutePath()).isDir())
        return failure(path, QStringLiteral("la carpeta \"%1\" no existe.").arg(folder));
    return failure(path, QStringLiteral("no se puede escribir en la carpeta \"%1\".").arg(folder));
}

QString writeFailure(const QString& path) {
    return failure(path, QStringLiteral("no se pudo terminar de escribir el archivo; puede que el "
                                        "disco esté lleno. Si ya existía un archivo con ese "
                                        "nombre, sigue como estaba."));
}

}  // namespace

QPageSize::PageSizeId sheetPageSize(QLocale::Territory territory) {
    switch (territory) {
        case QLocale::UnitedStates:
        case QLocale::Canada:
        case QLocale::Mexico:
        case QLocale::Guatemala:
        case QLocale::Honduras:
        case QLocale::ElSalvador:
        case QLocale::Nicaragua:
        case QLocale::CostaRica:
        case QLocale::Panama:
        case QLocale::DominicanRepublic:
        case QLocale::PuertoRico:
        case QLocale::Colombia:
        case QLocale::Venezuela:
        case QLocale::Chile:
        case QLocale::Philippines:
            return QPageSize::Letter;
        default:
            return QPageSize::A4;
    }
}

QString writeCalculationSheet(const QString& path, const CalculationSheet& sheet) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return openFailure(path);

    QPdfWriter writer(&file);
    writer.setResolution(dotsPerInch);
    writer.setPageLayout(QPageLayout(
        QPageSize(sheetPageSize(QLocale().territory())), QPageLayout::Portrait,
        QMarginsF(marginMillimetres, marginMillimetres, marginMillimetres, marginMillimetres),
        QPageLayout::Millimeter));
    writer.setTitle(fromEngine(engine::sheetText::title));
    writer.setCreator(QStringLiteral("Quintaral " QUINTARAL_VERSION));

    const SheetPages pages(sheet, writer);
    QPageLayout first = writer.pageLayout();
    first.setOrientation(pages.firstOrientation());
    writer.setPageLayout(first);
    const QString broken = failure(path, QStringLiteral("no se pudo generar el PDF."));
    QPainter painter;
    if (!painter.begin(&writer)) return broken;  // the unfinished file goes with `file`
    painter.setRenderHint(QPainter::Antialiasing);
    if (!pages.paint(painter, writer)) {
        painter.end();
        return broken;
    }
    if (!painter.end()) return broken;
    if (!file.flush() || file.size() == 0) return writeFailure(path);
    if (!file.commit()) return writeFailure(path);
    if (QFileInfo(path).size() == 0) return writeFailure(path);
    return {};
}

}  // namespace printing
