// Prints the UTF-8 text read from standard input on a print queue chosen by name, through
// printing::printTextFailure. The print tests run it as a child process with CUPS_SERVER pointing
// at a private scheduler: the CUPS library reads that variable once, before its first request.
//
// Usage: test_print_queue_client <queue> <document name>
// Exit status: 0 printed, 1 printing failed, 2 the queue is not among the printers Qt sees.

#include <QApplication>
#include <QFile>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStringList>
#include <cstdio>

#include "print/printreport.h"

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <queue> <document name>\n", argv[0]);
        return 64;
    }
    const QString queue = QString::fromLocal8Bit(argv[1]);
    const QStringList seen = QPrinterInfo::availablePrinterNames();
    if (!seen.contains(queue)) {
        std::fprintf(stderr, "queue %s not found; printers seen: %s\n", argv[1],
                     qPrintable(seen.join(QStringLiteral(", "))));
        return 2;
    }

    QFile input;
    if (!input.open(stdin, QIODevice::ReadOnly)) return 64;
    const QString text = QString::fromUtf8(input.readAll());

    QPrinter printer(QPrinter::HighResolution);
    printer.setPrinterName(queue);
    printer.setDocName(QString::fromLocal8Bit(argv[2]));
    const QString failure = printing::printTextFailure(printer, text);
    if (!failure.isEmpty()) {
        std::fprintf(stderr, "printing failed: %s\n", qPrintable(failure));
        return 1;
    }
    return 0;
}
