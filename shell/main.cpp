// SPDX-License-Identifier: MIT
// The program's entry point: opens the display and the window, runs the window until
// it ends, and ends the process.
//
// Done:     one clear line on standard error and exit code 1 when there is no usable
//           display or platform, naming the real reason (Qt's own messages about it
//           are held back), and when the display connection is lost later; the text
//           fonts made before any game; application name, version and desktop file
//           name for the desktop's window matching; the window icon; the sound
//           output; the frame hints; the pump hook; exit code 0 however the window
//           ends, with workers still running; --help and --version without a
//           display, exit code 2 and the usage for anything else the program does
//           not know, Qt's own options (-platform, -display...) passed on to Qt.
//
// Threads: the user-interface thread (the process's first thread) only.
#include <malloc.h>
#include <QApplication>
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QIcon>
#include <QSize>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <cstdlib>

#include "render/text_painters.h"
#include "runtime/pacing.h"
#include "shell/main_window.h"
#include "shell/sound.h"
#include "shell/x11_frame.h"

namespace {

// ---- Constants ------------------------------------------------------------------

constexpr int NoDisplayExitCode = 1;
constexpr int UsageExitCode = 2;
constexpr int LostDisplayExitCode = 1;
constexpr const char* LostDisplayWarning = "The X11 connection broke";
constexpr int IconSides[] = {16, 22, 24, 32, 48, 64, 128, 256};  // px, as embedded

// ---- Module state ---------------------------------------------------------------

QtMessageHandler PreviousHandler = nullptr;
QStringList HeldBack;      // Qt's messages while the application opens
QByteArray DisplayOption;  // the value of -display, which Qt prefers to $DISPLAY

// ---- Internal helpers -----------------------------------------------------------

bool IsSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

[[noreturn]] void ReportNoDisplay() {
    const char* display = DisplayOption.isEmpty() ? std::getenv("DISPLAY") : DisplayOption.data();
    if (display != nullptr && *display != '\0') {
        std::fprintf(stderr, "zarpeta: no se puede abrir la pantalla \"%s\"\n", display);
    } else {
        std::fprintf(stderr, "zarpeta: no se puede abrir la pantalla (DISPLAY no definido)\n");
    }
    std::fflush(stderr);
    std::_Exit(NoDisplayExitCode);
}

// Workers are detached and may still be drawing, playing cues or posting refreshes;
// running the process's destructors under them would race, so the process ends here
// and takes them with it.
[[noreturn]] void EndProcess(int code) {
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(code);
}

// The quoted name in one of Qt's messages about a platform plugin, empty for none.
QString QuotedName(const QString& message) {
    const qsizetype open = message.indexOf(QLatin1Char('"'));
    const qsizetype close = message.indexOf(QLatin1Char('"'), open + 1);
    return open < 0 || close < 0 ? QString() : message.mid(open + 1, close - open - 1);
}

// Qt tries each platform in turn: for one it has no plugin for it says so; for one
// whose plugin cannot start, the plugin's own reason comes just before Qt's "could
// not load". The real reason is the last platform tried; an X display that cannot be
// opened keeps its own wording.
[[noreturn]] void ReportUnusablePlatform() {
    for (qsizetype index = HeldBack.size() - 1; index >= 0; --index) {
        const QString& message = HeldBack[index];
        const QString name = QuotedName(message);
        if (message.startsWith(QLatin1String("Could not find the Qt platform plugin"))) {
            std::fprintf(stderr, "zarpeta: Qt no tiene la plataforma gr\u00e1fica \"%s\"\n",
                         qPrintable(name));
            EndProcess(NoDisplayExitCode);
        }
        if (message.startsWith(QLatin1String("Could not load the Qt platform plugin")) &&
            name != QLatin1String("xcb") && index > 0) {
            std::fprintf(stderr,
                         "zarpeta: no se puede usar la plataforma gr\u00e1fica \"%s\": %s\n",
                         qPrintable(name), qPrintable(HeldBack[index - 1]));
            EndProcess(NoDisplayExitCode);
        }
        if (message.startsWith(QLatin1String("Could not load the Qt platform plugin"))) {
            break;
        }
    }
    ReportNoDisplay();
}

// Qt reports a display it cannot open with a few warnings and then a fatal message
// that aborts; the warnings are held back and the fatal one becomes one clear line.
void HoldBackWhileOpening(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg) {
        ReportUnusablePlatform();
    }
    HeldBack.append(message);
}

// Qt's X platform reports a lost display connection with this warning and then calls
// exit(1), whose static destructors would run under the workers still drawing and
// playing; the process ends here instead, with one line of its own.
void EndWhenDisplayLost(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QLatin1String(LostDisplayWarning))) {
        std::fprintf(stderr, "zarpeta: se ha perdido la conexi\u00f3n con la pantalla\n");
        EndProcess(LostDisplayExitCode);
    }
    if (PreviousHandler != nullptr) {
        PreviousHandler(type, context, message);
    }
}

void OpenedSoReplay() {
    qInstallMessageHandler(&EndWhenDisplayLost);
    for (const QString& message : HeldBack) {
        std::fprintf(stderr, "%s\n", qPrintable(message));
    }
    HeldBack.clear();
}

// The window's icon in each size it was drawn in, for the title bar, the task bar
// and the switcher; the same images are installed for the desktop's menus.
void SetWindowIcon() {
    QIcon icon;
    for (int side : IconSides) {
        icon.addFile(QStringLiteral(":/zarpeta/icons/%1.png").arg(side), QSize(side, side));
    }
    QApplication::setWindowIcon(icon);
}

