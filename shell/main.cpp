// SPDX-License-Identifier: MIT
// The program's entry point: opens the display and the window, runs the window until
// it ends, and ends the process.
//
// Done:     one clear line on standard error and exit code 1 when start-up lacks
//           something: a usable display or platform (naming the real reason; Qt's own
//           messages about it are held back), descriptors, threads, address space,
//           colours enough, the window; the same when the display connection is lost
//           or memory runs out later; Qt's painting threads started while they can
//           be; a scale factor that gives no window that can be seen,
//           or none that fits the screen: one line and exit code 2; the window fitted
//           again when the screen changes; Qt's own
//           texts in Spanish; the text fonts made before any game; application name,
//           version and desktop file name for the desktop's window matching; the
//           window icon; the sound output; the frame hints; the pump hook; exit code
//           0 however the window ends (a stop signal closes it), with workers still
//           running; the command line read before any Qt object exists.
//
// Threads: the user-interface thread (the process's first thread) only.
#include <malloc.h>
#include <QApplication>
#include <QCoreApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QScreen>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTranslator>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <new>

#include "render/text_painters.h"
#include "runtime/pacing.h"
#include "shell/command_line.h"
#include "shell/icon_sides.h"
#include "shell/machine.h"
#include "shell/main_window.h"
#include "shell/platform.h"
#include "shell/sound.h"
#include "shell/stop_signals.h"
#include "shell/x11_frame.h"

