#include "tests/server/server_test_support.h"

#include <unistd.h>

#include <atomic>
#include <mutex>

PostgresInstance* SharedPostgres(std::string* why) {
    static std::mutex mutex;
    static std::unique_ptr<PostgresInstance> instance;
    static std::string failure;
    static bool tried = false;
    std::lock_guard<std::mutex> lock(mutex);
    if (!tried) {
        tried = true;
        auto made = std::make_unique<PostgresInstance>();
        if (made->Start(&failure)) instance = std::move(made);
    }
    if (!instance) *why = failure;
    return instance.get();
}

std::vector<std::string> NewStoreArguments(StoreKind kind, TempFolder& folder, std::string* why) {
    if (kind == StoreKind::Sqlite) return {"--data", folder.path + "/data"};
    PostgresInstance* pg = SharedPostgres(why);
    if (!pg) return {};
    static std::atomic<int> next{0};
    const std::string name = "ranking_" + std::to_string(getpid()) + "_" + std::to_string(next++);
    return {"--database", pg->NewDatabase(name)};
}

bool PostgresMissing(const std::string& why) {
    return why.rfind("PostgreSQL is not installed", 0) == 0;
}

httplib::Result PostGame(httplib::Client& client, const std::string& name,
                         const std::string& bytes) {
    return client.Post(("/api/v1/games?name=" + name).c_str(), bytes, "application/octet-stream");
}

nlohmann::json JsonOf(const httplib::Result& result) {
    if (!result) return nlohmann::json();
    return nlohmann::json::parse(result->body, nullptr, false);
}
