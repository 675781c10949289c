// rank_e.dat from any bytes: the expert top ten.
#include "fuzz/rank_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CheckRankingParse(true, data, size);
    return 0;
}
