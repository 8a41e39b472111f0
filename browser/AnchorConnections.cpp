// Undoing the panel's click connections on page anchors once the login result has been handed on.
#include <map>
#include <utility>

#include "app/LoginActiveDlg.h"
#include "framework/Connection.h"

void CLoginActiveDlg::DisconnectAnchors() {
    // Taken out first: whatever an unadvise does, the registry is empty afterwards, also when
    // one of them fails, and nothing is unadvised twice.
    std::map<CString, AnchorConnection> connections = std::exchange(m_mapAnchorConnections, {});
    IDispatch* pSink = GetIDispatch(FALSE);
    for (const auto& [href, connection] : connections) {
        // A refused unadvise leaves nothing to do: the entry goes all the same.
        AfxConnectionUnadvise(connection.pElement.Get(), connection.iidEvents, pSink, FALSE,
                              connection.dwCookie);
    }
}
