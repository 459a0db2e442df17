#pragma once
#include <QString>
#include <vector>

namespace tolvex {

// Named machine-wide locks, one process at a time per name (an abstract-namespace
// Unix socket bound to the name; the kernel frees it when the process ends).
// One object per program holds what the program has taken until the process ends.
class InstanceLock {
public:
    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock &) = delete;
    InstanceLock &operator=(const InstanceLock &) = delete;

    // True when another process already holds `name`. Otherwise the lock is taken and
    // kept (unless this object already holds its one lock; then nothing is taken).
    // `release` true gives the held lock back instead and answers false.
    bool checkPrevInstance(const QString &name, bool release = false);

    // Takes `name` as an extra, unowned hold that is never looked at again; failures
    // (the name already taken, by this process included) are ignored.
    void holdExtra(const QString &name);

    bool holdsLock() const { return m_handle >= 0; }

private:
    int m_handle = -1;           // the one lock handle of the process
    std::vector<int> m_extra;
};

} // namespace tolvex
