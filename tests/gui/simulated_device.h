#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QProcess>
#include <string>
#include <vector>

namespace marelos {

// A simulated dive computer from tools/simulators ("vyper" or "kora", with its memory image) on
// a pseudo-terminal, for as long as the test runs; `device` is the pty's path, empty when the
// simulator did not start.
class SimulatedDevice {
  public:
    explicit SimulatedDevice(const QString& name, const QStringList& options = {}) {
        const QString folder = MARELOS_SOURCE_DIR "/tools/simulators/" + name;
        process_.start("python3",
                       QStringList{folder + "_sim.py", folder + "_image.json"} + options);
        if (process_.waitForReadyRead(5000))
            device = QString::fromUtf8(process_.readLine()).trimmed().toStdString();
    }
    ~SimulatedDevice() {
        process_.kill();
        process_.waitForFinished();
    }
    std::string device;

  private:
    QProcess process_;
};

inline std::vector<std::string> Items(const QListWidget* list) {
    std::vector<std::string> items;
    for (int i = 0; i < list->count(); ++i)
        items.push_back(list->item(i)->text().toStdString());
    return items;
}

// Lets the windows work until `done` holds, for at most `limitMs`.
template <typename Done>
bool RunUntil(Done done, int limitMs = 20000) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < limitMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

}  // namespace marelos
