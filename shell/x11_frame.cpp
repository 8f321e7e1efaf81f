// SPDX-License-Identifier: MIT
// The main window's frame hints and its centring under an X11 window manager.
#include "shell/x11_frame.h"

#include <qguiapplication_platform.h>
#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include <xcb/xcb.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "shell/main_window.h"

namespace shell {

namespace {

// ---- Constants ------------------------------------------------------------------

// The Motif window manager's hint bits.
constexpr uint32_t MwmHintsFunctions = 1U << 0;
constexpr uint32_t MwmHintsDecorations = 1U << 1;
constexpr uint32_t MwmFuncMove = 1U << 2;
constexpr uint32_t MwmFuncMinimize = 1U << 3;
constexpr uint32_t MwmFuncClose = 1U << 5;
constexpr uint32_t MwmDecorBorder = 1U << 1;
constexpr uint32_t MwmDecorTitle = 1U << 3;

constexpr uint8_t X11ConfigureNotifyCode = 22;
constexpr uint8_t X11PropertyNotifyCode = 28;
constexpr uint8_t X11ClientMessageCode = 33;

// ---- Types ----------------------------------------------------------------------

struct MotifHints {
    uint32_t Words[5];
};

// Hears of changes to the watched window's _NET_FRAME_EXTENTS.
class FrameFilter final : public QAbstractNativeEventFilter {
  public:
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override;
    MainWindowWidget* Window = nullptr;
    uint32_t Watched = 0;  // the X window id, 0 for none
    xcb_atom_t Extents = XCB_NONE;
    QPoint Centre{-1, -1};  // where the client area was last put, in logical pixels
    bool Placed = false;    // seen where it was put: from then on the user places it
};

// ---- Module state ---------------------------------------------------------------

FrameFilter Filter;

// ---- Internal helpers -----------------------------------------------------------

xcb_connection_t* Connection() {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr ? x11->connection() : nullptr;
}

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
    const auto cookie =
        xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t atom = reply != nullptr ? reply->atom : XCB_NONE;
    std::free(reply);
    return atom;
}

// The frame's left, right, top and bottom widths in device pixels; zero without one.
bool ReadExtents(xcb_connection_t* connection, uint32_t window, uint32_t (&extents)[4]) {
    const auto cookie =
        xcb_get_property(connection, 0, window, Filter.Extents, XCB_ATOM_CARDINAL, 0, 4);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(connection, cookie, nullptr);
    const bool found =
        reply != nullptr && reply->format == 32 && xcb_get_property_value_length(reply) == 16;
    if (found) {
        std::memcpy(extents, xcb_get_property_value(reply), sizeof extents);
    }
    std::free(reply);
    return found;
}

// Notes the window placed once it is seen where it was centred. A manager frames it
// in a few steps and each may move it, so until then each new frame size centres it
// again; afterwards a manager restarted or replaced frames it anew where the user
// left it, and there it stays.
void NotePlaced() {
    // Within a pixel: at a fractional scale Qt rounds the place the manager reports.
    if (Filter.Window != nullptr &&
        (Filter.Window->geometry().topLeft() - Filter.Centre).manhattanLength() <= 1) {
        Filter.Placed = true;
    }
}

void CentreWithExtents() {
    xcb_connection_t* connection = Connection();
    const QScreen* screen = QGuiApplication::primaryScreen();
    uint32_t extents[4] = {};
    if (connection == nullptr || screen == nullptr || Filter.Window == nullptr || Filter.Placed ||
        !ReadExtents(connection, Filter.Watched, extents)) {
        return;
    }
    // The window manager counts device pixels, Qt's geometry logical ones. The centring
    // is done in device pixels and rounded once at the end: frame widths rounded to
    // logical pixels one by one (an odd title bar at scale 2) would add up.
    const double ratio = Filter.Window->devicePixelRatioF();
    const auto device = [ratio](int logical) {
        return static_cast<int>(std::lround(logical * ratio));
    };
    const auto logical = [ratio](int pixels) {
        return static_cast<int>(std::lround(pixels / ratio));
    };
    const QRect available = screen->availableGeometry();
    const QRect area(device(available.x()), device(available.y()), device(available.width()),
                     device(available.height()));
    const QMargins frame(static_cast<int>(extents[0]), static_cast<int>(extents[2]),
                         static_cast<int>(extents[1]), static_cast<int>(extents[3]));
    // The frame's widths rounded up: the client area fits with room to spare, if any.
    const auto room = [ratio](int whole, int frameWidths) {
        return whole - static_cast<int>(std::ceil(frameWidths / ratio));
    };
    const QSize client =
        Filter.Window->FitInto(QSize(room(available.width(), frame.left() + frame.right()),
                                     room(available.height(), frame.top() + frame.bottom())));
    const QSize outer = QSize(device(client.width()), device(client.height())).grownBy(frame);
    const QPoint corner = CentredPosition(area, outer) + QPoint(frame.left(), frame.top());
    Filter.Centre = QPoint(logical(corner.x()), logical(corner.y()));
    NotePlaced();  // already there: nothing to move
    Filter.Window->setGeometry(QRect(Filter.Centre, client));
}

// The _MOTIF_WM_HINTS words: flags, functions, decorations, input mode, status.
MotifHints MainWindowMotifHints() {
    // No system menu, no minimise or maximise box, no resize handles: title and border
    // only. The functions keep close and minimise, so the task bar and the keyboard
    // can still close or minimise the window.
    return {{MwmHintsFunctions | MwmHintsDecorations, MwmFuncMove | MwmFuncMinimize | MwmFuncClose,
             MwmDecorBorder | MwmDecorTitle, 0, 0}};
}

bool FrameFilter::nativeEventFilter(const QByteArray& type, void* message, qintptr*) {
    if (Watched == 0 || type != "xcb_generic_event_t") {
        return false;
    }
    // Both handled after Qt itself has seen the event.
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const uint8_t code = event->response_type & 0x7F;
    if (code == X11PropertyNotifyCode) {
        const auto* notify = static_cast<const xcb_property_notify_event_t*>(message);
        if (notify->window == Watched && notify->atom == Extents) {
            QTimer::singleShot(0, &CentreWithExtents);
        }
    } else if (code == X11ConfigureNotifyCode && !Placed) {
        const auto* notify = static_cast<const xcb_configure_notify_event_t*>(message);
        if (notify->window == Watched) {
            QTimer::singleShot(0, &NotePlaced);
        }
    }
    return false;
}

}  // namespace

