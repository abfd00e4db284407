// Start-up time: from main() to the main window shown with the device open
// on the simulator, beside an empty QDialog shown by the same build, each
// started as a fresh process in turn, in the same run. A dialog with one line
// of text is timed beside them: an empty dialog never reads the font
// configuration nor draws a glyph, which any window with text does first.
//   bench_startup [RUNS]          all three, RUNS times each (20) after one
//                                 start of each not counted: the medians and
//                                 the main window's ratios to the others
//   bench_startup dialog|empty|text   one start: prints its milliseconds and exits
// Run it under the platform to measure, at the screen depth of a desktop:
// xvfb-run -s "-screen 0 1280x800x24" bench_startup (Xvfb's default 8-bit
// screen slows the empty dialog's first frame). With TVX_START_MARKS set, a
// single start writes the time of each of its steps to stderr.
#include "app/CControlMonitorApp.h"
#include "app/CControlMonitorDlg.h"
#include "app/StartupMarks.h"
#include "app/StartupWarmUp.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

// Single starts on a shared machine vary by a third; twenty keep the median
// ratio within a few hundredths from run to run.
constexpr int kDefaultRuns = 20;

// One start of program in mode: its milliseconds, or none if it failed.
std::optional<double> StartOnce(const std::string &program, const char *mode)
{
    const std::string command = "'" + program + "' " + mode;
    FILE *child = popen(command.c_str(), "r");
    if (!child)
        return std::nullopt;
    double ms = 0;
    const bool read = std::fscanf(child, "%lf", &ms) == 1;
    const bool ended = pclose(child) == 0;
    if (!read || !ended)
        return std::nullopt;
    return ms;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

int Compare(int runs)
{
    std::error_code error;
    const std::string self = std::filesystem::read_symlink("/proc/self/exe", error).string();
    if (error || self.find('\'') != std::string::npos) {
        std::fprintf(stderr, "bench_startup: cannot name its own executable\n");
        return 1;
    }
    std::vector<double> empty;
    std::vector<double> text;
    std::vector<double> dialog;
    // One of each in turn, so that both see the same load of the machine;
    // the first pair (files read from disk, the display server's first
    // clients) is not counted.
    for (int i = -1; i < runs; ++i) {
        const std::optional<double> e = StartOnce(self, "empty");
        const std::optional<double> t = StartOnce(self, "text");
        const std::optional<double> d = StartOnce(self, "dialog");
        if (!e || !t || !d) {
            std::fprintf(stderr, "bench_startup: a start failed\n");
            return 1;
        }
        if (i < 0)
            continue;
        empty.push_back(*e);
        text.push_back(*t);
        dialog.push_back(*d);
    }
    const double e = Median(empty);
    const double t = Median(text);
    const double d = Median(dialog);
    std::printf("empty QDialog shown after %.1f ms (median of %d)\n", e, runs);
    std::printf("QDialog with one line of text shown after %.1f ms (median of %d)\n", t, runs);
    std::printf("main window with the device open shown after %.1f ms (median of %d)\n", d, runs);
    std::printf("ratio %.2f\n", d / e);
    std::printf("ratio to the dialog with text %.2f\n", d / t);
    return 0;
}

enum class Kind {
    Empty,
    Text,
    Main
};

int ShowOnce(int argc, char **argv, Kind kind)
{
    QElapsedTimer timer;
    timer.start();
    tvx::StartupMark("main");
    // The main window starts as the tool's main() starts it; the others as
    // a plain program would.
    const bool main = kind == Kind::Main;
    std::optional<tvx::StartupWarmUp> warmUp;
    if (main)
        warmUp.emplace();
    std::unique_ptr<QApplication> app =
        main ? std::make_unique<CControlMonitorApp>(argc, argv) : std::make_unique<QApplication>(argc, argv);
    tvx::StartupMark("application");
    if (warmUp)
        warmUp->ApplicationReady();
    std::unique_ptr<QDialog> dialog;
    if (main) {
        dialog = std::make_unique<CControlMonitorDlg>();
    } else {
        dialog = std::make_unique<QDialog>();
        if (kind == Kind::Text)
            new QLabel(QStringLiteral("Events Monitor"), dialog.get());
    }
    tvx::StartupMark("window built");
    dialog->show();
    tvx::StartupMark("shown");
    const bool exposed = QTest::qWaitForWindowExposed(dialog.get(), 5000);
    const double ms = timer.nsecsElapsed() / 1e6;
    tvx::StartupMark("exposed: the first frame drawn");
    if (warmUp)
        warmUp->Finish();
    if (!exposed) {
        std::fprintf(stderr, "window not exposed\n");
        return 1;
    }
    std::printf("%.2f ms\n", ms);
    return 0;
}

}  // namespace

int main(int argc, char **argv)
{
    static constexpr struct {
        const char *word;
        Kind kind;
    } kKinds[] = {{"empty", Kind::Empty}, {"text", Kind::Text}, {"dialog", Kind::Main}};
    for (const auto &k : kKinds)
        if (argc > 1 && std::strcmp(argv[1], k.word) == 0)
            return ShowOnce(argc, argv, k.kind);
    const int runs = argc > 1 ? std::atoi(argv[1]) : kDefaultRuns;
    if (runs <= 0) {
        std::fprintf(stderr, "usage: bench_startup [RUNS] | dialog | empty | text\n");
        return 2;
    }
    return Compare(runs);
}
