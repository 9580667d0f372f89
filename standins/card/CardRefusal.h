// A stand-in filter whose creation the card's failure table can refuse, as it
// can the card's own calls: StandinClass's `refused` for the filter, named by
// the call that `cardctl fail` names.
#pragma once
#include "CardState.h"

template <const char* Call>
bool CardRefusesCreation() {
    if (!CardShouldFail(Call)) return false;
    CardLog("%s: made to fail", Call);
    return true;
}
