// SPDX-License-Identifier: MIT
// The Qt host of the game: how the game's requests reach the window and the sound.
//
// Done:     "Nuevo" greyed and enabled from any thread, applied on the
//           user-interface thread in the order the game asked, and each change told
//           to assistive technology; cues handed to the sound output at once.
// Not done: nothing else is asked of the host.
//
// Owns: the host object (alive for the whole process) and the state of "Nuevo" the
// game last asked for.
// Threads: the game calls the host from any thread; InstallQtHost and the "Nuevo"
// action itself belong to the user-interface thread.
#pragma once

class QAction;

namespace shell {

// Installs the host; from now on the state of "Nuevo" goes to newAction and frames go
// to the main window's play area.
void InstallQtHost(QAction* newAction);

// Whether the caller is the user-interface thread (false before the application exists).
bool OnUserInterfaceThread();

}  // namespace shell
