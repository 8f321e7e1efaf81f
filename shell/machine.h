// SPDX-License-Identifier: MIT
// What the machine must give the program for a whole game: threads and address
// space, looked at before Qt starts, and Qt's painting threads, started for good
// while they can be.
//
// Done:     the threads the program runs at once started together with the workers'
//           stacks, and ended; the address space a game maps reserved, and given
//           back; Qt's thread pool, which splits large image conversions and scalings
//           between its threads and waits for them, kept to a few threads that never
//           expire, so a later paint never waits for a thread that cannot be made;
//           the reasons in Spanish.
// Not done: limits lowered from outside after start-up (prlimit --pid): shots that
//           get no stack do not fly and the window goes on painting, but with no
//           address space left at all, allocations Qt does not check (a new window's
//           icon, a frame drawn at a new scale) can still end the program.
//
// Threads: the user-interface thread, at start-up.
#pragma once

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace shell {

// Threads that run together during a game: Qt's X event reader and D-Bus thread,
// the sound library's and the sound thread, Qt's painting threads, the bar worker
// and a shot.
constexpr int ThreadsNeeded = 8;

// The address space a game maps beyond what is mapped before Qt starts (about 90 MiB
// of libraries): Qt's plugins, the window's buffers, fonts, the threads' stacks, two
// malloc arenas, the layers and frames, shots in flight. A game with a flood of shots
// peaks at about 150 MiB more; the sound server's shared memory is not counted, as
// the sound library copies instead where it cannot map it.
constexpr int64_t AddressSpaceNeeded = int64_t{192} << 20;  // bytes

// Qt's painting threads: enough for the few large images the window ever converts.
constexpr int PaintingThreads = 2;

// The reason, in Spanish, why a thread could not be started (an errno value). Inline,
// for the sound library too.
inline const char* ThreadFailure(int error) {
    switch (error) {
        case EAGAIN:
            return "se ha llegado al l\u00edmite de hilos (ulimit -u) o de memoria";
        case ENOMEM:
            return "no queda memoria";
        default:
            return std::strerror(error);
    }
}

// Starts ThreadsNeeded threads with the workers' stacks at once and ends them;
// 0 when all ran, else the error of the first that could not be started.
int TryThreadsNeeded();

// Whether AddressSpaceNeeded more bytes can be mapped.
bool EnoughAddressSpace();

// Starts Qt's painting threads and keeps them for the process's life; false when
// they cannot be started. Call it once the application exists.
bool KeepPaintingThreads();

}  // namespace shell
