#pragma once
// The fuzz targets' checked-in inputs (fuzz/corpus/<target>/): the seeds, valid files of every
// variant, and inputs that once crashed a reader, kept under a name starting "crash-".
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

inline std::vector<std::string> FuzzCorpus(const char* target) {
    std::vector<std::string> paths;
    const char* sourceDir = std::getenv("PLUSRAIL_SOURCE_DIR");
    if (!sourceDir) {
        ADD_FAILURE() << "PLUSRAIL_SOURCE_DIR names the source directory";
        return paths;
    }
    const std::filesystem::path dir = std::filesystem::path(sourceDir) / "fuzz/corpus" / target;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(dir, error))
        if (entry.is_regular_file()) paths.push_back(entry.path().string());
    std::sort(paths.begin(), paths.end());
    if (paths.empty()) ADD_FAILURE() << "no inputs in " << dir;
    return paths;
}

inline bool IsKeptCrash(const std::string& path) {
    return std::filesystem::path(path).filename().string().starts_with("crash-");
}
