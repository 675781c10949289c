// rank_n.dat from any bytes: the normal top ten.
#include "fuzz/rank_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CheckRankingParse(false, data, size);
    return 0;
}
