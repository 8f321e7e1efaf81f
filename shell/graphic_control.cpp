// SPDX-License-Identifier: MIT
// The play area widget and its refresh sink.
#include "shell/graphic_control.h"

#include <sys/eventfd.h>
#include <unistd.h>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QSocketNotifier>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>

#include "game/commands.h"
#include "game/layout.h"
#include "shell/main_window.h"

namespace shell {

// ---- Constants ------------------------------------------------------------------

const QColor BorderColour(0x80, 0x80, 0x80);
constexpr QRgb Silver = 0xFFC0C0C0;

// With ZARPETA_TRACE set, the columns between the bar's lane and the launcher, below
// the score line, are counted for shot pixels on every paint: only shots cross them.
constexpr int32_t TraceLaneLeft = 650;
constexpr int32_t TraceLaneRight = 976;  // excluded
constexpr int32_t TraceLaneTop = 40;

namespace {

// ---- Types ----------------------------------------------------------------------

// Collects the changed parts of the control between two repaints, from any thread.
// The user-interface thread hears of a change through an eventfd: a worker's write
// to it allocates nothing, where a queued call would allocate an event every frame.
class RefreshSink final : public render::ControlSink {
  public:
    void Refresh(const render::DamageList& dirty) override;
    void Bind(GraphicControl* target, int wakeFd);
    void Unbind(GraphicControl* target);
    // Moves the parts changed since the last wake into taken.
    void TakePending(render::DamageList& taken);

  private:
    std::mutex Mutex;
    GraphicControl* Target = nullptr;  // the widget showing the control, or none
    int WakeFd = -1;                   // the eventfd the widget listens on
    render::DamageList Pending;        // changed since the wake was sent
    bool Queued = false;               // a wake is sent and not yet taken
};

// What a repaint draws of the control's image, and with which painter.
struct PaintJob {
    QPainter* Painter = nullptr;
    QRegion Parts;  // image coordinates
    bool Drawn = false;
};

// ---- Module state ---------------------------------------------------------------

RefreshSink Sink;
std::once_flag ControlMade;
const bool Tracing = std::getenv("ZARPETA_TRACE") != nullptr;

// ---- Internal helpers -----------------------------------------------------------

long long MonotonicNanos() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1'000'000'000LL + now.tv_nsec;
}

int32_t CountLanePixels(const QImage& image) {
    int32_t count = 0;
    for (int32_t y = TraceLaneTop; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int32_t x = TraceLaneLeft; x < std::min(TraceLaneRight, image.width()); ++x) {
            count += row[x] != Silver ? 1 : 0;
        }
    }
    return count;
}

// Draws job.Parts of the control's pixels (0xFFRRGGBB words, stride in words) where
// they belong inside the border. Runs under SurfaceLock: the image is drawn straight
// from the drawing layer's pixels, with no copy of its own in between.
void DrawParts(PaintJob& job, const uint32_t* pixels, int32_t width, int32_t height,
               int32_t stride) {
    const QImage image(reinterpret_cast<const uchar*>(pixels), width, height,
                       static_cast<qsizetype>(stride) * 4, QImage::Format_RGB32);
    for (const QRect& changed : job.Parts) {
        const QRect part = changed.intersected(image.rect());
        job.Painter->drawImage(part.topLeft() + QPoint(game::PlayAreaBorder, game::PlayAreaBorder),
                               image, part);
    }
    job.Drawn = true;
    if (Tracing) {
        std::fprintf(stderr, "zarpeta-trace paint %lld %d\n", MonotonicNanos(),
                     CountLanePixels(image));
    }
}

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

// The mouse's row in the control's client coordinates, inside the border.
int32_t ClientY(const QMouseEvent* event) {
    return static_cast<int32_t>(std::floor(event->position().y())) - game::PlayAreaBorder;
}