// ---- Public functions -----------------------------------------------------------

void PrepareFrame(const QWidget& window) {
    xcb_connection_t* connection = Connection();
    if (connection == nullptr) {
        return;
    }
    const auto id = static_cast<xcb_window_t>(window.winId());  // Qt has set its own hints
    const xcb_atom_t motif = Atom(connection, "_MOTIF_WM_HINTS");
    const MotifHints hints = MainWindowMotifHints();
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, motif, motif, 32, 5, hints.Words);
    Filter.Extents = Atom(connection, "_NET_FRAME_EXTENTS");

    // A manager that supports it sets _NET_FRAME_EXTENTS before the window is mapped.
    xcb_client_message_event_t request{};
    request.response_type = X11ClientMessageCode;
    request.format = 32;
    request.window = id;
    request.type = Atom(connection, "_NET_REQUEST_FRAME_EXTENTS");
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    xcb_send_event(connection, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&request));
    xcb_flush(connection);
}

void KeepFrameCentred(MainWindowWidget& window) {
    if (Connection() == nullptr) {
        return;
    }
    Filter.Window = &window;
    Filter.Watched = static_cast<uint32_t>(window.winId());
    QCoreApplication::instance()->installNativeEventFilter(&Filter);
    CentreWithExtents();  // the manager may have answered already
}

}  // namespace shell
