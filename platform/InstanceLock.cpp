#include "InstanceLock.h"

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace tolvex {

namespace {

enum class TakeResult { Taken, InUse, Failed };

// Binds a Unix socket to `name` in the abstract namespace (first address byte 0).
// Such an address belongs to no file and no user: it is one per machine, and the
// kernel frees it with the last descriptor, so a crashed program leaves nothing
// behind. The descriptor is returned in `fd` when taken.
TakeResult takeName(const QString &name, int &fd)
{
    fd = -1;
    const QByteArray bytes = name.toUtf8();
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (bytes.isEmpty() || static_cast<size_t>(bytes.size()) >= sizeof(addr.sun_path))
        return TakeResult::Failed;
    addr.sun_path[0] = '\0';
    std::memcpy(addr.sun_path + 1, bytes.constData(), static_cast<size_t>(bytes.size()));
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1
                                               + static_cast<size_t>(bytes.size()));

    const int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0)
        return TakeResult::Failed;
    if (::bind(s, reinterpret_cast<const sockaddr *>(&addr), length) != 0) {
        const int error = errno;
        ::close(s);
        return error == EADDRINUSE ? TakeResult::InUse : TakeResult::Failed;
    }
    fd = s;
    return TakeResult::Taken;
}

} // namespace

InstanceLock::~InstanceLock()
{
    if (m_handle >= 0)
        ::close(m_handle);
    for (int fd : m_extra)
        ::close(fd);
}

bool InstanceLock::checkPrevInstance(const QString &name, bool release)
{
    if (release && m_handle >= 0) {
        ::close(m_handle);
        m_handle = -1;
        return false;
    }
    if (m_handle >= 0)
        return false;

    int fd = -1;
    switch (takeName(name, fd)) {
    case TakeResult::Taken:
        m_handle = fd;
        return false;
    case TakeResult::InUse:
        return true;
    case TakeResult::Failed:
        break;
    }
    // Any other failure counts as "no other instance"; the program runs unlocked.
    return false;
}

void InstanceLock::holdExtra(const QString &name)
{
    int fd = -1;
    if (takeName(name, fd) == TakeResult::Taken)
        m_extra.push_back(fd);
}

} // namespace tolvex
