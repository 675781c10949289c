#include "frame/start_choice.h"

StartChoiceRecord StartChoice;

void ResetStartChoice() { StartChoice = StartChoiceRecord{}; }
