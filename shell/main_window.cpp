// SPDX-License-Identifier: MIT
// The main window, its menu and the three commands.
#include "shell/main_window.h"

#include <QAbstractEventDispatcher>
#include <QAbstractNativeEventFilter>
#include <QAction>
#include <QBackingStore>
#include <QByteArray>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QWindow>

#include <algorithm>
#include <string_view>
#include <utility>

#include "game/commands.h"
#include "game/layout.h"
#include "game/state.h"
#include "render/painters.h"
#include "render/surface.h"
#include "render/text_painters.h"
#include "runtime/workers.h"
#include "shell/accessibility.h"
#include "shell/graphic_control.h"
#include "shell/play_geometry.h"
#include "shell/qt_host.h"

namespace shell {

// ---- Constants ------------------------------------------------------------------

// The X11 core protocol's DestroyNotify event, as Qt's X platform hands it over.
struct X11DestroyNotify {
    uint8_t ResponseType;  // 17; the top bit set when another client sent it
    uint8_t Unused;
    uint16_t Sequence;
    uint32_t Event;
    uint32_t Window;  // the window destroyed
};
constexpr uint8_t X11DestroyNotifyCode = 17;

namespace {

// ---- Types ----------------------------------------------------------------------

// Watches the X events Qt receives for the destruction of one window.
class WindowGoneFilter final : public QAbstractNativeEventFilter {
  public:
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override;
    uint32_t Watched = 0;  // the X window id, 0 for none
};

// ---- Module state ---------------------------------------------------------------

bool Pumping = false;  // the pump hook is running; user-interface thread only
WindowGoneFilter GoneFilter;

// ---- Internal helpers -----------------------------------------------------------

QString Utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

bool WindowGoneFilter::nativeEventFilter(const QByteArray& type, void* message, qintptr*) {
    if (Watched != 0 && type == "xcb_generic_event_t") {
        const auto* event = static_cast<const X11DestroyNotify*>(message);
        if ((event->ResponseType & 0x7F) == X11DestroyNotifyCode && event->Window == Watched) {
            QCoreApplication::exit(0);
        }
    }
    return false;
}

// Selects the menu bar, or leaves it, as Alt does. Qt gives no call for the bar's
// keyboard selection: the bar enters it when Alt is pressed and let go alone, and
// leaves it on the next, so it is given an Alt in the order the keyboard gives one:
// the shortcut check, the press, the release.
void SelectMenuBar(QMenuBar& bar) {
    QWidget* window = bar.window();
    for (auto [type, modifiers] : {std::pair{QEvent::ShortcutOverride, Qt::AltModifier},
                                   {QEvent::KeyPress, Qt::AltModifier},
                                   {QEvent::KeyRelease, Qt::NoModifier}}) {
        QKeyEvent alt(type, Qt::Key_Alt, modifiers);
        QCoreApplication::sendEvent(window, &alt);
    }
}

QMenuBar* BuildMainMenu(QWidget* window, QAction*& newAction) {
    auto* bar = new QMenuBar(window);
    bar->setNativeMenuBar(false);
    QMenu* functions = bar->addMenu(Utf8(FunctionsTitle));
    for (const MenuItem& item : FunctionItems) {
        QAction* action = functions->addAction(Utf8(item.Text));
        action->setData(item.Id);
        if (item.Id == IdNew) {
            newAction = action;
        }
    }
    QObject::connect(functions, &QMenu::triggered,
                     [](QAction* action) { RunCommand(action->data().toInt()); });
    return bar;
}

}  // namespace

// ---- Public functions -----------------------------------------------------------

MainWindowWidget::MainWindowWidget()
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setWindowTitle(QStringLiteral("Zarpeta"));
    setFixedSize(game::PlayAreaWidth, game::PlayAreaHeight);
    Play = new GraphicControl(this);
    Menu = BuildMainMenu(this, New);
    // The menu bar takes its height from the client area: the play area starts under
    // it and its lowest rows, as many as the bar is high, fall outside the window.
    Menu->setGeometry(0, 0, game::PlayAreaWidth, Menu->sizeHint().height());
    Play->move(0, Menu->height());
}

QSize MainWindowWidget::FitInto(QSize room) {
    const int32_t menu = Menu->height();
    const double ratio = devicePixelRatioF();
    const PlayGeometry play = FitPlayArea(ratio, room, menu);
    const QSize client(play.Widget.width(), menu + play.ShownHeight);
    Play->ShowAt(play, ratio);
    Menu->resize(play.Widget.width(), menu);
    setFixedSize(client);
    // Also when the limits stay as they were: the size Qt holds may be an older one
    // that the window manager reported late.
    resize(client);
    // After a new device pixel ratio Qt keeps the X window's device pixels and the
    // buffer it paints in, as the size in window pixels stays: both are made anew.
    QWindow* handle = windowHandle();
    if (handle != nullptr && ratio != FittedRatio) {
        handle->resize(client);
        if (QBackingStore* buffer = backingStore()) {
            buffer->resize(client);
        }
        update();
    }
    FittedRatio = ratio;
    return client;
}

void MainWindowWidget::keyPressEvent(QKeyEvent* event) {
    // F10 selects the menu bar as Alt does; Down or Enter then opens "Funciones". Held
    // down it repeats, which would select and leave the bar in turn.
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() != Qt::Key_F10 || modifiers != Qt::NoModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (!event->isAutoRepeat()) {
        SelectMenuBar(*Menu);
    }
    event->accept();
}

