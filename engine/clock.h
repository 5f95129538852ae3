// The frame clock: note the time at the start of a pass, then wait until a number of
// milliseconds has gone by.
#pragma once
#include <cstdint>

extern uint32_t clock_start_time;  // the tick clock_start last read; 0 before it runs

uint32_t clock_now();
uint32_t clock_start();
// Never returns before ms have passed since clock_start (unsigned, so across the tick's
// wrap); sleeps for most of the wait and spins only the last moment.
uint32_t clock_wait(uint32_t ms);
