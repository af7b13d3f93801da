// Reports when the first window has painted, then ends the process: linked once with the
// program's own application object and once with a bare Qt dialog, so the two start-ups can be
// compared in one run.
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace {

class FirstPaintProbe final : public QObject {
  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (event->type() == QEvent::Paint && widget != nullptr && widget->isWindow()) {
            // Let the paint happen first; report on the next turn of the event loop.
            QMetaObject::invokeMethod(
                qApp,
                [] {
                    timespec now{};
                    clock_gettime(CLOCK_MONOTONIC, &now);
                    std::printf("painted %lld.%09ld\n", static_cast<long long>(now.tv_sec),
                                now.tv_nsec);
                    std::fflush(stdout);
                    std::_Exit(0);
                },
                Qt::QueuedConnection);
        }
        return false;
    }
};

void InstallProbe() {
    qApp->installEventFilter(new FirstPaintProbe());
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallProbe)
