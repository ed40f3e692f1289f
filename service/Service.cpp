#include "service/Service.h"

#include "app/FormFields.h"
#include "app/SocketMessages.h"
#include "support/LeadingNumber.h"
#include "support/Text.h"
#include "support/Variant.h"

namespace service {

namespace {

using app::ServerFields;

std::string number(double value) { return support::Variant::Double(value).toText(); }

// A number of the profile as the run takes it, with its unit: as it was
// typed where the run takes it as it stands, else what the run takes and,
// after it, what was typed ("60 s (Msg_Delay=99999)").
std::string asRun(std::string ServerFields::*field, const ServerFields& fields, double run, const std::string& unit) {
    const std::string typed = support::trimBlanks(fields.*field);
    const app::FormField& f = app::formField(field);
    if (!typed.empty() && app::acceptsText(f, typed) && support::leadingNumber(typed) == run) return typed + unit;
    return number(run) + unit + " (" + f.name + "=" + typed + ")";
}

std::string ticks(std::string ServerFields::*field, const ServerFields& fields, double run) {
    return asRun(field, fields, run, run == 1 ? " tick" : " ticks");
}

}  // namespace

Service::Service(const ServiceParts& parts, app::Profile profile)
    : m_parts(parts),
      m_profile(std::move(profile)),
      m_errorLog(parts.files, parts.clock),
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
    m_pending = readProfile(m_profile, m_parts.registry, m_parts.files);
    m_parts.log.hide(support::trimBlanks(m_pending.fields.password));
    m_settings = m_pending;
    const app::StartResult started = m_session.start(m_pending.fields, m_pending.game);
    if (started.outcome == app::StartResult::Outcome::refused) m_parts.log.write("failed", started.refusal);
    if (started.outcome != app::StartResult::Outcome::started) return 1;
    m_running = true;
    m_parts.loop.run();
    return m_status;
}

void Service::reload() {
    m_pending = readProfile(m_profile, m_parts.registry, m_parts.files);
    m_parts.log.hide(support::trimBlanks(m_pending.fields.password));
    const app::StartResult taken = m_session.reload(m_pending.fields, m_pending.game);
    if (taken.outcome == app::StartResult::Outcome::started) {
        m_settings = m_pending;
        return;
    }
    const std::string why =
        taken.outcome == app::StartResult::Outcome::refused ? taken.refusal : taken.failure->error.description();
    m_parts.log.write("reload", "not taken, the running settings kept: " + why);
}

// The settings are taken: said before the socket opens, so that what the
// server answers follows the line that says where it was asked.
void Service::starting() { m_parts.log.write(m_running ? "reload" : "start", summary(m_pending)); }

void Service::end() {
    m_session.stop();
    if (m_status == 0) m_parts.log.write("stop", "");
}

std::string Service::summary(const ProfileSettings& settings) const {
    const app::ServerFields& f = settings.fields;
    std::size_t lines = 0;
    for (const std::string& line : support::splitText(f.message, "\r\n")) lines += line.empty() ? 0 : 1;
    const double status = support::leadingNumber(f.statusInterval);
    const double least = support::leadingNumber(f.minPlayers);
    return (m_profile.isDefault() ? std::string("the default profile") : "profile " + m_profile.name()) + ", server " +
           support::trimBlanks(f.address) + ":" + support::trimBlanks(f.port) + ", game " + settings.game + ", " +
           number(static_cast<double>(lines)) + (lines == 1 ? " line" : " lines") +
           (app::rotates(f) ? ", one each time in turn," : "") + " every " +
           ticks(&ServerFields::messageInterval, f, app::messageIntervalTicks(f.messageInterval)) + " of " +
           number(app::kMessageTimerPeriod / 1000.0) + " s with " +
           asRun(&ServerFields::lineDelay, f, app::lineDelayMilliseconds(f.lineDelay) / 1000.0, " s") +
           " after each, " +
           (status == 0 ? std::string("no status requests")
                        : "the status every " + ticks(&ServerFields::statusInterval, f, status) + " of " +
                              number(app::kStatusTimerPeriod / 1000.0) + " s") +
           (least > 0 ? ", only with at least " + asRun(&ServerFields::minPlayers, f, least, "") + " players on" : "");
}

void Service::reply(const std::string& consoleText) {
    if (!consoleText.empty()) m_parts.log.write("reply", consoleText);
}

void Service::failed(const app::SessionFailure& failure) {
    const std::string text = app::tellFailure(failure, m_errorLog).text;
    m_parts.log.write("failed", failure.datagram.empty() ? text : failure.datagram + ": " + text);
}

void Service::lineSent(std::size_t, const std::string& line) { m_parts.log.write("sent", line); }

void Service::heard(const app::Hearing::Verdict& verdict) { m_parts.log.write("heard", app::heardText(verdict)); }

// Who is on, as it changes: the count and map when either changes, and each
// player who came or went; nothing while nothing changes. The first status
// of a run says who is on.
void Service::statusRead(const app::ServerStatus& status, const std::optional<app::StatusChange>& change) {
    if (change && !change->countOrMapChanged && change->joined.empty() && change->left.empty()) return;
    // The core words each line "what: text", as the log writes it.
    const auto logLine = [this](const std::string& line) {
        const std::size_t colon = line.find(": ");
        m_parts.log.write(line.substr(0, colon), line.substr(colon + 2));
    };
    if (!change || change->countOrMapChanged) logLine(app::playersLogLine(status));
    if (!change) return;
    const app::ColourCodes rule = app::nameColourCodes(status.format, m_session.state().g_sGameName);
    for (const app::Player& p : change->left) logLine(app::leftLogLine(p, rule));
    for (const app::Player& p : change->joined) logLine(app::joinedLogLine(p, rule));
}

void Service::broadcastSkipped(const std::string& notice) { m_parts.log.write("skipped", notice); }

// A host that bans an address after a few wrong passwords (fail2ban on the
// server's log) must not be sent another: the service ends, with the status
// that keeps systemd from starting it again.
void Service::passwordRefused(const std::string& reply) {
    m_parts.log.write("refused", "the server refused the password (" + reply + "); nothing more is sent");
    m_status = 1;
    m_parts.loop.quit();
}

}  // namespace service
