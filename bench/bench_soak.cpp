// The operator soak run long by hand: ticks per second of the main window
// under the random operator, and the peak resident memory.
//   bench_soak [ticks] [seed]     (default 10^7 ticks)
#include "tests/soak/OperatorSoak.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

// The offscreen platform notes every raise() and size hint it cannot honour:
// thousands of lines an hour that would bury the figures. What Qt reports as
// critical still shows.
void OnlyCriticalNotes(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
    if (type == QtFatalMsg)
        std::abort();
}

} // namespace

int main(int argc, char **argv)
{
    qInstallMessageHandler(OnlyCriticalNotes);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // In memory where possible: some clicks write the settings at once, and a
    // disk's sync would be measured instead of the window.
    const QString base =
        QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    QTemporaryDir config(base + QStringLiteral("/kavlon-bench-soak-XXXXXX"));
    if (!config.isValid())
        return 1;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    QApplication app(argc, argv);
    const long ticks = argc > 1 ? std::atol(argv[1]) : 10'000'000L;
    const std::uint64_t seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 20261207u;

    kavlon::TKavlonMain win;
    win.show();
    win.resize(800, 600);
    QCoreApplication::processEvents();
    kavlon::soak::OperatorSoak soak(win, seed);
    const auto start = std::chrono::steady_clock::now();
    auto last = start;
    while (soak.Ticks() < ticks) {
        const std::string err = soak.Step();
        if (!err.empty()) {
            std::fprintf(stderr, "bench_soak: %s\nseed %llu, step %ld, tick %ld, after %s\n",
                         err.c_str(), static_cast<unsigned long long>(seed), soak.Steps(),
                         soak.Ticks(), soak.LastCommand().c_str());
            return 1;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now - last > std::chrono::seconds(60)) {
            last = now;
            std::printf("%ld ticks, %.0f s\n", soak.Ticks(),
                        std::chrono::duration<double>(now - start).count());
            std::fflush(stdout);
        }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("seed %llu: %ld ticks, %ld steps in %.1f s: %.0f ticks/s; peak RSS %ld KiB, "
                "now %ld KiB\n",
                static_cast<unsigned long long>(seed), soak.Ticks(), soak.Steps(), seconds,
                static_cast<double>(soak.Ticks()) / seconds, usage.ru_maxrss,
                kavlon::soak::ResidentKiB());
    return 0;
}
