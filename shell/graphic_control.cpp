// SPDX-License-Identifier: MIT
// The play area widget and the sink that wakes it.
#include "shell/graphic_control.h"

#include <sys/eventfd.h>
#include <unistd.h>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QSocketNotifier>
#include <QTransform>

#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "game/commands.h"
#include "game/frame.h"
#include "game/layout.h"
#include "render/painters.h"
#include "render/surface.h"
#include "shell/main_window.h"

namespace shell {

// ---- Constants ------------------------------------------------------------------

// The drawing layer's pixel words are Qt's 32-bit RGB: the border is the outlines' grey.
const QColor BorderColour = QColor::fromRgb(render::PixelOf(render::ColourGrey));
constexpr QRgb Silver = render::PixelOf(render::ColourSilver);
// A screen reader speaks each change; faster than this it would only queue them up.
constexpr int TellGapMs = 250;

namespace {

// ---- Types ----------------------------------------------------------------------

// Wakes the user-interface thread when the control has changes it has not taken: a
// write to an eventfd allocates nothing, where a queued call would allocate an event
// every frame. The drawing layer tells it once until the changes are taken.
class WakeSink final : public render::ControlSink {
  public:
    void Changed() override {
        const int fd = WakeFd.load();
        const uint64_t one = 1;
        if (fd >= 0) {
            [[maybe_unused]] const ssize_t written = write(fd, &one, sizeof one);
        }
    }
    std::atomic<int> WakeFd{-1};  // the widget's eventfd, or -1 while there is none
};

// ---- Module state ---------------------------------------------------------------

WakeSink Sink;
std::once_flag ControlMade;

// ---- Internal helpers -----------------------------------------------------------

// The border and the margin: the widget's device pixels around the image, as filled
// strips.
void PaintBorder(QPainter& painter, QRect widget, QRect image, int32_t margin) {
    const int32_t w = widget.width();
    const int32_t right = image.right() + 1 + margin;
    for (const QRect strip :
         {QRect(0, 0, w, image.top()), QRect(0, image.top(), image.left(), image.height()),
          QRect(right, image.top(), w - right, image.height()),
          QRect(0, image.bottom() + 1, w, widget.height() - image.bottom() - 1)}) {
        painter.fillRect(strip, BorderColour);
    }
    painter.fillRect(QRect(image.right() + 1, image.top(), margin, image.height()),
                     QColor::fromRgb(Silver));
}

// The device pixels a rectangle of window pixels covers, rounded outwards.
QRect DevicePixelsOf(QRect window, double ratio) {
    return QRect(QPoint(static_cast<int>(std::floor(window.left() * ratio)),
                        static_cast<int>(std::floor(window.top() * ratio))),
                 QPoint(static_cast<int>(std::ceil((window.right() + 1) * ratio)) - 1,
                        static_cast<int>(std::ceil((window.bottom() + 1) * ratio)) - 1));
}

// The control's image as the window paints it: the drawing layer's own pixels, which
// only this thread changes (by taking the changes), so painting needs no copy and no
// lock. Silver if the control could not be made.
QImage ControlImageShown() {
    const render::ControlPixels image = render::ControlImage(MainWindowHandle, IdGraphic);
    if (image.Words == nullptr) {
        QImage silver(game::ControlImageWidth, game::ControlImageHeight, QImage::Format_RGB32);
        silver.fill(Silver);
        return silver;
    }
    return QImage(reinterpret_cast<const uchar*>(image.Words), image.Width, image.Height,
                  image.Width * 4, QImage::Format_RGB32);
}

}  // namespace

// ---- Public functions -----------------------------------------------------------

GraphicControl::GraphicControl(QWidget* parent)
    : QWidget(parent), Play(LayOutPlayArea(render::Scale{}, 1, 0)) {
    setFixedSize(Play.Widget);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setAccessibleName(QString::fromUtf8("Área de juego"));
    TellLater.setSingleShot(true);
    connect(&TellLater, &QTimer::timeout, this, [this] { TellChanges(); });
    SinceTold.start();
    WakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (WakeFd < 0) {
        std::fprintf(stderr, "zarpeta: no se puede preparar el área de juego: %s\n",
                     std::strerror(errno));
        std::exit(1);
    }
    auto* wake = new QSocketNotifier(WakeFd, QSocketNotifier::Read, this);
    connect(wake, &QSocketNotifier::activated, this, [this] {
        uint64_t wakes = 0;
        [[maybe_unused]] const ssize_t read = ::read(WakeFd, &wakes, sizeof wakes);
        ShowChanges();
    });
    Sink.WakeFd.store(WakeFd);
    std::call_once(ControlMade, [] {
        render::NewGraphicControl(MainWindowHandle, IdGraphic, game::ControlImageWidth,
                                  game::ControlImageHeight, &Sink);
        // Silver until the first frame. The only drawing on the control, taken at once,
        // so a game's frames find no drawing waiting and copy nothing until taken.
        render::ResetSurfaceToSilver(MainWindowHandle, IdGraphic);
    });
    Shown = ControlImageShown();
    ShowChanges();
}

GraphicControl::~GraphicControl() {
    Sink.WakeFd.store(-1);
    ::close(WakeFd);
}

void GraphicControl::ShowAt(const PlayGeometry& play, double ratio) {
    Play = play;
    ShownRatio = ratio;
    setFixedSize(play.Widget);
    // The control's old pixels go with the old scale: Shown is wrapped anew at once. A
    // new scale has the game make its layers again; the same one leaves them.
    if (play.Scale != game::DeviceScale()) {
        game::SetDeviceScale(play.Scale);
    }
    Shown = ControlImageShown();
    Play.Scale = game::DeviceScale();  // the old one still where the new image could not be had
    update();
}

void GraphicControl::ShowChanges() {
    render::DamageList parts;
    game::TakeFrameChanges({MainWindowHandle, IdGraphic}, parts);
    QRegion changed;
    const double ratio = devicePixelRatioF();
    const int margin = ratio == std::floor(ratio) ? 0 : 1;
    for (int32_t entry = 0; entry < parts.Count; ++entry) {
        const render::Rect part = parts.Rects[static_cast<size_t>(entry)];
        // Device pixels of the image to window pixels of the widget, rounded outwards;
        // at a fractional ratio one more, as Qt rounds where the widget starts.
        const auto down = [this, ratio, margin](int32_t device) {
            return static_cast<int>(std::floor((device + Play.Border) / ratio)) - margin;
        };
        const auto up = [this, ratio, margin](int32_t device) {
            return static_cast<int>(std::ceil((device + Play.Border) / ratio)) + margin;
        };
        changed += QRect(QPoint(down(part.Left), down(part.Top)),
                         QPoint(up(part.Right) - 1, up(part.Bottom) - 1));
    }
    // At once rather than through update(), which would wake this thread again for a
    // timer before it paints.
    if (!changed.isEmpty()) {
        repaint(changed);
    }
    // The score and the end reach the screen as frames: this wake sees them too.
    TellChanges();
}

void GraphicControl::TellChanges() {
    const GameSpoken now = ReadGameSpoken();
    if (now == Told || TellLater.isActive()) {
        return;
    }
    const qint64 wait = TellGapMs - SinceTold.elapsed();
    if (wait > 0) {
        TellLater.start(static_cast<int>(wait));
        return;
    }
    Told = now;
    SinceTold.restart();
    // Qt tells assistive technology of the change itself.
    setAccessibleDescription(DescribeGame(now));
}

void GraphicControl::paintEvent(QPaintEvent* event) {
    const double ratio = devicePixelRatioF();
    if (ratio != ShownRatio) {
        RefitLater();  // Qt 6.4 sends no event for a new ratio
    }
    QPainter painter(this);
    PaintDevicePixels(painter, event->region(), ratio);
}

void GraphicControl::PaintDevicePixels(QPainter& painter, const QRegion& region, double ratio) {
    // The painter counts device pixels from here on: the image is copied one to one,
    // and the border's edges fall on whole device pixels at every ratio.
    painter.setWorldTransform(QTransform::fromScale(1 / ratio, 1 / ratio));
    const QRect image(QPoint(Play.Border, Play.Border), Shown.size());
    // The region's rectangles, not its bounding box: the bar's ends and a shot's mark
    // change together, far apart.
    for (const QRect& part : region) {
        const QRect shown = DevicePixelsOf(part, ratio).intersected(image);
        if (!shown.isEmpty()) {
            painter.drawImage(shown.topLeft(), Shown, shown.translated(-image.topLeft()));
        }
    }
    // The changes of a frame lie inside the border: it is painted only when exposed.
    if (!image.contains(DevicePixelsOf(region.boundingRect(), ratio))) {
        const QRect widget(0, 0, static_cast<int>(std::lround(width() * ratio)),
                           static_cast<int>(std::lround(height() * ratio)));
        PaintBorder(painter, widget, image, Play.Margin);
    }
}

void GraphicControl::RefitLater() {
    auto* window = dynamic_cast<MainWindowWidget*>(this->window());
    if (RefitQueued || window == nullptr) {
        return;
    }
    RefitQueued = true;
    QTimer::singleShot(0, this, [this, window] {
        RefitQueued = false;
        FitToItsScreen(*window);
    });
}

int32_t GraphicControl::RowAt(QPointF position) const {
    // The device pixel under the mouse, counted from the image's top row; the slack
    // takes up the rounding in Qt's division of a whole device position by the ratio.
    constexpr double Slack = 1e-6;
    const auto device =
        static_cast<int64_t>(std::floor(position.y() * devicePixelRatioF() + Slack));
    return LogicalRowAt(device - Play.Border, Play.Scale);
}

void GraphicControl::mouseMoveEvent(QMouseEvent* event) {
    game::AimAt(RowAt(event->position()));
}

void GraphicControl::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    game::FireShot();
}

void GraphicControl::mouseDoubleClickEvent(QMouseEvent*) {
    // Qt turns the second press of a double-click into this event; it fires nothing.
}

}  // namespace shell
