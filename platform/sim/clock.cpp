// The simulated high-resolution clock: microseconds that move on at every
// reading (see World::perfCounterStep), so that a long operation which paces
// itself by the clock can be run step by step in a test.
#include "platform/sim/sim.h"

BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency) {
    frequency->QuadPart = 1000000;
    return TRUE;
}

BOOL QueryPerformanceCounter(LARGE_INTEGER* count) {
    sim::World& w = sim::W();
    w.perfCounter += w.perfCounterStep;
    count->QuadPart = static_cast<LONGLONG>(w.perfCounter);
    return TRUE;
}