// ---- Command line ---------------------------------------------------------------

// Qt's own options, recognised here only so that they are not refused; QApplication
// reads them from the untouched argument vector. The first ones take a value.
constexpr const char* QtValueOptions[] = {
    "platform",        "display",     "platformpluginpath", "platformtheme", "plugin",
    "qwindowgeometry", "qwindowicon", "qwindowtitle",       "geometry",      "session",
    "style",           "stylesheet",  "qmljsdebugger",
};
constexpr const char* QtFlagOptions[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

struct CommandLine {
    QCommandLineParser parser;
    QCommandLineOption help{{"h", "help", "?"}, QStringLiteral("Muestra esta ayuda y termina.")};
    QCommandLineOption version{{"v", "version"}, QStringLiteral("Muestra la versión y termina.")};
};

void DescribeOptions(CommandLine& line) {
    QCommandLineParser& parser = line.parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QStringLiteral(
        "Juego de arcade: derriba el muro de bloques antes de que la barra crezca."));
    parser.addOption(line.help);
    parser.addOption(line.version);
    for (const char* name : QtValueOptions) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("valor"));
        if (option.names().first() == QLatin1String("platform")) {
            option.setDescription(QStringLiteral("Plataforma de Qt (xcb, wayland, offscreen...)."));
            option.setValueName(QStringLiteral("nombre"));
        } else if (option.names().first() == QLatin1String("display")) {
            option.setDescription(QStringLiteral("Pantalla X11 que abrir, p. ej. :0."));
            option.setValueName(QStringLiteral("pantalla"));
        } else {
            option.setFlags(QCommandLineOption::HiddenFromHelp);
        }
        parser.addOption(option);
    }
    for (const char* name : QtFlagOptions) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

// The usage names the program, which takes an application object; a core one opens
// no display.
QString Usage(const QCommandLineParser& parser) {
    char name[] = "zarpeta";
    char* arguments[] = {name, nullptr};
    int count = 1;
    const QCoreApplication core(count, arguments);
    return parser.helpText();
}

// Handles the options that end the program before any window: help, version and
// anything not understood. Returns when the game should start.
void ParseCommandLine(int argc, char** argv, CommandLine& line) {
    DescribeOptions(line);
    QStringList arguments;
    for (int index = 0; index < argc; ++index) {
        arguments.append(QString::fromLocal8Bit(argv[index]));
    }
    QString error;
    if (!line.parser.parse(arguments)) {
        const QStringList unknown = line.parser.unknownOptionNames();
        error = unknown.isEmpty() ? line.parser.errorText()
                                  : QStringLiteral("opción desconocida: ") + unknown.first();
    } else if (!line.parser.positionalArguments().isEmpty()) {
        error =
            QStringLiteral("argumento inesperado: ") + line.parser.positionalArguments().first();
    }
    if (!error.isEmpty()) {
        std::fprintf(stderr, "zarpeta: %s\n%s", qPrintable(error), qPrintable(Usage(line.parser)));
        EndProcess(UsageExitCode);
    }
    if (line.parser.isSet(line.help)) {
        std::fputs(qPrintable(Usage(line.parser)), stdout);
        EndProcess(0);
    }
    if (line.parser.isSet(line.version)) {
        std::printf("zarpeta %s\n", ZARPETA_VERSION);
        EndProcess(0);
    }
}

}  // namespace

// ---- Public functions -----------------------------------------------------------

int main(int argc, char** argv) {
    // A thread's first malloc or free reserves it an arena of 64 MiB of address space;
    // every shot's worker frees its launch, so shots in flight would reserve gigabytes
    // and, under an address-space limit, starve the window. Two arenas serve them all.
    mallopt(M_ARENA_MAX, 2);
    // On X11 a repaint is a few thousand pixels a tick. Through shared memory Qt asks
    // the server for a round trip before each paint, which wakes two threads a frame;
    // sent in the request they cost less than that wait. A value the user set stays.
    setenv("QT_XCB_NO_MITSHM", "1", 0);
    CommandLine line;
    ParseCommandLine(argc, argv, line);
    DisplayOption = line.parser.value(QStringLiteral("display")).toLocal8Bit();
    const bool displayGiven =
        !DisplayOption.isEmpty() || line.parser.isSet(QStringLiteral("platform"));
    if (!displayGiven && !IsSet("DISPLAY") && !IsSet("WAYLAND_DISPLAY") &&
        !IsSet("QT_QPA_PLATFORM")) {
        ReportNoDisplay();
    }
    QApplication::setApplicationName(QStringLiteral("zarpeta"));
    QApplication::setApplicationVersion(QStringLiteral(ZARPETA_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral(ZARPETA_DESKTOP_ID));

    PreviousHandler = qInstallMessageHandler(&HoldBackWhileOpening);
    QApplication app(argc, argv);  // takes Qt's options out of the arguments
    OpenedSoReplay();

    SetWindowIcon();
    // Made now, while memory is plentiful: an end screen never waits on the font matcher.
    if (!render::MakeTextFonts()) {
        std::fprintf(stderr,
                     "zarpeta: falta un tipo de letra; el juego se muestra sin sus textos\n");
    }
    shell::StartSound();
    const std::unique_ptr<shell::MainWindowWidget> window = shell::CreateMainWindow();
    runtime::SetPumpHook(&shell::PumpPendingEvents);
    shell::CentreOnPrimaryScreen(*window);
    shell::PrepareFrame(*window);
    window->show();
    shell::KeepFrameCentred(*window);
    shell::EndWhenDestroyedFromOutside(*window);
    EndProcess(QApplication::exec());
}
