#pragma once

#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>

// Every word of a PDF that does not lie inside the printable area of its page (the page less
// `marginPoints` on each side, in PostScript points), as "page N: «word» x0–x1, y0–y1", read
// with `pdftotext -bbox` (poppler-utils). A word that is cut at the margin is outside too: its
// box runs past it. "pdftotext" alone when the tool cannot run.
inline QStringList wordsOutsidePrintableArea(const QString& pdf, double marginPoints) {
    QProcess process;
    process.start(QStandardPaths::findExecutable(QStringLiteral("pdftotext")),
                  {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {QStringLiteral("pdftotext")};
    // Glyph boxes come from the font's metrics, which reach a little past the ink.
    const double tolerance = 1.0;
    QStringList outside;
    QXmlStreamReader xml(process.readAllStandardOutput());
    int page = 0;
    double width = 0;
    double height = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        const QXmlStreamAttributes at = xml.attributes();
        if (xml.name() == QLatin1String("page")) {
            ++page;
            width = at.value(QLatin1String("width")).toDouble();
            height = at.value(QLatin1String("height")).toDouble();
        } else if (xml.name() == QLatin1String("word")) {
            const double x0 = at.value(QLatin1String("xMin")).toDouble();
            const double x1 = at.value(QLatin1String("xMax")).toDouble();
            const double y0 = at.value(QLatin1String("yMin")).toDouble();
            const double y1 = at.value(QLatin1String("yMax")).toDouble();
            const double low = marginPoints - tolerance;
            if (x0 < low || y0 < low || x1 > width - low || y1 > height - low)
                outside << QStringLiteral("page %1: «%2» %3–%4, %5–%6")
                               .arg(page)
                               .arg(xml.readElementText())
                               .arg(x0)
                               .arg(x1)
                               .arg(y0)
                               .arg(y1);
        }
    }
    return outside;
}
