// SPDX-License-Identifier: MIT
// The window on Qt's offscreen platform, where a unit test sees what the desktop hides:
// the menu's ids and keyboard, the author boxes, the play area's scale and the aim at
// it, the play area's description for screen readers, "Nuevo" and the pump hook.
#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QTest>

#include <array>
#include <cmath>
#include <cstdlib>
#include <thread>
#include <utility>
#include <vector>

#include "game/frame.h"
#include "game/host.h"
#include "game/state.h"
#include "shell/accessibility.h"
#include "shell/graphic_control.h"
#include "shell/main_window.h"
#include "shell/play_geometry.h"

namespace shell {
namespace {

// One application and one window for the whole binary, kept until the process ends
// as in the program (Qt's own statics are gone by the time ours would be destroyed).
MainWindowWidget& Window() {
    static int argumentCount = 1;
    static char* arguments[] = {const_cast<char*>("window_test"), nullptr};
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
    const auto item = [&](int i) { return std::pair(items[i]->text(), items[i]->data().toInt()); };
    EXPECT_EQ((std::vector{item(0), item(1), item(2)}),
              (std::vector<std::pair<QString, int>>{
                  {"Nuevo", IdNew}, {"Autor", IdAuthor}, {"Salir", IdQuit}}));
    // A work area smaller than the window puts it at the work area's corner, never
    // under a panel or off screen.
    EXPECT_EQ(CentredPosition(QRect(0, 0, 800, 500), QSize(1000, 576)), QPoint(0, 0));
    EXPECT_EQ(CentredPosition(QRect(40, 27, 984, 546), QSize(1002, 597)), QPoint(40, 27));
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
    EXPECT_TRUE(!QApplication::activeModalWidget() && boxes[0]->parent() == nullptr);
    QPointer<QMessageBox> watched = boxes[0];
    boxes[0]->button(QMessageBox::Ok)->click();
    boxes[1]->button(QMessageBox::Ok)->click();
    HandlePosted();
    EXPECT_TRUE(watched.isNull() && OpenAuthorBoxes().isEmpty());  // closed boxes are deleted
}

// F10 selects "Funciones" without opening it, as Alt does, once per press however long
// it is held; Down opens it; F10 again leaves the bar.
TEST(MainWindow, F10SelectsTheMenuBarAndDownOpensIt) {
    QMenuBar* bar = Window().MenuBar();
    QMenu* functions = bar->actions().value(0)->menu();
    QTest::keyClick(&Window(), Qt::Key_F10);
    EXPECT_EQ(bar->activeAction(), functions->menuAction());
    EXPECT_FALSE(functions->isVisible());
    QKeyEvent held(QEvent::KeyPress, Qt::Key_F10, Qt::NoModifier, QString(), true);
    QCoreApplication::sendEvent(&Window(), &held);
    EXPECT_EQ(bar->activeAction(), functions->menuAction());
    QTest::keyClick(bar, Qt::Key_Down);
    EXPECT_TRUE(functions->isVisible());
    QTest::keyClick(functions, Qt::Key_Escape);
    EXPECT_FALSE(functions->isVisible());
    QTest::keyClick(&Window(), Qt::Key_F10);
    EXPECT_EQ(bar->activeAction(), nullptr);
}

void SendMouse(QEvent::Type type, int y, Qt::MouseButton button) {
    GraphicControl* control = Window().Control();
    const QPointF local(300, y);
    QMouseEvent event(type, local, control->mapToGlobal(local), button,
                      type == QEvent::MouseMove ? Qt::NoButton : button, Qt::NoModifier);
    QCoreApplication::sendEvent(control, &event);
}

// A move aims from the logical row the device pixel under it shows, the one whose
// device span holds it, at every scale, up to 503; double-clicks fire nothing.
TEST(Mouse, AimsFromTheRowItsDevicePixelShowsUpTo503AndDoubleClicksFireNothing) {
    for (const render::Scale scale : {render::Scale{5, 4}, {3, 2}, {2, 1}, {3, 1}, {4, 5}}) {
        for (int32_t row = -3; row < 600; ++row) {
            for (int64_t device = render::ToDevice(row, scale);
                 device < render::ToDevice(row + 1, scale); ++device) {
                ASSERT_EQ(LogicalRowAt(device, scale), row) << scale.Num << "/" << scale.Den;
            }
        }
    }
    const std::shared_ptr<game::Game> played = game::CreateGame();  // aimed at, never run
    game::MakeCurrentGame(played);
    game::GameState& state = played->State;
    // At 1x window y 505 is client y 504, past the limit, and y 0 is on the border.
    // Fitted to 800 x 600, at 4/5, window y 101 is the image's device row 100, which
    // shows row 126; 403 shows 503 and 404 shows 504.
    const struct {
        int Width, Y, Aim;  // the room's width, three quarters of it high
    } moves[] = {{3200, 101, 100}, {3200, 504, 503}, {3200, 102, 101}, {3200, 505, 101},
                 {3200, 0, 101},   {800, 101, 126},  {800, 403, 503},  {800, 404, 503}};
    for (const auto& move : moves) {
        Window().FitInto(QSize(move.Width, move.Width * 3 / 4));
        SendMouse(QEvent::MouseMove, move.Y, Qt::NoButton);
        EXPECT_EQ(state.AimY.load(), move.Aim) << move.Y << " in " << move.Width;
    }
    Window().FitInto(QSize(3200, 1800));
    const int32_t shots = state.ShotCount.load();
    SendMouse(QEvent::MouseButtonDblClick, 200, Qt::LeftButton);
    SendMouse(QEvent::MouseButtonPress, 200, Qt::RightButton);
    EXPECT_EQ(state.ShotCount.load(), shots);
    game::MakeCurrentGame(nullptr);
}

// The device pixels the widget's width leaves right of the image and its margin, as
// Qt gives the widget device pixels.
int RightBorderOf(const PlayGeometry& play, double ratio) {
    return static_cast<int>(std::lround(play.Widget.width() * ratio)) - play.Border -
           play.Image.width() - play.Margin;
}

// The play area's scale is the window's device pixel ratio as an exact ratio, or the
// largest that fits the room, the window then as wide as that scale makes it.
TEST(PlayArea, TheScaleIsTheWindowsRatioOrTheLargestThatFits) {
    struct Row {  // the client area under a menu bar 22 window pixels high
        double Ratio;
        int RoomWidth, RoomHeight, Num, Den, Width, Height, Border, Margin, RightBorder;
    };
    for (const Row& row : std::vector<Row>{
             {1, 3200, 1800, 1, 1, 1000, 576, 1, 0, 1},
             {1.25, 3200, 1800, 5, 4, 1000, 576, 1, 1, 1},  // 1250 device pixels: one to spare
             {1.5, 3200, 1800, 3, 2, 1000, 576, 2, 0, 1},   // 1500: one short of 2 + 1497 + 2
             {2, 3200, 1800, 2, 1, 1000, 576, 2, 0, 2},
             {3, 3200, 1800, 3, 1, 1000, 576, 3, 0, 3},
             {1, 800, 600, 4, 5, 800, 465, 1, 0, 1},
             {1.25, 800, 600, 1, 1, 800, 466, 1, 0, 1},          // 5/4 by a fit of 4/5
             {2, 960, 600, 15, 8, 938, 541, 2, 1, 2},            // 1876 device pixels: one to spare
             {100.0 / 96, 3200, 1800, 1, 1, 960, 554, 1, 0, 1},  // Xft.dpi 100: 1 is exact
         }) {
        const PlayGeometry play = FitPlayArea(row.Ratio, {row.RoomWidth, row.RoomHeight}, 22);
        EXPECT_EQ(
            (std::array{play.Scale.Num, play.Scale.Den, play.Widget.width(), 22 + play.ShownHeight,
                        play.Border, play.Margin, RightBorderOf(play, row.Ratio)}),
            (std::array{row.Num, row.Den, row.Width, row.Height, row.Border, row.Margin,
                        row.RightBorder}))
            << row.Ratio << " in " << row.RoomWidth << "x" << row.RoomHeight;
    }
    // Any room holds the window, nine tenths as wide as the room up to 1000 at least,
    // with a right border.
    for (const double ratio : {1.0, 1.25, 1.5, 2.0, 3.0}) {
        for (int32_t width = 300; width <= 1300; width += 7) {
            const QSize room(width, width * 3 / 4);
            const PlayGeometry play = FitPlayArea(ratio, room, 22);
            const int32_t widest = std::min(width, 1000);
            EXPECT_TRUE(play.Widget.width() <= widest && play.Widget.width() * 10 >= widest * 9 &&
                        22 + play.ShownHeight <= room.height() && RightBorderOf(play, ratio) >= 1)
                << ratio << " in " << width;
        }
    }
}

// Once an end screen is up, the play area's description tells that end with the count
// on it, whatever the shots still flying add.
TEST(Accessibility, TheEndIsToldWithTheCountItsScreenShows) {
    const std::shared_ptr<game::Game> played = game::CreateGame();
    game::MakeCurrentGame(played);
    played->State.BlocksDestroyed = 37;
    EXPECT_EQ(DescribeGame(ReadGameSpoken()), "Bloques Destruidos 37");
    played->State.ShownEnd.store({37, game::GameEnd::Lost});
    played->State.BlocksDestroyed = 100;
    EXPECT_EQ(DescribeGame(ReadGameSpoken()), "Bloques Destruidos 37. Game Over");
    game::MakeCurrentGame(nullptr);
    EXPECT_TRUE(DescribeGame(ReadGameSpoken()).isEmpty());
}

// Greying on the interface thread is at once; a worker's requests are queued, never
// applied on the worker, and the last one asked for wins. The pump hook handles
// posted work only on the interface thread, and never nests.
TEST(QtHost, GreyingIsImmediateTheLastRequestFromAWorkerWinsAndThePumpNeverNests) {
    QAction* item = Window().NewAction();
    game::SetNewEnabled(false);
    EXPECT_FALSE(item->isEnabled());
    std::thread([] {
        for (int i = 0; i <= 1001; ++i) {
            game::SetNewEnabled(i % 2 == 1);  // false first, true last
        }
    }).join();
    EXPECT_FALSE(item->isEnabled());
    HandlePosted();
    EXPECT_TRUE(item->isEnabled());
    bool nestedHandled = true, fromWorker = true;
    QMetaObject::invokeMethod(
        qApp, [&] { nestedHandled = PumpPendingEvents(); }, Qt::QueuedConnection);
    EXPECT_TRUE(PumpPendingEvents());
    std::thread([&] { fromWorker = PumpPendingEvents(); }).join();
    // nestedHandled stays true if the posted work never ran.
    EXPECT_EQ(std::pair(nestedHandled, fromWorker), std::pair(false, false));
}

}  // namespace
}  // namespace shell
