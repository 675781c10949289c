#pragma once
// A fresh, empty working directory for one test, where the program finds and writes its data
// files and assets; it is removed and the old directory restored afterwards.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

class ScopedWorkDir {
public:
    ScopedWorkDir() : old_(std::filesystem::current_path()) {
        const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
        dir_ = std::filesystem::path(testing::TempDir()) /
               (std::string("plusrail_") + test->test_suite_name() + "_" + test->name() + "_" +
                std::to_string(getpid()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        std::filesystem::current_path(dir_);
    }
    ~ScopedWorkDir() {
        std::filesystem::current_path(old_);
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    ScopedWorkDir(const ScopedWorkDir&) = delete;
    ScopedWorkDir& operator=(const ScopedWorkDir&) = delete;

private:
    std::filesystem::path old_, dir_;
};
