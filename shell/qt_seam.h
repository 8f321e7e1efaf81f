// SPDX-License-Identifier: MIT
// The Qt side of the seam: how the game's requests reach the window and the sound.
//
// Done:     "Nuevo" greyed and enabled from any thread, applied on the
//           user-interface thread in the order the game asked; cues handed to the
//           sound output at once.
// Not done: nothing else is asked of the shell.
//
// Owns: the seam object (alive for the whole process) and the state of "Nuevo" the
// game last asked for.
// Threads: the game calls the seam from any thread; InstallQtSeam and the "Nuevo"
// action itself belong to the user-interface thread.
#pragma once

class QAction;

namespace shell {

// Installs the seam; from now on the state of "Nuevo" goes to newAction.
void InstallQtSeam(QAction* newAction);

// Whether the caller is the user-interface thread (false before the application exists).
bool OnUserInterfaceThread();

}  // namespace shell
