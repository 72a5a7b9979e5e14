#pragma once
// Real servers on loopback for the transfer tests: python3's http.server serving a folder,
// and pyftpdlib serving a folder to one user. Each picks a free port, reports it, and is
// stopped (and waited for) when the object goes.
#include "WaitLimit.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vexal::test {

// Debian's interpreter, which has Debian's python3-pyftpdlib, before any other on the PATH.
inline std::string PythonProgram()
{
    return std::filesystem::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
}
inline bool HavePython() { return std::system(("command -v " + PythonProgram() + " >/dev/null 2>&1").c_str()) == 0; }
inline bool HavePyFtpdLib()
{
    return std::system((PythonProgram() + " -c 'import pyftpdlib'").c_str()) == 0;
}

class LoopbackServer {
public:
    LoopbackServer(const std::string& script, const std::vector<std::string>& args)
    {
        int fds[2];
        if (pipe(fds) != 0)
            return;
        const std::string python = PythonProgram();
        pid_ = fork();
        if (pid_ == 0) {
            dup2(fds[1], 1);
            const int devnull = open("/dev/null", O_WRONLY);
            dup2(devnull, 2);
            close(fds[0]);
            close(fds[1]);
            std::vector<char*> argv{const_cast<char*>(python.c_str()), const_cast<char*>("-c"),
                                    const_cast<char*>(script.c_str())};
            for (const auto& a : args)
                argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execvp(python.c_str(), argv.data());
            _exit(127);
        }
        close(fds[1]);
        // The server prints its port once it listens; a starved interpreter may take a while to
        // get there.
        std::string line;
        pollfd p{fds[0], POLLIN, 0};
        while (line.find('\n') == std::string::npos && poll(&p, 1, StateWaitLimitMs) > 0) {
            char buf[64];
            const ssize_t n = read(fds[0], buf, sizeof buf);
            if (n <= 0)
                break;
            line.append(buf, static_cast<std::size_t>(n));
        }
        close(fds[0]);
        port_ = std::atoi(line.c_str());
    }
    ~LoopbackServer()
    {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            int status = 0;
            waitpid(pid_, &status, 0);
        }
    }
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;
    int Port() const { return port_; }
    std::string Address() const { return "127.0.0.1:" + std::to_string(port_); }

private:
    pid_t pid_ = -1;
    int port_ = 0;
};

inline constexpr const char* HttpServerScript = R"(
import functools, http.server, sys
handler = functools.partial(http.server.SimpleHTTPRequestHandler, directory=sys.argv[1])
handler.log_message = lambda *a: None
server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), handler)
print(server.server_address[1], flush=True)
server.serve_forever()
)";

inline constexpr const char* FtpServerScript = R"(
import logging, sys
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer
logging.disable(logging.CRITICAL)
auth = DummyAuthorizer()
auth.add_user(sys.argv[2], sys.argv[3], sys.argv[1], perm='elr')
FTPHandler.authorizer = auth
server = FTPServer(('127.0.0.1', 0), FTPHandler)
print(server.address[1], flush=True)
server.serve_forever()
)";

// A port nothing listens on (taken and released at once).
inline int ClosedPort()
{
    LoopbackServer probe("import socket\ns=socket.socket()\ns.bind(('127.0.0.1',0))\nprint(s.getsockname()[1], flush=True)\n", {});
    return probe.Port();
}

} // namespace vexal::test

#define VEXAL_REQUIRE_PYTHON()                                                          \
    do {                                                                                \
        if (!vexal::test::HavePython())                                                 \
            GTEST_SKIP() << "python3 is not installed: the loopback servers cannot run"; \
    } while (0)
#define VEXAL_REQUIRE_FTPD()                                                                        \
    do {                                                                                            \
        VEXAL_REQUIRE_PYTHON();                                                                     \
        if (!vexal::test::HavePyFtpdLib())                                                          \
            FAIL() << "python3-pyftpdlib is not installed (scripts/deps installs it)";               \
    } while (0)
