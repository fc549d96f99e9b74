// A Qt generic plugin that watches a program start up from the inside, so that the packaged
// binary can be checked exactly as it was built, without any hook of its own. Loaded through
// QT_QPA_GENERIC_PLUGINS=quintaralprobe[:screenshot.png], it reports on standard output every
// top-level window as it appears ("shown <objectName> <ms since start> <title>"), and once the
// main window has been up for a moment it saves a picture of it when a file was named and asks
// the program to quit. It gives up with exit status 3 when no main window came.
#include <QApplication>
#include <QElapsedTimer>
#include <QGenericPlugin>
#include <QPointer>
#include <QSet>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace {

constexpr int pollMs = 50;
constexpr int settleMs = 500;  // lets the main window finish its first paint before quitting
constexpr int giveUpMs = 15000;

class StartupProbe : public QObject {
  public:
    explicit StartupProbe(QString screenshot) : screenshot_(std::move(screenshot)) {
        clock_.start();
        // Created while the application object is still being set up: start polling from
        // the event loop.
        QMetaObject::invokeMethod(this, &StartupProbe::start, Qt::QueuedConnection);
    }

  private:
    void start() {
        connect(&timer_, &QTimer::timeout, this, &StartupProbe::poll);
        timer_.start(pollMs);
    }

    void poll() {
        const auto elapsed = clock_.elapsed();
        QSet<QWidget*> visible;
        const QWidgetList windows = QApplication::topLevelWidgets();
        for (QWidget* w : windows) {
            if (!w->isVisible()) continue;
            visible.insert(w);
            if (visibleBefore_.contains(w)) continue;
            std::printf("shown %s %lld %s\n", qPrintable(w->objectName()),
                        static_cast<long long>(elapsed), qPrintable(w->windowTitle()));
            std::fflush(stdout);
            if (w->objectName() == QLatin1String("MainWindow")) {
                mainWindow_ = w;
                mainShownAt_ = elapsed;
            }
        }
        visibleBefore_ = visible;
        if (mainWindow_ && elapsed - mainShownAt_ >= settleMs) {
            timer_.stop();
            if (!screenshot_.isEmpty() && !mainWindow_->grab().save(screenshot_))
                std::printf("screenshot failed %s\n", qPrintable(screenshot_));
            std::printf("quit %lld\n", static_cast<long long>(elapsed));
            std::fflush(stdout);
            QCoreApplication::quit();
        } else if (!mainWindow_ && elapsed > giveUpMs) {
            timer_.stop();
            std::printf("no main window after %lld ms\n", static_cast<long long>(elapsed));
            std::fflush(stdout);
            QCoreApplication::exit(3);
        }
    }

    QString screenshot_;
    QElapsedTimer clock_;
    QTimer timer_;
    QSet<QWidget*> visibleBefore_;
    QPointer<QWidget> mainWindow_;
    qint64 mainShownAt_ = 0;
};

}  // namespace

class StartupProbePlugin : public QGenericPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "startupprobe.json")
  public:
    QObject* create(const QString& key, const QString& parameters) override {
        if (key.compare(QLatin1String("quintaralprobe"), Qt::CaseInsensitive) != 0) return nullptr;
        return new StartupProbe(parameters);
    }
};

#include "startupprobe.moc"
