#pragma once
// The schema's history, oldest first. A database records the last version applied in
// schema_version; at start every later step runs, each in its own transaction with the new
// version, so a step is applied whole or not at all. Steps are only ever appended.

struct Migration {
    int version;
    const char* sqlite;    // statements separated by ';'
    const char* postgres;  // statements separated by ';'
};

inline constexpr Migration kMigrations[] = {
    {1,
     // The entries, ranked by score then by age (id); the replays apart, so that reading a
     // page of the ranking never touches their bytes.
     "CREATE TABLE games ("
     " id INTEGER PRIMARY KEY AUTOINCREMENT,"
     " sha256 TEXT NOT NULL UNIQUE,"
     " name TEXT NOT NULL,"
     " score INTEGER NOT NULL, lines INTEGER NOT NULL, level INTEGER NOT NULL,"
     " time_ms INTEGER NOT NULL,"
     " medal0 INTEGER NOT NULL, medal1 INTEGER NOT NULL, medal2 INTEGER NOT NULL,"
     " medal3 INTEGER NOT NULL, medal4 INTEGER NOT NULL, medal5 INTEGER NOT NULL,"
     " start_level INTEGER NOT NULL, submitted INTEGER NOT NULL);"
     "CREATE INDEX games_by_rank ON games (score DESC, id);"
     "CREATE INDEX games_by_level_rank ON games (start_level, score DESC, id);"
     "CREATE TABLE replays (id INTEGER PRIMARY KEY REFERENCES games (id), bytes BLOB NOT NULL)",
     "CREATE TABLE games ("
     " id BIGSERIAL PRIMARY KEY,"
     " sha256 TEXT NOT NULL UNIQUE,"
     " name TEXT NOT NULL,"
     " score INTEGER NOT NULL, lines INTEGER NOT NULL, level INTEGER NOT NULL,"
     " time_ms INTEGER NOT NULL,"
     " medal0 INTEGER NOT NULL, medal1 INTEGER NOT NULL, medal2 INTEGER NOT NULL,"
     " medal3 INTEGER NOT NULL, medal4 INTEGER NOT NULL, medal5 INTEGER NOT NULL,"
     " start_level INTEGER NOT NULL, submitted BIGINT NOT NULL);"
     "CREATE INDEX games_by_rank ON games (score DESC, id);"
     "CREATE INDEX games_by_level_rank ON games (start_level, score DESC, id);"
     "CREATE TABLE replays (id BIGINT PRIMARY KEY REFERENCES games (id), bytes BYTEA NOT NULL)"},
    {2,
     // The lists' lengths kept with the entries, so that a page of the ranking does not count
     // the whole board; -1 counts every entry.
     "CREATE TABLE board_counts (start_level INTEGER PRIMARY KEY, n INTEGER NOT NULL);"
     "INSERT INTO board_counts (start_level, n) SELECT -1, count(*) FROM games;"
     "INSERT INTO board_counts (start_level, n)"
     " SELECT start_level, count(*) FROM games GROUP BY start_level",
     "CREATE TABLE board_counts (start_level INTEGER PRIMARY KEY, n BIGINT NOT NULL);"
     "INSERT INTO board_counts (start_level, n) SELECT -1, count(*) FROM games;"
     "INSERT INTO board_counts (start_level, n)"
     " SELECT start_level, count(*) FROM games GROUP BY start_level"},
};
