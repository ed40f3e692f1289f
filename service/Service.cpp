#include "service/Service.h"

#include "app/SocketMessages.h"
#include "app/frmMain.h"
#include "support/LeadingNumber.h"
#include "support/Text.h"
#include "support/Variant.h"

namespace service {

namespace {

std::string number(double value) { return support::Variant::Double(value).toText(); }

std::string ticks(double count) { return number(count) + (count == 1 ? " tick" : " ticks"); }

}  // namespace

Service::Service(const ServiceParts& parts, app::Profile profile)
    : m_parts(parts),
      m_profile(std::move(profile)),
      m_errorLog(parts.files, parts.clock, *this),
      m_messageTimer(parts.loop.timer([this] { m_session.messageTimerTicked(); })),
      m_statusTimer(parts.loop.timer([this] { m_session.statusTimerTicked(); })),
      m_heardTimer(parts.loop.timer([this] { m_session.heardTimerTicked(); })),
      m_pauses(parts.loop),
      m_session(parts.socket, *m_messageTimer, *m_statusTimer, *m_heardTimer, m_pauses, parts.clock, *this) {
    m_session.carryOnAfterFailures(true);
    m_parts.loop.setHandlers({[this] { m_session.datagramsWaiting(); }, [this] { reload(); }, [this] { end(); }});
}

Service::~Service() { m_parts.loop.setHandlers({}); }

int Service::run() {
    m_settings = readProfile(m_profile, m_parts.registry, m_parts.files);
    m_parts.log.hide(support::trimBlanks(m_settings.fields.password));
    m_session.applyGame(m_settings.game);
    if (const char* missing = app::RconSession::missingField(m_settings.fields)) {
        show(std::string(missing) + app::kNineBlanks, 0, app::kAppTitle);
        return 1;
    }
    try {
        m_session.PrepareMessage(m_settings.fields.message, m_settings.fields.password);
    } catch (const std::exception& e) {
        m_session.fail(app::kStartProcedure, e);
        return 1;
    }
    m_parts.log.write("start", summary());
    open();
    m_parts.loop.run();
    return 0;
}

void Service::open() {
    try {
        m_session.open(m_settings.fields);
    } catch (const std::exception& e) {
        m_session.fail(app::kStartProcedure, e);
        m_session.startTimers();
    }
}

void Service::reload() {
    ProfileSettings next = readProfile(m_profile, m_parts.registry, m_parts.files);
    m_parts.log.hide(support::trimBlanks(next.fields.password));
    if (const char* missing = app::RconSession::missingField(next.fields)) {
        m_parts.log.write("reload", std::string("not taken, the running settings kept: ") + missing);
        return;
    }
    try {
        m_session.PrepareMessage(next.fields.message, next.fields.password);
    } catch (const std::exception& e) {
        m_parts.log.write("reload", "not taken, the running settings kept: " + base::asAppError(e).description());
        m_session.PrepareMessage(m_settings.fields.message, m_settings.fields.password);
        return;
    }
    const auto server = [](const app::ServerFields& f) {
        return support::trimBlanks(f.address) + ":" + support::trimBlanks(f.port);
    };
    const bool moved = server(next.fields) != server(m_settings.fields);
    m_settings = std::move(next);
    m_session.applyGame(m_settings.game);
    m_parts.log.write("reload", summary());
    if (moved) open();
}

void Service::end() {
    m_session.stop();
    m_parts.log.write("stop", "");
}

std::string Service::summary() const {
    const app::ServerFields& f = m_settings.fields;
    std::size_t lines = 0;
    for (const std::string& line : m_session.state().g_asMessageLines) lines += line.empty() ? 0 : 1;
    const double status = support::leadingNumber(f.statusInterval);
    return (m_profile.isDefault() ? std::string("the default profile") : "profile " + m_profile.name()) + ", server " +
           support::trimBlanks(f.address) + ":" + support::trimBlanks(f.port) + ", game " + m_settings.game + ", " +
           number(static_cast<double>(lines)) + (lines == 1 ? " line" : " lines") + " every " +
           ticks(app::messageIntervalTicks(f.messageInterval)) + " of " + number(app::kMessageTimerPeriod / 1000.0) +
           " s with " + number(app::lineDelayMilliseconds(f.lineDelay) / 1000.0) + " s after each, " +
           (status == 0
                ? std::string("no status requests")
                : "the status every " + ticks(status) + " of " + number(app::kStatusTimerPeriod / 1000.0) + " s");
}

void Service::reply(const std::string& consoleText) {
    if (!consoleText.empty()) m_parts.log.write("reply", consoleText);
}

void Service::failed(const app::SessionFailure& failure) { app::tellFailure(failure, *this, m_errorLog); }

void Service::lineSent(std::size_t, const std::string& line) { m_parts.log.write("sent", line); }

void Service::heard(const app::Hearing::Verdict& verdict) { m_parts.log.write("heard", app::heardText(verdict)); }

void Service::passwordRefused(const std::string& reply) {
    m_parts.log.write("refused", "the server refused the password (" + reply + ")");
}

int Service::show(const std::string& text, int, const std::string&) {
    m_parts.log.write("failed", text);
    return platform::mb::kAnswerOk;
}

}  // namespace service
