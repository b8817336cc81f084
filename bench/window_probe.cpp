// A probe preloaded into orva by measure-window: it counts frames and idle calls and times
// start-up from outside the program, so orva itself carries no timing code.
//
// It wraps glutInit, glutIdleFunc, glutMainLoop, glutSwapBuffers, and the GL calls that
// upload textures and compile display lists (so their time can be told apart), and writes one line
// of key=value figures to the file named by ORVA_PROBE_OUT when the process ends. Times are
// CLOCK_REALTIME nanoseconds, so the caller can compare them with its own launch time.
#include <dlfcn.h>

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

template <typename Function> Function nextSymbol(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

void countedIdle() {
    ++idleCalls;
    programIdle();
}

__attribute__((constructor)) void probeStart() {
    processStart = nowNs();
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