void RefreshSink::Refresh(const render::DamageList& dirty) {
    if (dirty.Count == 0) {
        return;
    }
    std::lock_guard lock(Mutex);
    if (Target == nullptr) {
        return;
    }
    for (int32_t part = 0; part < dirty.Count; ++part) {
        render::AddDamage(Pending, dirty.Rects[static_cast<size_t>(part)]);
    }
    if (Queued) {
        return;
    }
    Queued = true;
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(WakeFd, &one, sizeof one);
}

void RefreshSink::Bind(GraphicControl* target, int wakeFd) {
    std::lock_guard lock(Mutex);
    Target = target;
    WakeFd = wakeFd;
    Pending.Count = 0;
    Queued = false;
}

void RefreshSink::Unbind(GraphicControl* target) {
    std::lock_guard lock(Mutex);
    if (Target == target) {
        Target = nullptr;
        Pending.Count = 0;
        Queued = false;
    }
}

void RefreshSink::TakePending(render::DamageList& taken) {
    std::lock_guard lock(Mutex);
    Queued = false;
    taken = Pending;
    Pending.Count = 0;
}

}  // namespace

// ---- Public functions -----------------------------------------------------------

GraphicControl::GraphicControl(QWidget* parent) : QWidget(parent) {
    setFixedSize(game::PlayAreaWidth, game::PlayAreaHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    std::call_once(ControlMade, [] {
        render::NewGraphicControl(MainWindowHandle, IdGraphic, game::ControlImageWidth,
                                  game::ControlImageHeight, &Sink);
    });
    const int wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    auto* wake = new QSocketNotifier(wakeFd, QSocketNotifier::Read, this);
    connect(wake, &QSocketNotifier::activated, this, [this, wakeFd] {
        uint64_t wakes = 0;
        [[maybe_unused]] const ssize_t read = ::read(wakeFd, &wakes, sizeof wakes);
        render::DamageList changed;
        Sink.TakePending(changed);
        ShowChanged(changed);
    });
    WakeFd = wakeFd;
    Sink.Bind(this, wakeFd);
    // The control may have been drawn on before this widget existed.
    update();
}

GraphicControl::~GraphicControl() {
    Sink.Unbind(this);
    ::close(WakeFd);
}

void GraphicControl::ShowChanged(const render::DamageList& dirty) {
    for (int32_t part = 0; part < dirty.Count; ++part) {
        const render::Rect changed = dirty.Rects[static_cast<size_t>(part)];
        update(changed.Left + game::PlayAreaBorder, changed.Top + game::PlayAreaBorder,
               changed.Right - changed.Left, changed.Bottom - changed.Top);
    }
}

void GraphicControl::paintEvent(QPaintEvent* event) {
    const QRect imageArea(game::PlayAreaBorder, game::PlayAreaBorder, game::ControlImageWidth,
                          game::ControlImageHeight);
    QPainter painter(this);
    // On a high-density screen each image pixel becomes a crisp block, never a blur.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    // The region's rectangles, not its bounding box: the bar's lane and the launcher's
    // strip change together, far apart.
    PaintJob job{&painter, event->region().intersected(imageArea).translated(
                               -game::PlayAreaBorder, -game::PlayAreaBorder)};
    if (!job.Parts.isEmpty()) {
        render::ReadControlImage(
            MainWindowHandle, IdGraphic,
            [&job](const uint32_t* pixels, int32_t width, int32_t height, int32_t stride) {
                DrawParts(job, pixels, width, height, stride);
            });
    }
    if (!job.Drawn) {
        painter.fillRect(imageArea, QColor::fromRgb(Silver));  // no control to show yet
    }
    PaintBorder(painter, rect());
}

void GraphicControl::mouseMoveEvent(QMouseEvent* event) {
    game::AimAt(ClientY(event));
}

void GraphicControl::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    if (Tracing) {
        std::fprintf(stderr, "zarpeta-trace press %lld\n", MonotonicNanos());
    }
    game::FireShot();
}

void GraphicControl::mouseDoubleClickEvent(QMouseEvent*) {
    // Qt turns the second press of a double-click into this event; it fires nothing.
}

}  // namespace shell
