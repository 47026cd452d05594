#include "app/realsetup.h"

#include "endpoints.h"

#include <QCoreApplication>

namespace zendry {

MainSetup RealSetup::setup()
{
    MainSetup s;
    s.boxes = &m_boxes;
    s.desktop = &m_desktop;
    s.termination = &m_termination;
    s.programFolder = ProgramFolder::ofExecutable();
    s.endpoints.serviceHost = QString::fromUtf8(build::serviceHost);
    s.endpoints.adHost = QString::fromUtf8(build::adHost);
    s.endpoints.webHost = QString::fromUtf8(build::webHost);
    s.endpoints.port = build::port;
    s.endpoints.defaultBannerLink = QString::fromUtf8(build::defaultBannerLink);
    return s;
}

} // namespace zendry
