#pragma once
// What the server's suites share: a store to run against (a SQLite folder or a PostgreSQL
// database of the suite's own instance), a server on it, and requests to it.
#include <httplib.h>

#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "tests/server/server_process.h"

enum class StoreKind { Sqlite, Postgres };

// The PostgreSQL instance of the whole run, started at its first use; null (with the reason)
// when it cannot be.
PostgresInstance* SharedPostgres(std::string* why);

// The store arguments (--data DIR or --database URL) of a new, empty store of `kind`.
// Empty with `why` when that kind cannot be had here.
std::vector<std::string> NewStoreArguments(StoreKind kind, TempFolder& folder, std::string* why);

// Whether `why` (from NewStoreArguments) says PostgreSQL is not installed here, the one reason
// the PostgreSQL cases are skipped; any other is a failure.
bool PostgresMissing(const std::string& why);

// A POST of a replay; `name` already URL-encoded.
httplib::Result PostGame(httplib::Client& client, const std::string& name,
                         const std::string& bytes);
nlohmann::json JsonOf(const httplib::Result& result);
