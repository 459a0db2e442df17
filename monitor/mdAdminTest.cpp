#include "mdAdminTest.h"

#include <cerrno>
#include <grp.h>
#include <unistd.h>

#include <algorithm>

namespace mdAdminTest {

namespace {

constexpr int kInhibitAdmin = 4;        // command mode of "-InhibitAdmin"
constexpr size_t kDefaultGroupBuffer = 1024;
constexpr size_t kMaxGroupBuffer = size_t(1) << 24; // a sane bound for one group entry

// The supplementary groups of the process, plus its effective group, whatever
// their number: the list is sized by asking the system first.
std::vector<gid_t> processGroupIds()
{
    std::vector<gid_t> ids;
    // The list cannot grow between the two calls in a single-threaded program, but
    // a retry on EINVAL keeps the second call from ever using a stale size.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int count = getgroups(0, nullptr);
        if (count < 0)
            break;
        ids.assign(static_cast<size_t>(count), 0);
        const int got = count > 0 ? getgroups(count, ids.data()) : 0;
        if (got >= 0) {
            ids.resize(static_cast<size_t>(got));
            break;
        }
        ids.clear();
        if (errno != EINVAL)
            break;
    }
    const gid_t effective = getegid();
    if (std::find(ids.begin(), ids.end(), effective) == ids.end())
        ids.push_back(effective);
    return ids;
}

// The name of one group, empty when the system knows none.
QString groupName(gid_t gid)
{
    const long suggested = sysconf(_SC_GETGR_R_SIZE_MAX);
    size_t size = suggested > 0 ? static_cast<size_t>(suggested) : kDefaultGroupBuffer;
    std::vector<char> buffer(size);
    while (true) {
        group entry{};
        group *found = nullptr;
        const int rc = getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found);
        if (rc == ERANGE && buffer.size() < kMaxGroupBuffer) {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (rc != 0 || found == nullptr || found->gr_name == nullptr)
            return QString();
        return QString::fromLocal8Bit(found->gr_name);
    }
}

} // namespace

bool isAdminAccount(uid_t effectiveUid, const QStringList &groupNames)
{
    if (effectiveUid == 0)
        return true;
    // The administrators' group of the common distributions; names match exactly.
    for (const QString &name : groupNames) {
        if (name == QLatin1String("sudo") || name == QLatin1String("wheel") || name == QLatin1String("admin"))
            return true;
    }
    return false;
}

QStringList processGroupNames()
{
    QStringList names;
    for (gid_t gid : processGroupIds()) {
        const QString name = groupName(gid);
        if (!name.isEmpty())
            names.append(name);
    }
    return names;
}

bool IsAdmin(int commandMode)
{
    if (commandMode == kInhibitAdmin)
        return false;
    return isAdminAccount(geteuid(), processGroupNames());
}

} // namespace mdAdminTest
