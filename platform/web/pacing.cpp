// The pass accumulator for the browser's animation-frame callbacks.
#include "platform/web/pacing.h"

void pacer_reset(Pacer* pacer) {
    pacer->last_ms = pacer->owed_ms = 0.0;
    pacer->started = 0;
}

void pacer_set_pass_ms(Pacer* pacer, double pass_ms) {
    pacer->pass_ms = pass_ms > 0.0 ? pass_ms : PASS_MS;
}

int pacer_passes_due(Pacer* pacer, double now_ms) {
    if (!pacer->started) {
        // The first pass runs at once, so the title shows without waiting a pass.
        pacer->started = 1;
        pacer->last_ms = now_ms;
        pacer->owed_ms = 0.0;
        return 1;
    }
    double passed = now_ms - pacer->last_ms;
    pacer->last_ms = now_ms;
    if (passed < 0.0) {
        passed = 0.0;  // a clock that steps back owes nothing
    }
    pacer->owed_ms += passed;
    int passes = 0;
    const double pass_ms = pacer->pass_ms > 0.0 ? pacer->pass_ms : PASS_MS;
    while (pacer->owed_ms >= pass_ms && passes < MAX_PASSES_PER_CALLBACK) {
        pacer->owed_ms -= pass_ms;
        passes++;
    }
    if (pacer->owed_ms >= pass_ms) {
        pacer->owed_ms = 0.0;
    }
    return passes;
}

double pacer_ms_until_due(const Pacer* pacer) {
    if (!pacer->started) {
        return 0.0;
    }
    const double pass_ms = pacer->pass_ms > 0.0 ? pacer->pass_ms : PASS_MS;
    return pacer->owed_ms < pass_ms ? pass_ms - pacer->owed_ms : 0.0;
}
