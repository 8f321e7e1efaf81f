// SPDX-License-Identifier: MIT
// Threads and address space, tried before Qt starts; Qt's painting threads kept.
#include "shell/machine.h"

#include <pthread.h>
#include <sys/mman.h>
#include <QSemaphore>
#include <QThreadPool>

#include <array>
#include <atomic>

#include "game/commands.h"

namespace shell {

namespace {

// ---- Constants ------------------------------------------------------------------

// Generous on a loaded machine: a thread that was made runs within it.
constexpr int PaintingThreadsStartMs = 10000;

// ---- Module state ---------------------------------------------------------------

// The trial threads wait for this, so that all of them exist at once.
std::atomic<bool> TrialOver{false};

// ---- Internal helpers -----------------------------------------------------------

void* WaitForTrialEnd(void*) {
    TrialOver.wait(false);
    return nullptr;
}

}  // namespace

// ---- Public functions -----------------------------------------------------------

int TryThreadsNeeded() {
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, game::WorkerStack);
    std::array<pthread_t, ThreadsNeeded> threads{};
    int error = 0;
    int started = 0;
    while (started < ThreadsNeeded && error == 0) {
        error = pthread_create(&threads[started], &attributes, &WaitForTrialEnd, nullptr);
        started += error == 0 ? 1 : 0;
    }
    pthread_attr_destroy(&attributes);
    TrialOver.store(true);
    TrialOver.notify_all();
    for (int index = 0; index < started; ++index) {
        pthread_join(threads[index], nullptr);
    }
    return error;
}

bool EnoughAddressSpace() {
    // Reserved, not committed: under an address-space limit (ulimit -v) this fails
    // where the game would later fail to map what it needs.
    void* room = mmap(nullptr, AddressSpaceNeeded, PROT_NONE,
                      MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (room == MAP_FAILED) {
        return false;
    }
    munmap(room, AddressSpaceNeeded);
    return true;
}

bool KeepPaintingThreads() {
    // Qt's painting splits a large conversion or scaling between the threads of its
    // global pool and waits for them; a pool that can no longer start a thread would
    // wait for good. Started now, and never expiring, they are there for every paint.
    QThreadPool* pool = QThreadPool::globalInstance();
    pool->setMaxThreadCount(PaintingThreads);
    pool->setStackSize(static_cast<uint>(game::WorkerStack));
    pool->setExpiryTimeout(-1);
    // Each task holds its thread until all have started, so each gets one of its own.
    static QSemaphore running;
    static QSemaphore release;
    for (int task = 0; task < PaintingThreads; ++task) {
        pool->start([] {
            running.release();
            release.acquire();
        });
    }
    const bool started = running.tryAcquire(PaintingThreads, PaintingThreadsStartMs);
    release.release(PaintingThreads);
    return started;
}

}  // namespace shell
