#pragma once
// The built plusrail-sim run from a fresh working directory of the test's own, with the
// generated pictures and sounds linked into its game folder when the build made them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct SimRun {
    int status = -1;
    std::string out, errors;  // what it wrote to stdout and stderr
};

class SimWork : public testing::Test {
protected:
    void SetUp() override {
        namespace fs = std::filesystem;
        const char* binaryDir = std::getenv("PLUSRAIL_BINARY_DIR");
        ASSERT_NE(binaryDir, nullptr) << "PLUSRAIL_BINARY_DIR names the build directory";
        sim_ = fs::path(binaryDir) / "plusrail-sim";
        ASSERT_TRUE(fs::exists(sim_)) << sim_;
        const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
        // The process id keeps runs of the same test from two build trees apart.
        work_ = fs::path(testing::TempDir()) / (std::string(test->test_suite_name()) + "_" +
                                                test->name() + "_" + std::to_string(getpid()));
        fs::remove_all(work_);
        fs::create_directories(work_ / "game");
        const fs::path assets = fs::path(binaryDir) / "game";
        haveAssets_ = fs::exists(assets / "bmp") && fs::exists(assets / "wave");
        for (const char* kind : {"bmp", "wave"})
            if (haveAssets_) fs::create_directory_symlink(assets / kind, work_ / "game" / kind);
    }
    // A failed test leaves its folder to be looked at.
    void TearDown() override {
        if (!HasFailure()) std::filesystem::remove_all(work_);
    }

    // Runs the simulator from the work directory; paths in args are relative to it.
    SimRun Run(const std::vector<std::string>& args) {
        // Nothing here holds a quote: plain single quotes are enough.
        std::string command = "cd '" + work_.string() + "' && '" + sim_.string() + "'";
        for (const std::string& a : args) command += " '" + a + "'";
        EXPECT_EQ(std::system((command + " >out.txt 2>err.txt; echo $? >status.txt").c_str()), 0);
        return SimRun{std::stoi(ReadFile(work_ / "status.txt")), ReadFile(work_ / "out.txt"),
                      ReadFile(work_ / "err.txt")};
    }
    // The program from its start on a script, leaving state.json and events.txt.
    SimRun RunScript(const std::string& script, int frames, std::vector<std::string> more = {}) {
        std::ofstream(work_ / "input.txt") << script;
        std::vector<std::string> args{"--dir",    "game",      "--frames", std::to_string(frames),
                                      "--input",  "input.txt", "--state",  "state.json",
                                      "--events", "events.txt"};
        args.insert(args.end(), more.begin(), more.end());
        return Run(args);
    }
    nlohmann::json State() { return nlohmann::json::parse(ReadFile(work_ / "state.json")); }

    std::filesystem::path sim_, work_;
    bool haveAssets_ = false;
};
