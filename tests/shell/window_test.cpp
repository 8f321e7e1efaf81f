// SPDX-License-Identifier: MIT
// The window on Qt's offscreen platform, where a unit test sees what the desktop hides:
// the menu's ids, the author boxes, refreshes from many threads, the aim, "Nuevo" and
// the pump hook.
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

#include "game/host.h"
#include "game/state.h"
#include "render/surface.h"
#include "shell/graphic_control.h"
#include "shell/main_window.h"

namespace shell {
namespace {

// One application and one window for the whole binary, kept until the process ends
// as in the program (Qt's own statics are gone by the time ours would be destroyed).
MainWindowWidget& Window() {
    static int argumentCount = 1;
    static char name[] = "window_test";
    static char* arguments[] = {name, nullptr};
    static MainWindowWidget* window = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        new QApplication(argumentCount, arguments);
        MainWindowWidget* made = CreateMainWindow().release();
        made->show();
        return made;
    }();
    return *window;
}

// Posted events, deferred deletes, then queued refreshes and their repaints.
void HandlePosted() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (int round = 0; round < 3; ++round) {
        QCoreApplication::processEvents();
    }
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

TEST(MainWindow, TheMenuItsIdsAndTheAuthorsParentlessNonModalBoxes) {
    const QList<QAction*> items = Window().MenuBar()->actions().value(0)->menu()->actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0], Window().NewAction());
    const std::pair<const char*, int> expected[] = {
        {"Nuevo", IdNew}, {"Autor", IdAuthor}, {"Salir", IdQuit}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(std::pair(items[i]->text(), items[i]->data().toInt()),
                  std::pair(QString(expected[i].first), expected[i].second));
    }
    // A work area smaller than the window puts it at the corner, never off screen.
    EXPECT_EQ(CentredPosition(QRect(0, 0, 800, 500), QSize(1000, 576)), QPoint(0, 0));
    for (const int32_t id : {0, IdGraphic, 1002, 1006, -1}) {
        RunCommand(id);
    }
    HandlePosted();
    EXPECT_TRUE(OpenAuthorBoxes().isEmpty());
    RunCommand(IdAuthor);
    RunCommand(IdAuthor);
    const QList<QMessageBox*> boxes = OpenAuthorBoxes();
    ASSERT_EQ(boxes.size(), 2);
    EXPECT_EQ(boxes[0]->text(), QString::fromUtf8("Autor: el equipo de Zarpeta\nVersión "
                                                  "0.2.2.0\nwww.zarpeta.example"));
    EXPECT_FALSE(QApplication::activeModalWidget());
    EXPECT_EQ(boxes[0]->parent(), nullptr);
    QPointer<QMessageBox> watched = boxes[0];
    for (QMessageBox* box : boxes) {
        box->button(QMessageBox::Ok)->click();
    }
    HandlePosted();
    EXPECT_TRUE(watched.isNull() && OpenAuthorBoxes().isEmpty());  // closed boxes are deleted
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

// Each worker's boxes land one border pixel in, and every refresh is repainted.
TEST(PlayArea, RefreshesFromManyThreadsAreAllRepainted) {
    Window();
    HandlePosted();
    PaintRecorder recorder;
    std::thread workers[4];
    for (int i = 0; i < 4; ++i) {
        workers[i] = std::thread([i] {
            render::AttachSurface(MainWindowHandle, IdGraphic, 0);
            for (int step = 0; step < 50; ++step) {
                const float x = static_cast<float>(100 * i + 2 * step);
                render::DrawBox(x, 400, x + 2, 402, 0, 0x00FF00, 0x00FF00, 0);
            }
        });
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
    HandlePosted();
    const QRegion painted = recorder.Painted;          // before grab() repaints everything
    EXPECT_FALSE(painted.contains(QPoint(500, 300)));  // nothing drawn there
    const QImage shown = Window().Control()->grab().toImage();
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(painted.contains(QRect(1 + 100 * i, 401, 100, 2))) << i;
        EXPECT_EQ(shown.pixel(1 + 100 * i + 99, 402), 0xFF00FF00) << i;
    }
}

void SendMouse(QEvent::Type type, int y, Qt::MouseButton button) {
    GraphicControl* control = Window().Control();
    const QPointF local(300, y);
    QMouseEvent event(type, local, control->mapToGlobal(local), button,
                      type == QEvent::MouseMove ? Qt::NoButton : button, Qt::NoModifier);
    QCoreApplication::sendEvent(control, &event);
}

TEST(Mouse, MovesAimInsideTheBorderUpTo503AndDoubleClicksFireNothing) {
    Window();
    game::GameState& state = game::CurrentGame()->State;
    // Window y 505 is client y 504, past the limit, and y 0 is on the border: both ignored.
    for (auto [y, aim] : {std::pair{101, 100}, {504, 503}, {102, 101}, {505, 101}, {0, 101}}) {
        SendMouse(QEvent::MouseMove, y, Qt::NoButton);
        EXPECT_EQ(state.AimY.load(), aim) << y;
    }
    const int32_t shots = state.ShotCount.load();
    SendMouse(QEvent::MouseButtonDblClick, 200, Qt::LeftButton);
    SendMouse(QEvent::MouseButtonPress, 200, Qt::RightButton);
    EXPECT_EQ(state.ShotCount.load(), shots);
}

// Greying on the interface thread is at once; a worker's requests are queued, never
// applied on the worker, and the last one asked for wins. The pump hook handles
// posted work only on the interface thread, and never nests.
TEST(QtHost, GreyingIsImmediateTheLastRequestFromAWorkerWinsAndThePumpNeverNests) {
    QAction* item = Window().NewAction();
    game::SetNewEnabled(false);
    EXPECT_FALSE(item->isEnabled());
    std::thread([] { game::SetNewEnabled(true); }).join();
    EXPECT_FALSE(item->isEnabled());
    HandlePosted();
    EXPECT_TRUE(item->isEnabled());
    std::thread([] {
        for (int i = 0; i < 1000; ++i) {
            game::SetNewEnabled(i % 2 == 1);
        }
        game::SetNewEnabled(false);
    }).join();
    HandlePosted();
    EXPECT_FALSE(item->isEnabled());
    bool nestedHandled = true, fromWorker = true;
    QMetaObject::invokeMethod(
        qApp, [&] { nestedHandled = PumpPendingEvents(); }, Qt::QueuedConnection);
    EXPECT_TRUE(PumpPendingEvents());
    EXPECT_FALSE(nestedHandled);  // stays true if the posted work never ran
    std::thread([&] { fromWorker = PumpPendingEvents(); }).join();
    EXPECT_FALSE(fromWorker);
}

}  // namespace
}  // namespace shell
