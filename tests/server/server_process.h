#pragma once
// The real plusrail-server as a child process on 127.0.0.1, and a real PostgreSQL made for a
// suite in a temporary folder.
#include <sys/types.h>

#include <string>
#include <vector>

// A temporary folder, removed with everything in it at the end.
struct TempFolder {
    std::string path;
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
};

class ServerProcess {
public:
    // Starts build/plusrail-server with `arguments` after "--listen 127.0.0.1:0" and waits
    // for the address it prints; false (with what it printed) when it does not come up.
    bool Start(const std::vector<std::string>& arguments, std::string* error);
    ~ServerProcess();
    int port() const { return port_; }
    pid_t pid() const { return pid_; }
    // Sends `signal` and waits up to `seconds` for the exit; the exit status, or -1 when the
    // process was killed by a signal, -2 when it did not end in time (it is then killed).
    int Stop(int signal, double seconds);
    // Everything it wrote to stdout and stderr so far.
    std::string Output() const;

private:
    pid_t pid_ = -1;
    int port_ = 0;
    std::string outputPath_;
    TempFolder folder_;
};

// PostgreSQL started for the suite: initdb and pg_ctl in a temporary folder, as the postgres
// user when this runs as root, listening on 127.0.0.1 only.
class PostgresInstance {
public:
    // False with the reason when PostgreSQL is not installed or does not start.
    bool Start(std::string* why);
    ~PostgresInstance();
    // A connection string to a new, empty database of this instance.
    std::string NewDatabase(const std::string& name);

private:
    std::string bin_;
    std::string dir_;
    int port_ = 0;
    bool running_ = false;
    std::string Run(const std::string& command, int* status) const;
};

// The path of a file the build or the source tree holds.
std::string BuildPath(const std::string& name);
std::string SourcePath(const std::string& name);
std::string ReadFile(const std::string& path);
