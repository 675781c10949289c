#include "rules/events.h"

PlayEventList PlayEvents;

void ClearPlayEvents() { PlayEvents.count = 0; }

void EmitPlayEvent(PlayEventKind kind, int32_t value, int32_t detail) {
    // The capacity holds every update the rules can make; nothing past it is ever written.
    if (PlayEvents.count >= kPlayEventCapacity) return;
    PlayEvents.events[PlayEvents.count++] = PlayEvent{kind, value, detail};
}
