#include "tests/server/server_process.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;

namespace {

std::string EnvOr(const char* name, const char* fallback) {
    const char* v = std::getenv(name);
    return v && *v ? v : fallback;
}

int FreePort() {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    socklen_t size = sizeof a;
    int port = 0;
    if (bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        getsockname(s, reinterpret_cast<sockaddr*>(&a), &size) == 0)
        port = ntohs(a.sin_port);
    close(s);
    return port;
}

}  // namespace

std::string BuildPath(const std::string& name) {
    return EnvOr("PLUSRAIL_BINARY_DIR", ".") + "/" + name;
}

std::string SourcePath(const std::string& name) {
    return EnvOr("PLUSRAIL_SOURCE_DIR", "..") + "/" + name;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TempFolder::TempFolder() {
    char pattern[] = "/tmp/plusrail-server-test-XXXXXX";
    const char* made = mkdtemp(pattern);
    path = made ? made : "";
    // Readable by the postgres user when the suite runs as root.
    if (!path.empty()) chmod(path.c_str(), 0777);
}

TempFolder::~TempFolder() {
    std::error_code ec;
    if (!path.empty()) fs::remove_all(path, ec);
}

bool ServerProcess::Start(const std::vector<std::string>& arguments, std::string* error) {
    outputPath_ = folder_.path + "/output.txt";
    const std::string program = BuildPath("plusrail-server");
    std::vector<std::string> args = {program, "--listen", "127.0.0.1:0"};
    args.insert(args.end(), arguments.begin(), arguments.end());
    pid_ = fork();
    if (pid_ == 0) {
        const int out = open(outputPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, 1);
        dup2(out, 2);
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    // The address comes on the first line; a hang guard of ten seconds.
    const std::regex listening("listening on http://127\\.0\\.0\\.1:([0-9]+)");
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < until) {
        std::smatch m;
        const std::string text = Output();
        if (std::regex_search(text, m, listening)) {
            port_ = std::stoi(m[1]);
            return true;
        }
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    *error = "the server did not start: " + Output();
    return false;
}

std::string ServerProcess::Output() const { return ReadFile(outputPath_); }

int ServerProcess::Stop(int signal, double seconds) {
    if (pid_ <= 0) return -1;
    kill(pid_, signal);
    const auto until = std::chrono::steady_clock::now() +
                       std::chrono::milliseconds(static_cast<int>(seconds * 1000));
    int status = 0;
    while (std::chrono::steady_clock::now() < until) {
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return -2;
}

ServerProcess::~ServerProcess() {
    if (pid_ > 0) Stop(SIGKILL, 5);
}

std::string PostgresInstance::Run(const std::string& command, int* status) const {
    // As root, the postgres user runs the cluster: the server refuses to run as root.
    const std::string full = (geteuid() == 0 ? "runuser -u postgres -- " : "") + command + " 2>&1";
    std::string out;
    FILE* p = popen(full.c_str(), "r");
    if (!p) {
        *status = -1;
        return "cannot run " + command;
    }
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, p)) out += buffer;
    *status = pclose(p);
    return out;
}

bool PostgresInstance::Start(std::string* why) {
    for (const char* version : {"17", "16", "15", "14", "13"}) {
        const std::string bin = std::string("/usr/lib/postgresql/") + version + "/bin";
        if (fs::exists(bin + "/initdb") && fs::exists(bin + "/pg_ctl")) {
            bin_ = bin;
            break;
        }
    }
    if (bin_.empty()) {
        *why = "PostgreSQL is not installed (scripts/install-deps.sh --server installs it)";
        return false;
    }
    char pattern[] = "/tmp/plusrail-pg-XXXXXX";
    const char* made = mkdtemp(pattern);
    if (!made) {
        *why = "no temporary folder";
        return false;
    }
    dir_ = made;
    if (geteuid() == 0) {
        const std::string chown = "chown postgres " + dir_;
        if (std::system(chown.c_str()) != 0) {
            *why = "cannot give " + dir_ + " to the postgres user";
            return false;
        }
    }
    int status = 0;
    std::string out =
        Run(bin_ + "/initdb -A trust -U postgres -E UTF8 --no-sync -D " + dir_ + "/data", &status);
    if (status != 0) {
        *why = "initdb failed: " + out;
        return false;
    }
    port_ = FreePort();
    // Only loopback TCP and a socket in the folder; fsync stays on (the crash test relies on
    // what a commit promises).
    out = Run(bin_ + "/pg_ctl -w -t 30 -D " + dir_ + "/data -l " + dir_ + "/log -o \"-p " +
                  std::to_string(port_) + " -c listen_addresses=127.0.0.1 -k " + dir_ +
                  " -c max_connections=200\" start",
              &status);
    if (status != 0) {
        *why = "pg_ctl start failed: " + out + ReadFile(dir_ + "/log");
        return false;
    }
    running_ = true;
    return true;
}

std::string PostgresInstance::NewDatabase(const std::string& name) {
    int status = 0;
    Run(bin_ + "/createdb -h 127.0.0.1 -p " + std::to_string(port_) + " -U postgres " + name,
        &status);
    return "postgresql://postgres@127.0.0.1:" + std::to_string(port_) + "/" + name;
}

PostgresInstance::~PostgresInstance() {
    int status = 0;
    if (running_) Run(bin_ + "/pg_ctl -w -D " + dir_ + "/data -m immediate stop", &status);
    std::error_code ec;
    if (!dir_.empty()) fs::remove_all(dir_, ec);
}
