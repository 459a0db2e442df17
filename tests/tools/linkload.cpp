// The link benchmark's traffic tool, on the loopback only.
//
//   linkload flood PORT RATE SECONDS KIND   sends KIND datagrams to 127.0.0.1:PORT at
//       RATE a second (0: as fast as it can) for SECONDS, then prints
//       "sent=N start=T0 end=T1" (times in seconds since the epoch). KIND is "random"
//       (random bytes, 1 to 64 of them), "wrong" (the wrong frame "<LOX999>"), "mixed"
//       (both in turn) or "polls" (the valid poll "<LOA100>").
//   linkload relay PORT_A TO_A PORT_B TO_B SECONDS LOGFILE   passes what arrives on
//       127.0.0.1:PORT_A on to 127.0.0.1:TO_A (the master's polls) and what arrives on
//       PORT_B on to TO_B (the slave's answers), for SECONDS. LOGFILE gets "P time" for
//       each poll and "A time" for the first answer after each poll and then at most
//       one answer in 5 ms.
#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <random>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

double now()
{
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

sockaddr_in loopback(int port)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(uint16_t(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

int flood(int port, double rate, double seconds, const std::string &kind)
{
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to = loopback(port);
    std::mt19937 random(12345);
    std::vector<std::string> pool;
    for (int i = 0; i < 1024; ++i) {
        std::string junk(1 + random() % 64, '\0');
        for (char &c : junk)
            c = char(random());
        const bool wrong = kind == "wrong" || (kind == "mixed" && i % 2);
        pool.push_back(kind == "polls" ? "<LOA100>" : wrong ? "<LOX999>" : junk);
    }
    constexpr int kBatch = 64;
    std::vector<mmsghdr> msgs(kBatch);
    std::vector<iovec> iov(kBatch);
    long sent = 0;
    const double start = now();
    for (double t = start; t - start < seconds; t = now()) {
        if (rate > 0 && sent >= (t - start) * rate) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
            continue;
        }
        for (int i = 0; i < kBatch; ++i) {
            std::string &d = pool[size_t(sent + i) % pool.size()];
            iov[i] = {d.data(), d.size()};
            msgs[i].msg_hdr = {};
            msgs[i].msg_hdr.msg_name = &to;
            msgs[i].msg_hdr.msg_namelen = sizeof to;
            msgs[i].msg_hdr.msg_iov = &iov[i];
            msgs[i].msg_hdr.msg_iovlen = 1;
        }
        const int n = sendmmsg(fd, msgs.data(), kBatch, 0);
        if (n > 0)
            sent += n;
    }
    std::printf("sent=%ld start=%.6f end=%.6f\n", sent, start, now());
    close(fd);
    return 0;
}

int bound(int port)
{
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK, 0);
    const sockaddr_in a = loopback(port);
    if (bind(fd, reinterpret_cast<const sockaddr *>(&a), sizeof a) != 0) {
        std::perror("bind");
        std::exit(1);
    }
    const int bytes = 8 * 1024 * 1024;
    setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &bytes, sizeof bytes);
    return fd;
}

int relay(int portA, int toA, int portB, int toB, double seconds, const char *logFile)
{
    pollfd fds[2] = {{bound(portA), POLLIN, 0}, {bound(portB), POLLIN, 0}};
    const sockaddr_in dest[2] = {loopback(toA), loopback(toB)};
    FILE *log = std::fopen(logFile, "w");
    char buffer[65536];
    bool answered = true;
    double lastAnswer = 0;
    for (const double start = now(); now() - start < seconds;) {
        if (poll(fds, 2, 100) <= 0)
            continue;
        for (int side = 0; side < 2; ++side) {
            for (int n = 0; n < 4096; ++n) {
                const ssize_t got = recv(fds[side].fd, buffer, sizeof buffer, 0);
                if (got < 0)
                    break;
                sendto(fds[side].fd, buffer, size_t(got), 0, reinterpret_cast<const sockaddr *>(&dest[side]),
                       sizeof dest[side]);
                const double t = now();
                if (side == 0) {
                    std::fprintf(log, "P %.6f\n", t);
                    answered = false;
                } else if (!answered || t - lastAnswer >= 0.005) {
                    std::fprintf(log, "A %.6f\n", t);
                    answered = true;
                    lastAnswer = t;
                }
            }
        }
        std::fflush(log);
    }
    std::fclose(log);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "flood" && argc == 6)
        return flood(std::atoi(argv[2]), std::atof(argv[3]), std::atof(argv[4]), argv[5]);
    if (mode == "relay" && argc == 8)
        return relay(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]),
                     std::atof(argv[6]), argv[7]);
    std::fprintf(stderr, "usage: linkload flood PORT RATE SECONDS KIND | relay PORT_A TO_A PORT_B TO_B SECONDS LOG\n");
    return 2;
}
