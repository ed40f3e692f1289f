#pragma once

#include <memory>
#include <optional>
#include <string>

#include "app/Pauses.h"
#include "app/Profile.h"
#include "app/RconSession.h"
#include "platform/Clock.h"
#include "platform/Controls.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "platform/Socket.h"
#include "service/ServiceLog.h"
#include "service/ServiceLoop.h"
#include "service/ServiceProfile.h"
#include "support/modErrorLog.h"

namespace service {

// The services the service is built on.
struct ServiceParts {
    ServiceLoop& loop;
    platform::ISocket& socket;
    platform::IRegistry& registry;
    platform::IFileSystem& files;
    platform::IClock& clock;
    ServiceLog& log;
};

// The service's presenter over the rcon session of one profile's server, as
// frmMain is the window's: Start with the profile's settings, then the
// session's schedule on the service's loop until the end. Nobody watches it,
// so what the window would show in a box is logged (naming the datagram
// that could not be sent), and the schedule goes on: the next tick tries
// again, opening the socket again if it has to. Start's checks cannot be
// answered by anyone, and a refused password must not be tried again: they
// end it.
class Service : private app::ISessionEvents {
public:
    Service(const ServiceParts& parts, app::Profile profile);
    ~Service() override;
    Service(const Service&) = delete;
    Service& operator=(const Service&) = delete;

    // Starts and runs until told to end: 0 then, or 1 when Start's checks
    // refuse the profile or the server refuses its password.
    int run();
    // Reads the profile again: its message, timings and game from the next
    // tick on, the tick counts kept; a server moved elsewhere is opened at
    // once. A profile Start would refuse is not taken.
    void reload();
    // Stops the session, in the middle of a pause too.
    void end();

    const app::RconSession& session() const { return m_session; }

private:
    std::string summary(const ProfileSettings& settings) const;

    app::ServerFields fields() override { return m_settings.fields; }
    void starting() override;
    void reply(const std::string& consoleText) override;
    void failed(const app::SessionFailure& failure) override;
    void lineSent(std::size_t index, const std::string& line) override;
    void heard(const app::Hearing::Verdict& verdict) override;
    void passwordRefused(const std::string& reply) override;
    void statusRead(const app::ServerStatus& status, const std::optional<app::StatusChange>& change) override;
    void broadcastSkipped(const std::string& notice) override;

    ServiceParts m_parts;
    const app::Profile m_profile;
    support::modErrorLog m_errorLog;
    std::unique_ptr<platform::ITimer> m_messageTimer, m_statusTimer, m_heardTimer;
    app::Pauses m_pauses;
    app::RconSession m_session;
    ProfileSettings m_settings;  // what runs
    ProfileSettings m_pending;   // what is being taken
    bool m_running = false;
    int m_status = 0;  // what run() answers: 1 once the server refused the password
};

}  // namespace service
