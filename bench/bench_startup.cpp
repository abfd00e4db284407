// Start-up time: from main() to the main window shown with the device open
// on the simulator, beside an empty QDialog shown by the same build, each
// started as a fresh process in turn, in the same run. A dialog with one line
// of text is timed beside them: an empty dialog never reads the font
// configuration nor draws a glyph, which any window with text does first.
// So is the main window's frame alone: its menu bar, controls and first log
// lines with no device and none of the tool's parts, what the toolkit spends
// on that first frame whatever the tool does around it.
//   bench_startup [RUNS]          each kind RUNS times (20) after one start
//                                 of each not counted: the medians and the
//                                 main window's ratios to the others
//   bench_startup empty|text|frame|dialog   one start: prints its
//                                 milliseconds and exits
// Run it under the platform to measure, at the screen depth of a desktop:
// xvfb-run -s "-screen 0 1280x800x24" bench_startup (Xvfb's default 8-bit
// screen slows the empty dialog's first frame). With TVX_START_MARKS set, a
// single start writes the time of each of its steps to stderr.
#include "app/CControlMonitorApp.h"
#include "app/CControlMonitorDlg.h"
#include "app/StartupMarks.h"
#include "app/StartupWarmUp.h"
#include "log/EventLog.h"
#include "res/DialogBuilder.h"
#include "res/MainDialogIds.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QTest>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

enum class Kind {
    Empty,
    Text,
    Frame,
    Main
};

// One row per kind of start, in the order each round starts them.
struct KindRow {
    const char *word;  // its argument for one start
    const char *what;  // how the results name it
    Kind kind;
    bool asTheTool;  // started as the tool's main() starts it, not as a plain program
};

constexpr KindRow kKinds[] = {
    {"empty", "empty QDialog", Kind::Empty, false},
    {"text", "QDialog with one line of text", Kind::Text, false},
    {"frame", "main window's frame, no device", Kind::Frame, true},
    {"dialog", "main window with the device open", Kind::Main, true},
};

// Single starts on a shared machine vary by a third; twenty keep the median
// ratio within a few hundredths from run to run.
constexpr int kDefaultRuns = 20;

struct Start {
    double fromMain = 0;    // what the start printed: main() to the first frame
    double fromLaunch = 0;  // from before the launch until that line came
};

// One start of program in mode, or none if it failed.
std::optional<Start> StartOnce(const std::string &program, const char *mode)
{
    const std::string command = "'" + program + "' " + mode;
    const auto launched = std::chrono::steady_clock::now();
    FILE *child = popen(command.c_str(), "r");
    if (!child)
        return std::nullopt;
    Start start;
    const bool read = std::fscanf(child, "%lf", &start.fromMain) == 1;
    start.fromLaunch = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - launched).count();
    const bool ended = pclose(child) == 0;
    if (!read || !ended)
        return std::nullopt;
    return start;
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
    struct Timed {
        const KindRow *row = nullptr;
        std::vector<double> fromMain, fromLaunch;
    };
    std::array<Timed, std::size(kKinds)> kinds;
    for (size_t k = 0; k < kinds.size(); ++k)
        kinds[k].row = &kKinds[k];
    // One of each in turn, so that all see the same load of the machine;
    // the first round (files read from disk, the display server's first
    // clients) is not counted.
    for (int i = -1; i < runs; ++i) {
        for (Timed &kind : kinds) {
            const std::optional<Start> start = StartOnce(self, kind.row->word);
            if (!start) {
                std::fprintf(stderr, "bench_startup: a start failed\n");
                return 1;
            }
            if (i < 0)
                continue;
            kind.fromMain.push_back(start->fromMain);
            kind.fromLaunch.push_back(start->fromLaunch);
        }
    }
    // From main(), as the ratio counts; from the launch, as a user waits
    // (the libraries' loading before main() included).
    for (const Timed &kind : kinds)
        std::printf("%s shown after %.1f ms (median of %d), %.1f ms after its launch\n",
                    kind.row->what,
                    Median(kind.fromMain),
                    runs,
                    Median(kind.fromLaunch));
    const auto median = [&kinds](Kind kind) {
        for (const Timed &timed : kinds)
            if (timed.row->kind == kind)
                return Median(timed.fromMain);
        return 0.0;
    };
    const double e = median(Kind::Empty);
    const double t = median(Kind::Text);
    const double f = median(Kind::Frame);
    const double d = median(Kind::Main);
    std::printf("ratio %.2f\n", d / e);
    std::printf("ratio to the dialog with text %.2f\n", d / t);
    std::printf("ratio to its frame alone %.2f (the frame alone: %.2f of the empty dialog)\n", d / f, f / e);
    return 0;
}

// The main window's frame with what its first frame shows once the device
// is open: the five lines the open writes and the serial number.
std::unique_ptr<QDialog> MainWindowFrame()
{
    auto dialog = std::make_unique<QDialog>();
    CControlMonitorDlg::BuildWindow(*dialog);
    auto *log = new tvx::EventLog(dialog.get());
    log->Attach(tvx::res::Control<QListView>(dialog.get(), tvx::kIdEventLog));
    for (const char *line : {"Device SN: TVX-PLN-000-00012345-A",
                             "Device firmware version: 4.53.18",
                             "Device Name: Parlino USB (simulated)",
                             "tvxUSB DLL version 3",
                             "Tone monitor armed, 16 tones"})
        log->Insert(line);
    tvx::res::Control<QLineEdit>(dialog.get(), tvx::kIdSerialNumber)->setText("TVX-PLN-000-00012345-A");
    return dialog;
}

int ShowOnce(int argc, char **argv, const KindRow &row)
{
    QElapsedTimer timer;
    timer.start();
    tvx::StartupMark("main");
    std::optional<tvx::StartupWarmUp> warmUp;
    if (row.asTheTool)
        warmUp.emplace();
    std::unique_ptr<QApplication> app =
        row.asTheTool ? std::make_unique<CControlMonitorApp>(argc, argv) : std::make_unique<QApplication>(argc, argv);
    tvx::StartupMark("application");
    if (warmUp)
        warmUp->ApplicationReady();
    std::unique_ptr<QDialog> dialog;
    switch (row.kind) {
    case Kind::Empty:
        dialog = std::make_unique<QDialog>();
        break;
    case Kind::Text:
        dialog = std::make_unique<QDialog>();
        new QLabel(QStringLiteral("Events Monitor"), dialog.get());
        break;
    case Kind::Frame:
        dialog = MainWindowFrame();
        break;
    case Kind::Main:
        dialog = std::make_unique<CControlMonitorDlg>();
        break;
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
    std::fflush(stdout);  // the parent takes its time at this line
    return 0;
}

}  // namespace

int main(int argc, char **argv)
{
    for (const KindRow &row : kKinds)
        if (argc > 1 && std::strcmp(argv[1], row.word) == 0)
            return ShowOnce(argc, argv, row);
    const int runs = argc > 1 ? std::atoi(argv[1]) : kDefaultRuns;
    if (runs <= 0) {
        std::fprintf(stderr, "usage: bench_startup [RUNS]");
        for (const KindRow &row : kKinds)
            std::fprintf(stderr, " | %s", row.word);
        std::fprintf(stderr, "\n");
        return 2;
    }
    return Compare(runs);
}
