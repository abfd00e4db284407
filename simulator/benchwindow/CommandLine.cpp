#include "simulator/benchwindow/CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include <array>
#include <string_view>

namespace tvxsim::bench {
namespace {

constexpr char kName[] = "tvxsim-panel";
constexpr char kVersion[] = TVX_VERSION;

// The options that Qt's application classes take out of the command line
// themselves (the platform, X11 and widget options): accepted here, unlisted.
struct QtOption {
    std::string_view name;
    bool takesValue;
};

constexpr std::array kQtOptions = std::to_array<QtOption>({
    {"platform", true},
    {"platformpluginpath", true},
    {"platformtheme", true},
    {"plugin", true},
    {"qwindowgeometry", true},
    {"qwindowicon", true},
    {"qwindowtitle", true},
    {"reverse", false},
    {"session", true},
    {"testability", false},
    {"qmljsdebugger", true},
    {"display", true},
    {"geometry", true},
    {"title", true},
    {"icon", true},
    {"name", true},
    {"visual", true},
    {"sync", false},
    {"nograb", false},
    {"dograb", false},
    {"style", true},
    {"stylesheet", true},
    {"widgetcount", false},
});

QString ProgramName(const QStringList &arguments)
{
    const QString called = arguments.isEmpty() ? QString() : QFileInfo(arguments.first()).fileName();
    return called.isEmpty() ? QString::fromLatin1(kName) : called;
}

}  // namespace

void NameTheApplication()
{
    QCoreApplication::setApplicationName(QString::fromLatin1(kName));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(kVersion));
}

CommandLineAnswer ReadCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QCoreApplication::translate(
        "CommandLine",
        "The bench window of the simulated Parlino USB adapter: the handset, the adapter and the far end at hand."));
    // Qt's options are single words after one dash ("-platform xcb").
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    for (const QtOption &qt : kQtOptions) {
        QCommandLineOption option(QString::fromLatin1(qt.name.data(), qsizetype(qt.name.size())));
        if (qt.takesValue)
            option.setValueName(QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }

    CommandLineAnswer answer;
    const QString program = ProgramName(arguments);
    if (!parser.parse(arguments.isEmpty() ? QStringList{program} : arguments)) {
        answer.exitCode = 1;
        answer.err = QStringLiteral("%1: %2\nTry '%1 --help'.\n").arg(program, parser.errorText());
        return answer;
    }
    const bool helpAll = parser.isSet(QStringLiteral("help-all"));
    if (parser.isSet(help) || helpAll) {
        // The parser's usage line names the program only through an
        // application, which there is none of yet: it is written here.
        answer.out = parser.helpText();
        answer.out.replace(0, answer.out.indexOf(u'\n'), QStringLiteral("Usage: %1 [options]").arg(program));
        if (helpAll) {
            answer.out += QStringLiteral("\nQt's own options, taken when the window opens:\n");
            for (const QtOption &qt : kQtOptions)
                answer.out += QStringLiteral("  -%1%2\n")
                                  .arg(QLatin1String(qt.name.data(), qsizetype(qt.name.size())),
                                       qt.takesValue ? QStringLiteral(" <value>") : QString());
        }
        return answer;
    }
    if (parser.isSet(version)) {
        answer.out = QStringLiteral("%1 %2\n").arg(QString::fromLatin1(kName), QString::fromLatin1(kVersion));
        return answer;
    }
    if (!parser.positionalArguments().isEmpty()) {
        answer.exitCode = 1;
        answer.err = QStringLiteral("%1: takes no arguments: '%2'\nTry '%1 --help'.\n")
                         .arg(program, parser.positionalArguments().first());
        return answer;
    }
    answer.openWindow = true;
    return answer;
}

}  // namespace tvxsim::bench
