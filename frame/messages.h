#pragma once
// English for every text the program shows in an error box or a debug line. The program
// speaks Japanese; a desktop shows the English beside it for players who do not read it.
#include <cstdint>

struct MessageTranslation {
    const char* japanese;  // the program's own text or format, byte for byte
    const char* english;   // the same conversions (%s, %d) in the same order
};

// The English for a text or format, or null when the table has none.
const char* EnglishFor(const char* japanese);

// The whole table, for the checks that every text has its English.
const MessageTranslation* MessageTranslations(int32_t* count);

// Told on a second start; the first window is brought to the front where the desktop allows.
extern const char* const kAlreadyRunningMessage;
