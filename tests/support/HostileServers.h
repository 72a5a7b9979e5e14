#pragma once
// Servers on loopback that misbehave the ways real ones do: one that never answers, one that
// stops sending, one that never stops. Used with LoopbackServer, which starts and stops them.
#include <cstdlib>
#include <fstream>
#include <string>

namespace vexal::test {

// The program's resident memory in kilobytes, to see that an endless answer is not kept.
inline long ResidentKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return 0;
}

// An HTTP server on a folder (argument 1) where "stall*" answers with its head and then stays
// silent, "drip*" sends one byte now and then for ever, "endless*" sends data without end,
// "moved*" redirects to an ftp: address and "circle*" to itself; any other name is served from
// the folder.
inline constexpr const char* HostileHttpScript = R"(
import functools, http.server, os, sys, time
class Handler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *a): pass
    def do_GET(self):
        name = os.path.basename(self.path)
        if name.startswith('stall'):
            self.send_response(200); self.send_header('Content-Length', '100000'); self.end_headers()
            self.wfile.write(b'Version'); self.wfile.flush()
            time.sleep(3600)
        elif name.startswith('drip'):
            self.send_response(200); self.end_headers()
            try:
                while True:
                    self.wfile.write(b'V'); self.wfile.flush(); time.sleep(0.2)
            except Exception:
                pass
        elif name.startswith('endless'):
            self.send_response(200); self.end_headers()
            chunk = b'Version = 9.9.9 ' * 4096
            try:
                while True:
                    self.wfile.write(chunk)
            except Exception:
                pass
        elif name.startswith('moved'):
            self.send_response(302); self.send_header('Location', 'ftp://127.0.0.1/vexal.txt')
            self.send_header('Content-Length', '0'); self.end_headers()
        elif name.startswith('circle'):
            self.send_response(302); self.send_header('Location', self.path)
            self.send_header('Content-Length', '0'); self.end_headers()
        else:
            super().do_GET()
handler = functools.partial(Handler, directory=sys.argv[1])
server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), handler)
server.daemon_threads = True
print(server.server_address[1], flush=True)
server.serve_forever()
)";

// An FTP server on a folder (arguments: folder, user, password, behaviour) whose listing
// either never comes ("stall") or never ends ("endless"), or whose listing is the folder's
// and every file it sends never ends ("endless-file").
inline constexpr const char* HostileFtpScript = R"(
import logging, sys
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer
logging.disable(logging.CRITICAL)
class Endless:
    n = 0
    def more(self):
        self.n += 1
        return b''.join(b'wk%07d.24\r\n' % (self.n * 1000 + i) for i in range(1000))
class Handler(FTPHandler):
    use_sendfile = False
    def ftp_SIZE(self, path):
        if sys.argv[4] != 'endless-file':
            return FTPHandler.ftp_SIZE(self, path)
        self.respond('502 SIZE not implemented.')
    def ftp_RETR(self, file):
        if sys.argv[4] != 'endless-file':
            return FTPHandler.ftp_RETR(self, file)
        self.push_dtp_data(Endless(), isproducer=True, cmd='RETR')
    def ftp_NLST(self, path):
        if sys.argv[4] == 'endless-file':
            return FTPHandler.ftp_NLST(self, path)
        if sys.argv[4] == 'stall':
            self.respond('150 Here it comes.')
            return
        self.push_dtp_data(Endless(), isproducer=True, cmd='NLST')
auth = DummyAuthorizer()
auth.add_user(sys.argv[2], sys.argv[3], sys.argv[1], perm='elr')
Handler.authorizer = auth
server = FTPServer(('127.0.0.1', 0), Handler)
print(server.address[1], flush=True)
server.serve_forever()
)";

// A server that accepts connections and never says a word (no FTP greeting, no HTTP answer).
inline constexpr const char* SilentServerScript = R"(
import socket, time
s = socket.socket(); s.bind(('127.0.0.1', 0)); s.listen(16)
print(s.getsockname()[1], flush=True)
held = []
while True:
    c, _ = s.accept(); held.append(c)
)";

// A port where a connection is never made: the server listens but never takes a connection,
// and its queue is kept full, so a new caller's request goes unanswered as it does on the
// way to a host that is down.
inline constexpr const char* FullQueueServerScript = R"(
import socket, time
s = socket.socket(); s.bind(('127.0.0.1', 0)); s.listen(0)
held = []
for i in range(3):
    c = socket.socket(); c.setblocking(False)
    try:
        c.connect(s.getsockname())
    except BlockingIOError:
        pass
    held.append(c)
print(s.getsockname()[1], flush=True)
while True:
    time.sleep(3600)
)";

// A server whose FTP greeting comes a byte a second (argument "drip": it never quite stalls
// and never arrives whole in good time) or breaks off after a few bytes with the connection
// reset (argument "cut").
inline constexpr const char* DrippingGreetingScript = R"(
import socket, struct, sys, threading, time
s = socket.socket(); s.bind(('127.0.0.1', 0)); s.listen(16)
print(s.getsockname()[1], flush=True)
def greet(c):
    try:
        for i, b in enumerate(b'220 Welcome to the stats server, a slow one today.\r\n'):
            if sys.argv[1] == 'cut' and i == 5:
                c.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack('ii', 1, 0))
                c.close()
                return
            c.sendall(bytes([b])); time.sleep(1 if sys.argv[1] == 'drip' else 0.1)
        time.sleep(3600)
    except Exception:
        pass
while True:
    c, _ = s.accept()
    threading.Thread(target=greet, args=(c,), daemon=True).start()
)";

} // namespace vexal::test