void MainWindowWidget::closeEvent(QCloseEvent* event) {
    // A close request from the window manager ends the program, like "Salir" but
    // leaving the bar worker's handle alone. Open author boxes do not keep it alive.
    event->accept();
    QCoreApplication::exit(0);
}

std::unique_ptr<MainWindowWidget> CreateMainWindow() {
    InstallAccessibleRoles();  // before Qt makes the widgets' interfaces
    auto window = std::make_unique<MainWindowWidget>();
    InstallQtHost(window->NewAction());
    return window;
}

QPoint CentredPosition(QRect workArea, QSize outer) {
    // The work area's right and bottom edges are excluded, as the desktop counts them.
    const int32_t right = workArea.x() + workArea.width();
    const int32_t bottom = workArea.y() + workArea.height();
    return {std::max(workArea.x(), (workArea.x() + right - outer.width()) / 2),
            std::max(workArea.y(), (workArea.y() + bottom - outer.height()) / 2)};
}

bool CentreOnPrimaryScreen(MainWindowWidget& window) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return true;
    }
    const QRect available = screen->availableGeometry();
    const QSize frame = window.frameGeometry().size() - window.size();
    const QSize room = available.size() - frame;
    const QSize client = window.FitInto(room);
    window.move(CentredPosition(available, client + frame));
    return client.width() <= room.width() && client.height() <= room.height();
}

void FitToItsScreen(MainWindowWidget& window) {
    const QScreen* screen = window.screen();
    if (screen == nullptr) {
        return;
    }
    const QSize frame = window.frameGeometry().size() - window.size();
    const QRect room = screen->availableGeometry();
    window.FitInto(room.size() - frame);
    // Grown on a denser screen, the window is kept on it, where it was as far as it can be.
    const QSize outer = window.size() + frame;
    const QPoint at = window.frameGeometry().topLeft();
    window.move(
        std::clamp(at.x(), room.left(), std::max(room.left(), room.right() + 1 - outer.width())),
        std::clamp(at.y(), room.top(), std::max(room.top(), room.bottom() + 1 - outer.height())));
}

void RefitOnScreenChanges(MainWindowWidget& window) {
    // The primary screen's size and work area, and the primary screen itself, may
    // change while the program runs (xrandr, a panel added, a monitor unplugged).
    const auto refit = [&window] { CentreOnPrimaryScreen(window); };
    const auto follow = [&window, refit](QScreen* screen) {
        if (screen == nullptr) {
            return;
        }
        QObject::connect(screen, &QScreen::availableGeometryChanged, &window, refit);
        QObject::connect(screen, &QScreen::geometryChanged, &window, refit);
    };
    follow(QGuiApplication::primaryScreen());
    QObject::connect(qGuiApp, &QGuiApplication::primaryScreenChanged, &window,
                     [follow, refit](QScreen* screen) {
                         follow(screen);
                         refit();
                     });
    // The device pixel ratio follows the window's screen: another screen, or a new
    // Xft.dpi, which Qt tells as the screen's logical dots per inch. The play area is
    // laid out again at once; a paint also compares the ratio (GraphicControl).
    QWindow* handle = window.windowHandle();
    if (handle == nullptr) {
        return;
    }
    const auto fit = [&window] { FitToItsScreen(window); };
    const auto watch = [&window, fit](QScreen* screen) {
        if (screen != nullptr) {
            QObject::connect(screen, &QScreen::logicalDotsPerInchChanged, &window, fit);
            QObject::connect(screen, &QScreen::physicalDotsPerInchChanged, &window, fit);
        }
    };
    watch(handle->screen());
    QObject::connect(handle, &QWindow::screenChanged, &window, [watch, fit](QScreen* screen) {
        watch(screen);
        fit();
    });
}

void EndWhenDestroyedFromOutside(const QWidget& window) {
    // The window is never re-created once shown (its flags never change afterwards),
    // so its destruction can only come from outside.
    GoneFilter.Watched = static_cast<uint32_t>(window.winId());
    QCoreApplication::instance()->installNativeEventFilter(&GoneFilter);
}

void RunCommand(int32_t id) {
    switch (id) {
        case IdNew:
            game::NewGame();
            break;
        case IdAuthor:
            ShowAuthorBox();
            break;
        case IdQuit:
            QuitProgram();
            break;
        default:
            break;
    }
}

QString AuthorText() {
    return QStringLiteral("Autor: el equipo de Zarpeta\nVersi\u00f3n %1\n%2")
        .arg(QStringLiteral(ZARPETA_VERSION), Utf8(render::CaptionText));
}

void ShowAuthorBox() {
    // No owner and not modal: the game keeps running and the mouse keeps firing while
    // it is open, and "Autor" again opens another box.
    auto* box = new QMessageBox(QMessageBox::NoIcon, QStringLiteral("Programador"), AuthorText(),
                                QMessageBox::Ok, nullptr);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

void QuitProgram() {
    runtime::CloseWorkerHandle(game::BarThread.load());
    QCoreApplication::exit(0);
}

bool PumpPendingEvents() {
    // The one user-interface caller is the new game, started from the menu. Handling a
    // click here could start a second new game inside the first, or fire into a game
    // half made, so user input waits for the event loop; repaints, queued refreshes
    // and the state of "Nuevo" are handled. A nested call does nothing, so the pause
    // never recurses.
    if (!OnUserInterfaceThread() || Pumping) {
        return false;
    }
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    if (dispatcher == nullptr) {
        return false;
    }
    Pumping = true;
    const bool handled = dispatcher->processEvents(QEventLoop::ExcludeUserInputEvents);
    Pumping = false;
    return handled;
}

}  // namespace shell