namespace {

// ---- Constants ------------------------------------------------------------------

constexpr int StartFailedExitCode = 1;  // no display, platform, descriptors, threads or window
constexpr int LostDisplayExitCode = 1;
constexpr int OutOfMemoryExitCode = 1;
constexpr int LeastColourDepth = 15;  // bits; Qt paints nothing on fewer

// Qt's own messages, the only way to tell these cases apart.
constexpr const char* QtNoPluginMessage = "Could not find the Qt platform plugin";
constexpr const char* QtPluginFailedMessage = "Could not load the Qt platform plugin";
constexpr const char* QtLostDisplayMessage = "The X11 connection broke";

// ---- Module state ---------------------------------------------------------------

QtMessageHandler PreviousHandler = nullptr;
QStringList HeldBack;       // Qt's messages while the application opens
shell::StartOptions Start;  // Qt's options that start-up looks at

// ---- Internal helpers -----------------------------------------------------------

// Workers are detached and may still be drawing, playing cues or posting refreshes;
// running the process's destructors under them would race, so the process ends here
// and takes them with it.
[[noreturn]] void EndProcess(int code) {
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(code);
}

// One line on standard error for something start-up needs and cannot get.
[[noreturn]] __attribute__((format(printf, 1, 2))) void RefuseStart(const char* format, ...) {
    std::va_list values;
    va_start(values, format);
    std::fputs("zarpeta: ", stderr);
    std::vfprintf(stderr, format, values);
    va_end(values);
    std::fputc('\n', stderr);
    EndProcess(StartFailedExitCode);
}

[[noreturn]] void ReportNoDisplay() {
    const char* display = shell::XDisplayName(Start);
    if (display != nullptr) {
        RefuseStart("no se puede abrir la pantalla \"%s\"", display);
    }
    RefuseStart("no se puede abrir la pantalla (DISPLAY no definido)");
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
        if (message.startsWith(QLatin1String(QtNoPluginMessage))) {
            RefuseStart("Qt no tiene la plataforma gr\u00e1fica \"%s\"", qPrintable(name));
        }
        const bool failed = message.startsWith(QLatin1String(QtPluginFailedMessage));
        if (failed && name != QLatin1String("xcb") && index > 0) {
            RefuseStart("no se puede usar la plataforma gr\u00e1fica \"%s\": %s", qPrintable(name),
                        qPrintable(HeldBack[index - 1]));
        }
        if (failed) {
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
    if (message.startsWith(QLatin1String(QtLostDisplayMessage))) {
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
    for (const int32_t side : shell::IconSides) {
        icon.addFile(QStringLiteral(":/zarpeta/icons/%1.png").arg(side), QSize(side, side));
    }
    QApplication::setWindowIcon(icon);
}

// Qt's own texts (the author box's button) in Spanish, like every other word shown.
void LoadQtCatalogue(QTranslator& catalogue) {
    if (!catalogue.load(QStringLiteral("qtbase_es"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(&catalogue)) {
        std::fprintf(stderr,
                     "zarpeta: faltan las traducciones de Qt (qtbase_es); sus botones salen en "
                     "ingl\u00e9s\n");
    }
}

// Qt paints no widget on a display of fewer colours: the window would stay black.
void CheckColourDepth() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen != nullptr && screen->depth() < LeastColourDepth) {
        RefuseStart("la pantalla tiene %d bits de color; el juego necesita al menos %d",
                    screen->depth(), LeastColourDepth);
    }
}

// What a game needs of the machine, looked at before Qt starts threads of its own
// and waits for them: address space first, since a thread's stack takes some.
void CheckMachine() {
    if (!shell::EnoughAddressSpace()) {
        RefuseStart(
            "no queda espacio de direcciones para una partida, que necesita %lld MiB m\u00e1s "
            "(ulimit -v)",
            static_cast<long long>(shell::AddressSpaceNeeded >> 20));
    }
    if (const int error = shell::TryThreadsNeeded(); error != 0) {
        RefuseStart("no se pueden iniciar los %d hilos que el juego necesita: %s",
                    shell::ThreadsNeeded, shell::ThreadFailure(error));
    }
}

// Memory that runs out where nothing catches it (Qt's containers and events, under an
// address-space limit lowered while the game runs) ends the program with one line
// rather than an abort and a core; anything else still aborts.
[[noreturn]] void EndWhenOutOfMemory() {
    if (const std::exception_ptr thrown = std::current_exception()) {
        try {
            std::rethrow_exception(thrown);
        } catch (const std::bad_alloc&) {
            std::fputs("zarpeta: se ha acabado la memoria\n", stderr);
            EndProcess(OutOfMemoryExitCode);
        } catch (...) {
        }
    }
    std::abort();
}

// The window made, placed and shown, with the frame hints and the pump hook; what
// cannot be made ends start-up with one line.
std::unique_ptr<shell::MainWindowWidget> ShowMainWindow() {
    try {
        std::unique_ptr<shell::MainWindowWidget> window = shell::CreateMainWindow();
        runtime::SetPumpHook(&shell::PumpPendingEvents);
        if (!shell::CentreOnPrimaryScreen(*window)) {
            shell::RefuseScaleFactorTooLarge();
        }
        shell::PrepareFrame(*window);
        window->show();
        return window;
    } catch (const std::exception& error) {
        RefuseStart("no se puede crear la ventana: %s", error.what());
    }
}

}  // namespace

// ---- Public functions -----------------------------------------------------------

int main(int argc, char** argv) {
    // A thread's first malloc or free reserves it an arena of 64 MiB of address space;
    // every shot's worker frees its launch, so shots in flight would reserve gigabytes
    // and, under an address-space limit, starve the window. Two arenas serve them all.
    mallopt(M_ARENA_MAX, 2);
    std::set_terminate(&EndWhenOutOfMemory);
    // On X11 a repaint is a few thousand pixels a tick. Through shared memory Qt asks
    // the server for a round trip before each paint, which wakes two threads a frame;
    // sent in the request they cost less than that wait. Qt looks only at whether the
    // variable is set, so any value the user gives it, 0 too, keeps shared memory off.
    setenv("QT_XCB_NO_MITSHM", "1", 0);
    Start = shell::ReadCommandLine(argc, argv);
    shell::CheckScaleFactor();
    if (!shell::AnyDisplayNamed(Start)) {
        ReportNoDisplay();
    }
    if (!shell::EnoughDescriptors() || !shell::CatchStopSignals()) {
        RefuseStart("no se pueden abrir los %d archivos que el juego necesita a la vez (ulimit -n)",
                    shell::DescriptorsNeeded);
    }
    CheckMachine();
    shell::ChoosePlatform(Start);
    QApplication::setApplicationName(QStringLiteral("zarpeta"));
    QApplication::setApplicationVersion(QStringLiteral(ZARPETA_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral(ZARPETA_DESKTOP_ID));

    PreviousHandler = qInstallMessageHandler(&HoldBackWhileOpening);
    QApplication app(argc, argv);  // takes Qt's options out of the arguments
    CheckColourDepth();            // before Qt's held-back messages: a refusal is one line
    if (!shell::KeepPaintingThreads()) {
        RefuseStart("no se pueden iniciar los hilos de pintado de Qt");
    }
    OpenedSoReplay();
    QTranslator catalogue;
    LoadQtCatalogue(catalogue);

    SetWindowIcon();
    // Made now, while memory is plentiful: an end screen never waits on the font matcher.
    if (!render::MakeTextFonts()) {
        std::fprintf(stderr,
                     "zarpeta: falta un tipo de letra; el juego se muestra sin sus textos\n");
    }
    const std::unique_ptr<shell::MainWindowWidget> window = ShowMainWindow();
    shell::StartSound();  // after a refused scale, which is one line; before any click
    shell::KeepFrameCentred(*window);
    shell::RefitOnScreenChanges(*window);
    shell::EndWhenDestroyedFromOutside(*window);
    shell::CloseOnStopSignal(*window);
    EndProcess(QApplication::exec());
}
