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
//           ends, with workers still running.
// Not done: command-line options (the program takes none; Qt's are ignored too).
//
// Threads: the user-interface thread (the process's first thread) only.
#include <QApplication>
#include <QIcon>
#include <QPixmap>
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
constexpr int LostDisplayExitCode = 1;
constexpr const char* LostDisplayWarning = "The X11 connection broke";
constexpr const char* IconResource = ":/zarpeta/icon.png";

// ---- Module state ---------------------------------------------------------------

QtMessageHandler PreviousHandler = nullptr;
QStringList HeldBack;  // Qt's messages while the application opens

// ---- Internal helpers -----------------------------------------------------------

bool IsSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

[[noreturn]] void ReportNoDisplay() {
    const char* display = std::getenv("DISPLAY");
    if (IsSet("DISPLAY")) {
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

// The window's icon in the sizes a title bar and a task bar show; the installed
// 256 x 256 icon serves the desktop's menus. (Given the 256 x 256 image alone, the
// X window was left with an empty icon.)
void SetWindowIcon() {
    const QPixmap full(QString::fromLatin1(IconResource));
    if (full.isNull()) {
        return;
    }
    QIcon icon;
    for (int side : {16, 24, 32, 48, 64, 128}) {
        icon.addPixmap(full.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    }
    QApplication::setWindowIcon(icon);
}

}  // namespace

// ---- Public functions -----------------------------------------------------------

int main(int, char** argv) {
    if (!IsSet("DISPLAY") && !IsSet("WAYLAND_DISPLAY") && !IsSet("QT_QPA_PLATFORM")) {
        ReportNoDisplay();
    }
    QApplication::setApplicationName(QStringLiteral("zarpeta"));
    QApplication::setApplicationVersion(QStringLiteral(ZARPETA_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("zarpeta"));

    int argumentCount = 1;  // the program takes no command line, Qt's options included
    PreviousHandler = qInstallMessageHandler(&HoldBackWhileOpening);
    QApplication app(argumentCount, argv);
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
