#pragma once
#include "UdpEndpoint.h"
#include <array>
#include <memory>

class TolvexMMain;

namespace tolvex {

// The master's sockets udpServ(1..4), one per slave row.
class MasterLink {
public:
    explicit MasterLink(TolvexMMain &owner);
    ~MasterLink();

    UdpEndpoint &row(int index) { return *m_rows[index]; }
    void closeAll();
    // Reads whatever waits on every row; the cycle calls it on each tick.
    void drainAll();

private:
    std::array<std::unique_ptr<UdpEndpoint>, 5> m_rows; // 1..4 used
};

} // namespace tolvex
