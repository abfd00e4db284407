// A scripted keyboard for tests that start the real tool: a Qt generic input
// plugin (loaded with QT_QPA_GENERIC_PLUGINS=tvxkeyscript from a folder on
// QT_PLUGIN_PATH) that types the steps of TVX_KEY_SCRIPT into the tool, as
// a keyboard would, through the window system's key path (shortcuts, menu
// mnemonics, the focus widget, the open pop-up menu).
//
// TVX_KEY_SCRIPT: steps separated by ';', run one at a time, 50 ms apart:
//   wait:TITLE  wait until the active modal window has this title and the
//               focus (10 s at most)
//   type:TEXT   type the characters of TEXT
//   paste:TEXT  put TEXT on the clipboard and press Ctrl+V: a whole path at
//               once, where typing it would open completion lists on the way
//   sleep:MS    wait MS milliseconds
//   await:FILE  wait until FILE exists (60 s at most): the test that
//               started the tool says when it has checked what it needed
//   print:NAME  write to stdout the title of the active window, then each
//               line of its list named NAME ("title: ...", "line: ...")
//   grab:FILE   save a picture of the open pop-up menu, or else of the
//               active window, as FILE (PNG)
//   KEY         one key in QKeySequence's portable form: "Alt+F", "Down", "Return"
// A key that opens a modal dialog returns only when the dialog closes; the
// next step is therefore scheduled before the key is sent, and runs from the
// dialog's own event loop. Problems go to stderr as "keyscript: ..." lines;
// with TVX_KEY_SCRIPT_TRACE set, every key and the window it went to as well.
#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGenericPlugin>
#include <QKeySequence>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstdio>

namespace {

constexpr int kStepMs = 50;
constexpr int kWaitLimitMs = 10000;
constexpr int kAwaitLimitMs = 60000;

class KeyScript : public QObject {
public:
    explicit KeyScript(QStringList steps) : steps_(std::move(steps)) { Next(); }

private:
    void Next()
    {
        QTimer::singleShot(kStepMs, this, [this] { Step(); });
    }

    static QWindow *Target()
    {
        QWidget *widget = QApplication::activePopupWidget();
        if (!widget)
            widget = QApplication::activeModalWidget();
        if (!widget)
            widget = QApplication::activeWindow();
        return widget ? widget->window()->windowHandle() : nullptr;
    }

    void Step()
    {
        if (index_ >= steps_.size())
            return;
        const QString step = steps_.at(index_);
        if (step.startsWith(QLatin1String("wait:"))) {
            const QString title = step.mid(5);
            QWidget *modal = QApplication::activeModalWidget();
            const bool shown = modal && modal->windowTitle() == title;
            // Give the window the focus back, as a window manager does when a
            // dialog above it has closed.
            if (shown && QApplication::activeWindow() != modal)
                modal->activateWindow();
            if (!shown || QApplication::activeWindow() != modal) {
                if (!waiting_.isValid())
                    waiting_.start();
                if (waiting_.elapsed() < kWaitLimitMs) {
                    Next();
                    return;
                }
                std::fprintf(stderr, "keyscript: gave up waiting for \"%s\"\n", qPrintable(title));
            }
            waiting_.invalidate();
            ++index_;
            Next();
            return;
        }
        if (step.startsWith(QLatin1String("await:"))) {
            if (!QFileInfo::exists(step.mid(6))) {
                if (!waiting_.isValid())
                    waiting_.start();
                if (waiting_.elapsed() < kAwaitLimitMs) {
                    Next();
                    return;
                }
                std::fprintf(stderr, "keyscript: gave up waiting for the file \"%s\"\n", qPrintable(step.mid(6)));
            }
            waiting_.invalidate();
            ++index_;
            Next();
            return;
        }
        if (step.startsWith(QLatin1String("sleep:"))) {
            ++index_;
            QTimer::singleShot(step.mid(6).toInt(), this, [this] { Step(); });
            return;
        }
        ++index_;
        Next();
        if (step.startsWith(QLatin1String("print:"))) {
            Print(step.mid(6));
            return;
        }
        if (step.startsWith(QLatin1String("grab:"))) {
            QWidget *shown = QApplication::activePopupWidget();
            if (!shown)
                shown = QApplication::activeWindow();
            if (!shown || !shown->grab().save(step.mid(5), "PNG"))
                std::fprintf(stderr, "keyscript: cannot grab into \"%s\"\n", qPrintable(step.mid(5)));
            return;
        }
        QWindow *window = Target();
        if (trace_)
            std::fprintf(stderr,
                         "keyscript: %s -> %s\n",
                         qPrintable(step),
                         window ? qPrintable(window->objectName() + " " + window->title()) : "none");
        if (!window) {
            std::fprintf(stderr, "keyscript: no window for \"%s\"\n", qPrintable(step));
            return;
        }
        if (step.startsWith(QLatin1String("type:"))) {
            for (const QChar c : step.mid(5))
                QTest::keyClick(window, c.toLatin1());
            return;
        }
        if (step.startsWith(QLatin1String("paste:"))) {
            QGuiApplication::clipboard()->setText(step.mid(6));
            QTest::keyClick(window, Qt::Key_V, Qt::ControlModifier);
            return;
        }
        const QKeySequence sequence = QKeySequence::fromString(step, QKeySequence::PortableText);
        if (sequence.isEmpty()) {
            std::fprintf(stderr, "keyscript: unknown key \"%s\"\n", qPrintable(step));
            return;
        }
        QTest::keyClick(window, sequence[0].key(), sequence[0].keyboardModifiers());
    }

    static void Print(const QString &name)
    {
        QWidget *window = QApplication::activeWindow();
        if (!window) {
            std::fprintf(stderr, "keyscript: no active window to print\n");
            return;
        }
        std::printf("title: %s\n", qPrintable(window->windowTitle()));
        const auto *list = window->findChild<QAbstractItemView *>(name);
        if (!list || !list->model()) {
            std::fprintf(stderr, "keyscript: no list named \"%s\"\n", qPrintable(name));
            return;
        }
        for (int row = 0; row < list->model()->rowCount(); ++row)
            std::printf("line: %s\n", qPrintable(list->model()->index(row, 0).data().toString()));
        std::fflush(stdout);
    }

    const bool trace_ = qEnvironmentVariableIsSet("TVX_KEY_SCRIPT_TRACE");
    QStringList steps_;
    qsizetype index_ = 0;
    QElapsedTimer waiting_;
};

}  // namespace

class KeyScriptPlugin : public QGenericPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "keyscript.json")
public:
    QObject *create(const QString &, const QString &) override
    {
        return new KeyScript(
            QString::fromLocal8Bit(qgetenv("TVX_KEY_SCRIPT")).split(QLatin1Char(';'), Qt::SkipEmptyParts));
    }
};

#include "KeyScriptPlugin.moc"
