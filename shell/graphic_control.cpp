// SPDX-License-Identifier: MIT
// The play area widget and the sink that wakes it.
#include "shell/graphic_control.h"

#include <sys/eventfd.h>
#include <unistd.h>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QSocketNotifier>

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

// The border as four filled strips one logical pixel wide that meet the image's edges
// exactly: at any scale each device pixel is then covered once, where a drawn outline
// is one device pixel wide and leaves unpainted seams at 1.5x and 2x.
void PaintBorder(QPainter& painter, QRect all) {
    const int32_t side = game::PlayAreaBorder;
    const int32_t w = all.width();
    const int32_t h = all.height();
    for (const QRect strip :
         {QRect(0, 0, w, side), QRect(0, h - side, w, side), QRect(0, side, side, h - 2 * side),
          QRect(w - side, side, side, h - 2 * side)}) {
        painter.fillRect(strip, BorderColour);
    }
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

GraphicControl::GraphicControl(QWidget* parent) : QWidget(parent) {
    setFixedSize(game::PlayAreaWidth, game::PlayAreaHeight);
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

void GraphicControl::ShowChanges() {
    render::DamageList parts;
    game::TakeFrameChanges({MainWindowHandle, IdGraphic}, parts);
    QRegion changed;
    const QTransform toWidget = ToWidget();
    for (int32_t entry = 0; entry < parts.Count; ++entry) {
        const render::Rect part = parts.Rects[static_cast<size_t>(entry)];
        const QRect image(part.Left, part.Top, part.Right - part.Left, part.Bottom - part.Top);
        // Scaled, a changed pixel also changes the smoothed ones beside it.
        changed += toWidget.type() <= QTransform::TxTranslate
                       ? image.translated(game::PlayAreaBorder, game::PlayAreaBorder)
                       : toWidget.mapRect(QRectF(image)).toAlignedRect().adjusted(-1, -1, 1, 1);
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
    QPainter painter(this);
    // The changes of a frame lie inside the border: it is painted only when exposed.
    const QRect inside = rect().adjusted(game::PlayAreaBorder, game::PlayAreaBorder,
                                         -game::PlayAreaBorder, -game::PlayAreaBorder);
    const bool borderToo = !inside.contains(event->region().boundingRect());
    if (size() != QSize(game::PlayAreaWidth, game::PlayAreaHeight)) {
        PaintScaled(painter, event->region());
    } else {
        PaintOneToOne(painter, event->region());
    }
    if (borderToo) {
        PaintBorder(painter, rect());
    }
}

void GraphicControl::PaintOneToOne(QPainter& painter, const QRegion& region) {
    // On a high-density screen each image pixel becomes a crisp block, never a blur.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    // The region's rectangles, not its bounding box: the bar's ends and a shot's mark
    // change together, far apart.
    const QPoint origin(game::PlayAreaBorder, game::PlayAreaBorder);
    for (const QRect& part : region.translated(-origin)) {
        const QRect shown = part.intersected(Shown.rect());
        painter.drawImage(shown.topLeft() + origin, Shown, shown);
    }
}

void GraphicControl::PaintScaled(QPainter& painter, const QRegion& region) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    const QTransform toWidget = ToWidget();
    const QTransform toImage = toWidget.inverted();
    for (const QRect& part : region) {
        // Two pixels more on every side: a smoothed pixel mixes its neighbours, and the
        // painter's clip keeps to the part.
        const QRect source = toImage.mapRect(QRectF(part))
                                 .toAlignedRect()
                                 .adjusted(-2, -2, 2, 2)
                                 .intersected(Shown.rect());
        painter.drawImage(toWidget.mapRect(QRectF(source)), Shown, source);
    }
}

QTransform GraphicControl::ToWidget() const {
    const double border = game::PlayAreaBorder;
    return QTransform::fromTranslate(border, border)
        .scale((width() - 2 * border) / game::ControlImageWidth,
               (height() - 2 * border) / game::ControlImageHeight);
}

void GraphicControl::mouseMoveEvent(QMouseEvent* event) {
    // The mouse's row in the control's client coordinates, inside the border.
    const QPointF image = ToWidget().inverted().map(event->position());
    game::AimAt(static_cast<int32_t>(std::floor(image.y())));
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
