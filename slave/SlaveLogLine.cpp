// The slave's event line: the shared line layout with the slave's link state.
#include "LogFile.h"
#include "TolvexSMain.h"

using namespace tolvex;

namespace mdInit {

bool WriteLogLine(TolvexSMain &m, const QString &event, const QString &detail, mdInit::LogFailure onFailure)
{
    SlaveState &st = m.st;
    // Only the full level shows the link; a null text leaves the field out.
    const QString comms = m.cfg.LogLevel == 3 ? st.LinkStatus : QString();
    st.LogLine = formatLogLine(m.svc.clock.now(), st.TestMode, event, detail, st.Count, comms);
    return m.appendLogLine(st.LogLine, onFailure);
}

} // namespace mdInit
