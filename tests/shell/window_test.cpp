#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPointer>

#include <cstdlib>
#include <thread>

#include "game/state.h"
#include "render/surface.h"
#include "runtime/pacing.h"
#include "shell/graphic_control.h"
#include "shell/main_window.h"
#include "shell/qt_seam.h"
#include "shell/seam.h"

namespace shell {
namespace {

constexpr QRgb Silver = 0xFFC0C0C0;

// One application and one window for the whole binary, kept until the process ends
// as in the program (Qt's own statics are gone by the time ours would be destroyed).
MainWindowWidget& Window() {
    static int argumentCount = 1;
    static char name[] = "window_test";
    static char* arguments[] = {name, nullptr};
    static QApplication* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        return new QApplication(argumentCount, arguments);
    }();
    static MainWindowWidget* window = [] {
        MainWindowWidget* made = CreateMainWindow().release();
        made->show();
        return made;
    }();
    (void)app;
    return *window;
}

void HandlePosted() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QList<QMessageBox*> OpenAuthorBoxes() {
    QList<QMessageBox*> boxes;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(widget); box != nullptr && box->isVisible()) {
            boxes.append(box);
        }
    }
    return boxes;
}

void CloseAuthorBoxes() {
    for (QMessageBox* box : OpenAuthorBoxes()) {
        box->button(QMessageBox::Ok)->click();
    }
    HandlePosted();
}

QImage Shown() {
    HandlePosted();
    return Window().Control()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Collects the parts of the play area that the window repaints on its own.
class PaintRecorder final : public QObject {
  public:
    PaintRecorder() { Window().Control()->installEventFilter(this); }
    ~PaintRecorder() override { Window().Control()->removeEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            Painted += static_cast<QPaintEvent*>(event)->region();
        }
        return false;
    }
    QRegion Painted;
};

// Lets the queued refreshes reach the widget and its repaints happen.
void RepaintPending() {
    for (int round = 0; round < 3; ++round) {
        QCoreApplication::processEvents();
    }
}

void SendMouse(QEvent::Type type, int y, Qt::MouseButton button) {
    GraphicControl* control = Window().Control();
    const QPointF local(300, y);
    QMouseEvent event(type, local, control->mapToGlobal(local), button,
                      type == QEvent::MouseMove ? Qt::NoButton : button, Qt::NoModifier);
    QCoreApplication::sendEvent(control, &event);
}

TEST(MainWindow, HasItsTitleAFixedClientAreaAndThePlayAreaUnderTheMenuBar) {
    MainWindowWidget& window = Window();
    EXPECT_EQ(window.windowTitle(), "Zarpeta");
    EXPECT_EQ(window.minimumSize(), QSize(1000, 576));
    EXPECT_EQ(window.maximumSize(), QSize(1000, 576));
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMinMaxButtonsHint);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(window.MenuBar()->isNativeMenuBar());
    const int barHeight = window.MenuBar()->height();
    EXPECT_GT(barHeight, 0);
    EXPECT_EQ(window.Control()->geometry(), QRect(0, barHeight, 1000, 576));
}

TEST(MainWindow, MenuIsFuncionesWithThreePlainItemsCarryingTheirIds) {
    const QList<QAction*> top = Window().MenuBar()->actions();
    ASSERT_EQ(top.size(), 1);
    EXPECT_EQ(top[0]->text(), "Funciones");
    const QList<QAction*> items = top[0]->menu()->actions();
    ASSERT_EQ(items.size(), 3);
    const char* texts[] = {"Nuevo", "Autor", "Salir"};
    const int ids[] = {IdNew, IdAuthor, IdQuit};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(items[i]->text(), texts[i]);
        EXPECT_EQ(items[i]->data().toInt(), ids[i]);
        EXPECT_TRUE(items[i]->shortcut().isEmpty());
        EXPECT_FALSE(items[i]->isSeparator());
        EXPECT_TRUE(items[i]->isEnabled());
    }
    EXPECT_EQ(Window().NewAction(), items[0]);
}

