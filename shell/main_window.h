// SPDX-License-Identifier: MIT
// The main window: its title, fixed size and place, the menu "Funciones" and the three
// commands, and the pause that lets the user-interface thread handle events.
//
// Done:     title "Zarpeta"; a 1000 x 576 client area that the menu bar takes its
//           height from (the play area's lowest rows stay unseen); not resizable;
//           centred on the primary screen's work area (its frame too, once an X11
//           window manager has told its size: shell/x11_frame.h), its top-left never
//           outside it; where the window and its frame do not fit the work area, the
//           play area is shown smaller, whole, until they do; the window's own
//           menu bar (never a global one) with "Nuevo", "Autor", "Salir"; a close
//           request from the window manager, or the window destroyed by another X
//           client, ends the program; F10 selects the menu bar, as Alt does.
// Not done: mnemonics and accelerators (the menu has none).
//
// Owns: the window, its menu and the dispatch of command ids.
// Threads: the user-interface thread only (PumpPendingEvents answers false elsewhere).
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <memory>

#include "game/host.h"
#include "render/surface.h"
#include "shell/menu.h"

class QAction;
class QMenuBar;

namespace shell {

// The value that names the main window to the drawing layer.
inline const int32_t MainWindowHandle = render::NewWindowHandle();

// The play area control's id, the one every host gives it.
using game::IdGraphic;

class GraphicControl;

class MainWindowWidget final : public QWidget {
  public:
    MainWindowWidget();

    QMenuBar* MenuBar() const { return Menu; }
    QAction* NewAction() const { return New; }
    GraphicControl* Control() const { return Play; }

    // Sizes the window to fit a client area of at most room (window pixels): 1000 x
    // 576 where that fits, otherwise the play area at a smaller device scale, its rows
    // under the menu bar shown as at full size; the game told the scale. Returns the
    // client area's size.
    QSize FitInto(QSize room);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QMenuBar* Menu = nullptr;
    QAction* New = nullptr;
    GraphicControl* Play = nullptr;
    double FittedRatio = 0;  // the device pixel ratio the window was last fitted at
};

// Builds the window hidden: the play area cleared silver, the menu attached, the
// game's host installed.
std::unique_ptr<MainWindowWidget> CreateMainWindow();

// The top-left corner that centres an outer size on a work area; the work area's own
// top-left where the size does not fit, so the title bar and the menu stay reachable.
QPoint CentredPosition(QRect workArea, QSize outer);
// Fits the window, with the frame it has so far, to the primary screen's work area
// and centres it there; false when even the smallest play area does not fit.
bool CentreOnPrimaryScreen(MainWindowWidget& window);
// Fits the window, with its frame, to the work area of the screen it is on, where it is,
// moved only as far as it takes to keep it on that screen.
void FitToItsScreen(MainWindowWidget& window);
// From now on, fits and centres the window again whenever the primary screen's size
// or work area changes, or another screen becomes the primary one; fits it to its
// screen whenever its device pixel ratio may have changed (another screen, Xft.dpi).
void RefitOnScreenChanges(MainWindowWidget& window);

// Ends the program (code 0) when the shown window is destroyed by another client,
// as `xdotool windowclose` does; Qt itself would leave a windowless process.
void EndWhenDestroyedFromOutside(const QWidget& window);

// Carries out a menu command by id; any other id does nothing.
void RunCommand(int32_t id);
void ShowAuthorBox();
void QuitProgram();
QString AuthorText();

// The pump hook: handles what is pending on the user-interface thread except user
// input, and says whether anything was handled.
bool PumpPendingEvents();

}  // namespace shell
