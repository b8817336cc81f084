// A probe preloaded into orva by measure-window and the window tests: it counts frames and idle
// calls and times start-up from outside the program, so orva itself carries no timing code.
//
// It wraps glutInit, glutIdleFunc, glutMainLoop, glutSwapBuffers, and the GL calls that
// upload textures and compile display lists (so their time can be told apart), and writes one line
// of key=value figures to the file named by ORVA_PROBE_OUT when the process ends. Times are
// CLOCK_REALTIME nanoseconds, so the caller can compare them with its own launch time.
//
// On each SIGUSR1 it also takes a snapshot: wall time, the process's CPU time (all threads),
// frames, idle calls, and, when ORVA_PROBE_STATS gives the offset of orva's theLab pointer in hex
// (from nm), the simulation increments and the distance walked read from the walk's statistics,
// which begin the record it points to. Snapshots are written
// as further lines, "snapshot wall=... cpu=... frames=... idle=... increments=... distance=...".
#include <dlfcn.h>
#include <link.h>
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

long long nowNs() {
    timespec t;
    clock_gettime(CLOCK_REALTIME, &t);
    return t.tv_sec * 1000000000LL + t.tv_nsec;
}

long long processStart = 0;    // the probe's constructor, before orva's main
long long glutInitCalled = 0;  // orva's own work before GLUT ends here
long long idleRegistered = 0;  // the last callback; asset loading follows
long long mainLoopEntered = 0; // start-up is over
long long firstSwap = 0;
long long lastSwap = 0;
long long glUploadNs = 0; // inside glTexImage2D and between glNewList and glEndList
long long listOpened = 0;
long long frames = 0;
long long idleCalls = 0;
void (*programIdle)() = nullptr;

struct Snapshot {
    long long wall, cpu, frames, idleCalls, increments;
    double distance;
};
Snapshot snapshots[64];
int snapshotCount = 0;
// orva's pointer to its state, whose first bytes are the increments (long long), then the
// distance (double).
const char* const* labPointer = nullptr;

long long cpuNs() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1000000000LL + t.tv_nsec;
}

void takeSnapshot(int) {
    if (snapshotCount == 64) return;
    Snapshot& s = snapshots[snapshotCount++];
    s = Snapshot{nowNs(), cpuNs(), frames, idleCalls, 0, 0.0};
    const char* walkStats = labPointer ? *labPointer : nullptr;
    if (walkStats) {
        s.increments = *reinterpret_cast<const long long*>(walkStats);
        s.distance = *reinterpret_cast<const double*>(walkStats + 8);
    }
}

// The program's load address: the first object dl_iterate_phdr reports.
int firstObject(dl_phdr_info* info, size_t, void* base) {
    *static_cast<ElfW(Addr)*>(base) = info->dlpi_addr;
    return 1;
}

template <typename Function> Function nextSymbol(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

void countedIdle() {
    ++idleCalls;
    programIdle();
}

__attribute__((constructor)) void probeStart() {
    processStart = nowNs();
    signal(SIGUSR1, takeSnapshot);
    if (const char* offset = std::getenv("ORVA_PROBE_STATS")) {
        ElfW(Addr) base = 0;
        dl_iterate_phdr(firstObject, &base);
        labPointer =
            reinterpret_cast<const char* const*>(base + std::strtoull(offset, nullptr, 16));
    }
}

__attribute__((destructor)) void probeReport() {
    const char* path = std::getenv("ORVA_PROBE_OUT");
    if (!path) return;
    FILE* out = std::fopen(path, "w");
    if (!out) return;
    std::fprintf(
        out,
        "processStart=%lld glutInit=%lld idleRegistered=%lld mainLoop=%lld "
        "firstSwap=%lld lastSwap=%lld exit=%lld frames=%lld idleCalls=%lld glUpload=%lld\n",
        processStart, glutInitCalled, idleRegistered, mainLoopEntered, firstSwap, lastSwap, nowNs(),
        frames, idleCalls, glUploadNs);
    for (int i = 0; i < snapshotCount; ++i) {
        const Snapshot& s = snapshots[i];
        std::fprintf(out,
                     "snapshot wall=%lld cpu=%lld frames=%lld idle=%lld increments=%lld "
                     "distance=%.9f\n",
                     s.wall, s.cpu, s.frames, s.idleCalls, s.increments, s.distance);
    }
    std::fclose(out);
}

} // namespace

extern "C" {

void glutInit(int* argc, char** argv) {
    glutInitCalled = nowNs();
    nextSymbol<void (*)(int*, char**)>("glutInit")(argc, argv);
}

void glutIdleFunc(void (*callback)()) {
    programIdle = callback;
    nextSymbol<void (*)(void (*)())>("glutIdleFunc")(callback ? countedIdle : nullptr);
    idleRegistered = nowNs();
}

void glutMainLoop() {
    mainLoopEntered = nowNs();
    nextSymbol<void (*)()>("glutMainLoop")();
}

void glTexImage2D(unsigned target, int level, int internalFormat, int width, int height, int border,
                  unsigned format, unsigned type, const void* pixels) {
    const long long start = nowNs();
    nextSymbol<void (*)(unsigned, int, int, int, int, int, unsigned, unsigned, const void*)>(
        "glTexImage2D")(target, level, internalFormat, width, height, border, format, type, pixels);
    glUploadNs += nowNs() - start;
}

void glNewList(unsigned list, unsigned mode) {
    listOpened = nowNs();
    nextSymbol<void (*)(unsigned, unsigned)>("glNewList")(list, mode);
}

void glEndList() {
    nextSymbol<void (*)()>("glEndList")();
    glUploadNs += nowNs() - listOpened;
}

void glutSwapBuffers() {
    nextSymbol<void (*)()>("glutSwapBuffers")();
    lastSwap = nowNs();
    if (frames++ == 0) firstSwap = lastSwap;
}
}