TEST(MainWindow, CentresOnTheWorkAreaAndNeverGoesNegative) {
    EXPECT_EQ(CentredPosition(QRect(0, 0, 1920, 1040), QSize(1006, 605)), QPoint(457, 217));
    EXPECT_EQ(CentredPosition(QRect(100, 30, 1280, 994), QSize(1000, 576)), QPoint(240, 239));
    EXPECT_EQ(CentredPosition(QRect(0, 0, 800, 500), QSize(1000, 576)), QPoint(0, 0));
}

TEST(PlayArea, IsSilverInsideAGreyBorderBeforeTheFirstGame) {
    const QImage image = Shown();
    ASSERT_EQ(image.size(), QSize(1000, 576));
    for (const QPoint inside : {QPoint(1, 1), QPoint(998, 1), QPoint(500, 300), QPoint(998, 574)}) {
        EXPECT_EQ(image.pixel(inside), Silver) << inside.x() << "," << inside.y();
    }
    for (const QPoint border : {QPoint(0, 0), QPoint(999, 300), QPoint(500, 575)}) {
        EXPECT_EQ(image.pixel(border), 0xFF808080) << border.x() << "," << border.y();
    }
}

TEST(PlayArea, ShowsWhatAWorkerDrawsOneBorderPixelInAndUnscaled) {
    Window();
    std::thread worker([] {
        render::AttachSurface(MainWindow.load(), IdGraphic, 0);
        render::DrawBox(10, 20, 12, 22, 0, 0x0000FF, 0x0000FF, 0);      // red, 2 x 2
        render::DrawBox(996, 300, 998, 302, 0, 0xFF0000, 0xFF0000, 0);  // blue, right edge
    });
    worker.join();
    const QImage image = Shown();
    EXPECT_EQ(image.pixel(11, 21), 0xFFFF0000);
    EXPECT_EQ(image.pixel(12, 22), 0xFFFF0000);
    EXPECT_EQ(image.pixel(13, 23), Silver);
    EXPECT_EQ(image.pixel(10, 20), Silver);
    EXPECT_EQ(image.pixel(998, 302), 0xFF0000FF);
    EXPECT_EQ(image.pixel(999, 302), 0xFF808080);

    render::AttachSurface(MainWindow.load(), IdGraphic, 0);
    render::ClearSurface(render::ColourDefault, 0);
    EXPECT_EQ(Shown().pixel(11, 21), Silver);
}

TEST(PlayArea, RefreshesFromManyThreadsAreAllRepainted) {
    Window();
    RepaintPending();
    PaintRecorder recorder;
    std::thread workers[4];
    for (int i = 0; i < 4; ++i) {
        workers[i] = std::thread([i] {
            render::AttachSurface(MainWindow.load(), IdGraphic, 0);
            for (int step = 0; step < 50; ++step) {
                const float x = static_cast<float>(100 * i + 2 * step);
                render::DrawBox(x, 400, x + 2, 402, 0, 0x00FF00, 0x00FF00, 0);
            }
        });
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
    RepaintPending();
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(recorder.Painted.contains(QRect(1 + 100 * i, 401, 100, 2))) << i;
    }
    EXPECT_FALSE(recorder.Painted.contains(QPoint(500, 300)));  // nothing drawn there
    const QImage image = Shown();
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(image.pixel(1 + 100 * i, 401), 0xFF00FF00);
        EXPECT_EQ(image.pixel(1 + 100 * i + 99, 402), 0xFF00FF00);
    }
    render::AttachSurface(MainWindow.load(), IdGraphic, 0);
    render::ClearSurface(render::ColourDefault, 0);
    HandlePosted();
}

