#pragma once
// Submissions per client address: a token bucket each, `burst` tokens deep, refilled at
// `rate` a second. Reading the ranking is not limited.
#include <string>

void SetRateLimit(double rate, double burst);
// 0 when the client at `address` may send now (a token is taken), else the whole seconds to
// wait before the next token.
int TakeSubmitToken(const std::string& address, double nowSeconds);
// Every bucket forgotten, the default rate.
void ResetRateLimit();
