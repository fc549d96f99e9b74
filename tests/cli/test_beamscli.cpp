#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// quintaral-cli beams as a user runs it: a building's export in, a line per beam, the
// drawings and the quantities out, and the exit status that says whether every beam passes.
namespace {

struct Run {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Run runCli(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(QUINTARAL_CLI), arguments);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000)) return {};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
}

const QByteArray header =
    "beam,span,length,support_left,support_right,b,h,cover,cover2,fc,fy,"
    "mu_left,mu_mid,mu_right\n";
// Two beams alike (one name needing a safe file name), one of another section.
const QByteArray building = header +
                            "V/1,1,5,40,40,30,50,6,6,210,4200,-12,8,-14\n"
                            "V/1,2,4.5,40,40,30,50,6,6,210,4200,-14,7,-11\n"
                            "V-2,1,5,40,40,30,50,6,6,210,4200,-10,9,-12\n"
                            "V-2,2,4.5,40,40,30,50,6,6,210,4200,-15,6,-10\n"
                            "V-3,1,6,40,40,30,60,6,6,280,4200,-20,12,-22\n";

QString written(const QTemporaryDir& dir, const QString& name, const QByteArray& text) {
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) return {};
    return file.fileName();
}

}  // namespace

class TestBeamsCli : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void groupedBuildingWritesDrawingsAndQuantities();
    void exitStatuses_data();
    void exitStatuses();
};

void TestBeamsCli::groupedBuildingWritesDrawingsAndQuantities() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString beams = written(dir, QStringLiteral("vigas.csv"), building);
    const QString out = dir.filePath(QStringLiteral("salida"));
    const Run run = runCli({"beams", beams, "--group", "--out", out, "--format", "json"});
    QCOMPARE(run.status, 0);
    const QJsonObject json = QJsonDocument::fromJson(run.out).object();
    const QJsonArray list = json.value("beams").toArray();
    QCOMPARE(list.size(), 3);
    QCOMPARE(list.at(1).toObject().value("group").toString(), QStringLiteral("V/1 = V-2"));
    QVERIFY(list.at(2).toObject().value("group").isNull());
    QCOMPARE(json.value("groups").toArray().size(), 1);
    QStringList files = QDir(out).entryList(QDir::Files);
    files.sort();
    QCOMPARE(files, (QStringList{"V-3.dxf", "V_1 = V-2.dxf", "cantidades.csv"}));

    // The building's total is the sum of its beams', in the JSON and in the CSV's last row.
    double sum = 0;
    for (const auto& beam : list)
        sum += beam.toObject()
                   .value("design")
                   .toObject()
                   .value("mass")
                   .toObject()
                   .value("total")
                   .toDouble();
    QVERIFY(qAbs(json.value("quantities").toObject().value("total").toDouble() - sum) < 1e-6);
    QFile csv(QDir(out).filePath(QStringLiteral("cantidades.csv")));
    QVERIFY(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> rows = csv.readAll().trimmed().split('\n');
    QCOMPARE(rows.size(), 5);
    QVERIFY(rows.last().startsWith("Total,"));
    QCOMPARE(rows.last().split(',').at(rows.last().split(',').size() - 3).toDouble(),
             std::round(sum * 10) / 10);
}

void TestBeamsCli::exitStatuses_data() {
    QTest::addColumn<QByteArray>("beams");
    QTest::addColumn<QByteArray>("stations");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("all pass") << building << QByteArray() << 0 << QByteArray();
    QTest::newRow("one fails") << building + "V-4,1,8,40,40,20,30,4,4,210,4200,-60,40,-60\n"
                               << QByteArray() << 2
                               << QByteArray("V-4  1 vano  no se puede diseñar: ");
    QTest::newRow("row disagrees")
        << building + "V-3,2,6,40,40,30,65,6,6,280,4200,-20,12,-22\n"
        << QByteArray() << 1
        << QByteArray("vigas.csv: línea 7: la viga ya tiene otro valor de «h» en la línea 6");
    QTest::newRow("station of another beam")
        << building << QByteArray("beam,span,x,mu\nV-3,1,0,-5\nV-9,1,0,-5\n") << 1
        << QByteArray("estaciones.csv: línea 3: la viga «V-9» no está en el archivo de vigas");
}

void TestBeamsCli::exitStatuses() {
    QFETCH(QByteArray, beams);
    QFETCH(QByteArray, stations);
    QFETCH(int, status);
    QFETCH(QByteArray, message);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QStringList arguments{"beams", written(dir, QStringLiteral("vigas.csv"), beams)};
    if (!stations.isEmpty())
        arguments << "--stations" << written(dir, QStringLiteral("estaciones.csv"), stations);
    const Run run = runCli(arguments);
    QCOMPARE(run.status, status);
    QVERIFY2((run.out + run.err).contains(message), (run.out + run.err).constData());
}

QTEST_GUILESS_MAIN(TestBeamsCli)
#include "test_beamscli.moc"