TEST(Mouse, MovesAimInsideTheBorderUpTo503AndDoubleClicksFireNothing) {
    Window();
    game::GameState& state = game::CurrentGame()->State;
    SendMouse(QEvent::MouseMove, 101, Qt::NoButton);
    EXPECT_EQ(state.AimY.load(), 100);
    SendMouse(QEvent::MouseMove, 504, Qt::NoButton);
    EXPECT_EQ(state.AimY.load(), 503);
    SendMouse(QEvent::MouseMove, 505, Qt::NoButton);  // client y 504
    EXPECT_EQ(state.AimY.load(), 503);
    SendMouse(QEvent::MouseMove, 0, Qt::NoButton);  // on the border: client y -1
    EXPECT_EQ(state.AimY.load(), 503);

    const int32_t shots = state.ShotCount.load();
    SendMouse(QEvent::MouseButtonDblClick, 200, Qt::LeftButton);
    SendMouse(QEvent::MouseButtonPress, 200, Qt::RightButton);
    EXPECT_EQ(state.ShotCount.load(), shots);
}

TEST(Seam, GreyOnTheInterfaceThreadIsAtOnceAndALaterEnableFromAWorkerWins) {
    QAction* item = Window().NewAction();
    SetNewEnabled(false);
    EXPECT_FALSE(item->isEnabled());
    std::thread([] { SetNewEnabled(true); }).join();
    EXPECT_FALSE(item->isEnabled());  // queued, never applied by the worker itself
    HandlePosted();
    EXPECT_TRUE(item->isEnabled());
}

TEST(Seam, RequestsFromWorkersEndInTheLastStateAskedFor) {
    QAction* item = Window().NewAction();
    std::thread([] {
        for (int i = 0; i < 1000; ++i) {
            SetNewEnabled(i % 2 == 1);
        }
        SetNewEnabled(false);
    }).join();
    HandlePosted();
    EXPECT_FALSE(item->isEnabled());
    SetNewEnabled(true);
    EXPECT_TRUE(item->isEnabled());
}

TEST(Commands, AutorOpensParentlessNonModalBoxesThatGoWhenClosed) {
    Window();
    RunCommand(IdAuthor);
    RunCommand(IdAuthor);
    QList<QMessageBox*> boxes = OpenAuthorBoxes();
    ASSERT_EQ(boxes.size(), 2);
    QMessageBox* box = boxes[0];
    EXPECT_EQ(box->windowTitle(), "Programador");
    EXPECT_EQ(
        box->text(),
        QString::fromUtf8("Autor: el equipo de Zarpeta\nVersión 0.2.2.0\nwww.zarpeta.example"));
    EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
    EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
    EXPECT_EQ(box->parent(), nullptr);
    EXPECT_EQ(box->windowModality(), Qt::NonModal);
    EXPECT_FALSE(QApplication::activeModalWidget());

    QPointer<QMessageBox> watched = box;
    box->button(QMessageBox::Ok)->click();
    HandlePosted();
    EXPECT_TRUE(watched.isNull());
    CloseAuthorBoxes();
    EXPECT_TRUE(OpenAuthorBoxes().isEmpty());
}

TEST(Commands, UnknownIdsChangeNothing) {
    Window();
    for (const int32_t id : {0, IdGraphic, 1002, 1006, -1}) {
        RunCommand(id);
    }
    HandlePosted();
    EXPECT_TRUE(OpenAuthorBoxes().isEmpty());
    EXPECT_TRUE(Window().NewAction()->isEnabled());
    EXPECT_TRUE(Window().isVisible());
}

TEST(PumpHook, HandlesPostedWorkOnlyOnTheInterfaceThreadAndNeverNests) {
    Window();
    bool ran = false;
    bool nestedHandled = true;
    QMetaObject::invokeMethod(
        qApp,
        [&] {
            ran = true;
            nestedHandled = PumpPendingEvents();
        },
        Qt::QueuedConnection);
    EXPECT_TRUE(PumpPendingEvents());
    EXPECT_TRUE(ran);
    EXPECT_FALSE(nestedHandled);

    bool fromWorker = true;
    std::thread([&] { fromWorker = PumpPendingEvents(); }).join();
    EXPECT_FALSE(fromWorker);
}

}  // namespace
}  // namespace shell
