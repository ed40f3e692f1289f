#include "app/RconSession.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <utility>

#include "app/GameProfiles.h"
#include "app/Placeholders.h"
#include "app/PlayersView.h"
#include "app/SocketMessages.h"
#include "support/LeadingNumber.h"
#include "support/Text.h"
#include "support/Variant.h"

namespace app {

using base::skipOnFailure;

namespace {

constexpr const char* kCrLf = "\r\n";
constexpr const char* kStatusDatagram = "the status request";
// The Windows Sockets number of a port found unreachable.
constexpr std::int32_t kPortUnreachable = 10054;

std::int32_t countTick(std::int32_t ticks) { return ticks < INT32_MAX ? ticks + 1 : ticks; }

}  // namespace

std::string ConsoleTextOfReply(const std::string& datagram, const std::string& packetPrefix) {
    return support::replaceAll(support::replaceAll(datagram, packetPrefix + "print\n", ""), "\n", kCrLf);
}

std::uint32_t lineDelayMilliseconds(const std::string& delayField) {
    double seconds = support::leadingNumber(delayField);
    if (!(seconds > 0)) seconds = 0;  // negative (and not-a-number) delays count as none
    seconds = std::min(seconds, kMaxLineDelaySeconds);
    const std::int32_t ms = support::roundToLong(seconds * 1000.0);
    return ms == 0 ? 2000u : static_cast<std::uint32_t>(ms);
}

double messageIntervalTicks(const std::string& intervalField) {
    const double interval = support::leadingNumber(intervalField);
    return interval == 0 ? 5 : interval;
}

bool rotates(const ServerFields& fields) { return support::trimBlanks(fields.rotate) == "1"; }

RconSession::RconSession(platform::ISocket& socket, platform::ITimer& messageTimer, platform::ITimer& statusTimer,
                         platform::ITimer& heardTimer, Pauses& pauses, platform::IClock& clock, ISessionEvents& events)
    : m_socket(socket),
      m_messageTimer(messageTimer),
      m_statusTimer(statusTimer),
      m_heardTimer(heardTimer),
      m_pauses(pauses),
      m_clock(clock),
      m_events(events),
      m_sPacketPrefix(4, '\xFF') {}

void RconSession::applyGame(const std::string& gameName) {
    m_state.g_sGameName = gameName;
    if (const GameProfile* p = findGameProfile(gameName)) {
        m_state.g_sRconWord = p->rconWord;
        m_state.g_sSayWord = p->sayWord;
    } else if (m_state.g_sRconWord.empty()) {
        // A name typed into the box before any game was picked: without a
        // verb no server of either engine family would take the datagram.
        m_state.g_sRconWord = kUnknownGameRconWord;
    }
}

namespace {

// The message of the first field Start finds missing, or nullptr.
const char* missingField(const ServerFields& fields) {
    if (support::trimBlanks(fields.address).empty()) return "Please input a server IP";
    if (support::trimBlanks(fields.port).empty()) return "Please input a server port";
    if (support::trimBlanks(fields.password).empty()) return "Please input a remote password";
    if (fields.message.empty()) return "Please input a message";  // a message of blanks passes
    return nullptr;
}

}  // namespace

RconSession::PreparedMessage RconSession::PrepareMessage(const std::string& message, const std::string& password) {
    PreparedMessage prepared;
    prepared.lines = support::splitText(message, kCrLf);
    const std::size_t last = prepared.lines.size() - 1;
    if (last > static_cast<std::size_t>(INT16_MAX)) throw base::runtimeError(base::kErrOverflow);
    prepared.lastLine = static_cast<std::int16_t>(last);
    prepared.password = support::trimBlanks(password);
    return prepared;
}

StartResult RconSession::start(const ServerFields& fields, const std::string& game) {
    applyGame(game);
    return begin(fields, true, true);
}

StartResult RconSession::reload(const ServerFields& fields, const std::string& game) {
    const RconState before = m_state;
    applyGame(game);
    const auto server = [](const ServerFields& f) {
        return support::trimBlanks(f.address) + ":" + support::trimBlanks(f.port);
    };
    const ServerFields running = m_events.fields();
    StartResult result = begin(fields, server(fields) != server(running), false);
    if (result.outcome != StartResult::Outcome::started) {
        m_state.g_sGameName = before.g_sGameName;
        m_state.g_sRconWord = before.g_sRconWord;
        m_state.g_sSayWord = before.g_sSayWord;
    }
    return result;
}

// The steps of Start, from the checks on: with reopen, the socket is opened
// to the fields' server with a status request and the timers started;
// without, the running session takes the new message and password only.
StartResult RconSession::begin(const ServerFields& fields, bool reopen, bool tellFailure) {
    StartResult result;
    const auto failed = [&](const std::exception& e) {
        result.outcome = StartResult::Outcome::failed;
        result.failure = classify(kStartProcedure, e);
        if (tellFailure) tell(*result.failure);
        return result;
    };
    if (const char* missing = missingField(fields)) {
        result.outcome = StartResult::Outcome::refused;
        result.refusal = missing;
        return result;
    }
    PreparedMessage prepared;
    try {
        prepared = PrepareMessage(fields.message, fields.password);
    } catch (const std::exception& e) {
        return failed(e);
    }
    m_events.starting();
    if (reopen) {
        const Server before = m_server;
        const bool known = m_bServerKnown;
        try {
            connect(fields);
            send(statusRequest(fields), kStatusDatagram);
        } catch (const std::exception& e) {
            if (!m_bCarryOn) {
                // The socket goes back to the server of the last Start, closed.
                skipOnFailure([&] {
                    if (m_socket.state() == platform::kSocketOpen) m_socket.close();
                });
                skipOnFailure([&] {
                    m_socket.setRemoteHost(before.host);
                    m_socket.setRemotePort(before.port);
                });
                m_server = before;
                m_bServerKnown = known;
                return failed(e);
            }
            // Nobody to answer: the next send opens the socket again.
            tell(classify(kStartProcedure, e));
        }
        if (m_server.host != before.host || m_server.port != before.port) {
            // Another server's players say nothing of this one.
            m_status.reset();
            m_statusReader = {};
        }
        startTimers();
    }
    m_state.g_asMessageLines = std::move(prepared.lines);
    m_state.g_iLastMessageLine = prepared.lastLine;
    m_state.g_sRconPassword = std::move(prepared.password);
    return result;
}

void RconSession::connect(const ServerFields& fields) {
    if (m_socket.state() == platform::kSocketOpen) m_socket.close();
    m_server = Server{support::trimBlanks(fields.address),
                      support::Variant::String(support::trimBlanks(fields.port)).toLong()};
    m_socket.setRemoteHost(m_server.host);
    m_socket.setRemotePort(m_server.port);
    m_socket.bind();
    m_bServerKnown = true;
}

void RconSession::startTimers() {
    m_messageTimer.setInterval(kMessageTimerPeriod);
    m_messageTimer.setEnabled(true);
    m_statusTimer.setInterval(kStatusTimerPeriod);
    m_statusTimer.setEnabled(true);
}

void RconSession::stop() {
    ++m_stops;
    skipOnFailure([&] {
        if (m_socket.state() == platform::kSocketOpen) m_socket.close();
    });
    skipOnFailure([&] { m_messageTimer.setEnabled(false); });
    skipOnFailure([&] { m_statusTimer.setEnabled(false); });
    // With the socket closed no echo can come: nothing is claimed of the broadcast.
    skipOnFailure([&] { m_heardTimer.setEnabled(false); });
    m_hearing.close();
}

std::string RconSession::statusRequest(const ServerFields& fields) const {
    return statusCommand(m_state.g_sRconWord, fields.password);
}

// Every datagram of the session leaves here, paced so that the server does
// not drop it: a wait the pacer asks for is a pause as the one after a line.
// The port found unreachable is an earlier datagram's news (the system
// tells it at the next send, which it refuses): for an owner that carries
// on, this one is made again, once.
bool RconSession::send(const std::string& commandText, std::string what) {
    if (const std::int64_t wait = m_pacer.waitBefore(m_pauses.now()); wait > 0) {
        const std::uint32_t stops = m_stops;
        m_pauses.sleep(static_cast<std::uint32_t>(wait));
        if (m_stops != stops) return false;
    }
    try {
        if (m_bCarryOn && m_socket.state() != platform::kSocketOpen) connect(m_events.fields());
        try {
            m_socket.sendData(m_sPacketPrefix + commandText);
        } catch (const base::AppError& e) {
            if (!m_bCarryOn || e.number() != kPortUnreachable) throw;
            m_socket.sendData(m_sPacketPrefix + commandText);
        }
    } catch (...) {
        m_failedDatagram = std::move(what);
        throw;
    }
    m_pacer.sent(m_pauses.now());
    return true;
}

void RconSession::messageTimerTicked() {
    m_pauses.tick(m_messageTimer, [this] { messageTick(); });
}

void RconSession::statusTimerTicked() {
    m_pauses.tick(m_statusTimer, [this] { statusTick(); });
}

void RconSession::heardTimerTicked() {
    m_pauses.tick(m_heardTimer, [this] {
        m_heardTimer.setEnabled(false);
        if (m_hearing.waiting()) m_events.heard(m_hearing.close());
    });
}

void RconSession::messageTick() {
    try {
        m_lMessageTicks = countTick(m_lMessageTicks);
        const ServerFields fields = m_events.fields();
        if (m_lMessageTicks < messageIntervalTicks(fields.messageInterval)) return;
        // Stopped while it waited for a status (the service told to end), or
        // the password refused meanwhile: nothing of the broadcast goes.
        const std::uint32_t stops = m_stops, refusals = m_refusals;
        const std::optional<std::string> skipped = skipReason(fields);
        if (m_stops != stops || m_refusals != refusals) return;
        if (skipped) {
            m_lMessageTicks = 0;
            m_events.broadcastSkipped(*skipped);
            return;
        }
        const std::uint32_t delay = lineDelayMilliseconds(fields.lineDelay);
        // In the chat form the server echoes each line it takes; the plain
        // form's line is a command of its own, of which nothing is claimed.
        if (usesChatForm(m_state.g_sGameName)) m_hearing.begin(m_clock.now());
        const bool rotate = rotates(fields);
        for (const std::size_t i : dueLines(rotate)) {
            const std::string line = filled(m_state.g_asMessageLines[i], placeholderValues(status(), m_clock.now()));
            try {
                if (!send(broadcastCommand(m_state.g_sGameName, m_state.g_sRconWord, m_state.g_sRconPassword,
                                           m_state.g_sSayWord, line),
                          "line " + std::to_string(i + 1)))
                    return;
            } catch (const std::exception& e) {
                if (!m_bCarryOn) throw;
                fail(kMessageTickProcedure, e);
                continue;
            }
            m_hearing.expect(i + 1, Hearing::echoOf(passedOn(line, m_state.g_sGameName)));
            m_nextLine = rotate ? i + 1 : 0;
            m_events.lineSent(i, line);
            m_pauses.sleep(delay);
            // Stopped during the pause (the service told to end): the rest
            // of the message stays unsent, as after a failure.
            if (m_stops != stops) return;
        }
        m_events.requestsSent();
        m_lMessageTicks = 0;
        if (m_hearing.waiting()) {
            m_heardTimer.setInterval(static_cast<std::int32_t>(Hearing::kWaitMilliseconds));
            m_heardTimer.setEnabled(true);
        }
    } catch (const std::exception& e) {
        fail(kMessageTickProcedure, e);
    }
}

// The lines a broadcast sends, by their index: every one that is not
// empty, or one of them in turn, from where the last broadcast ended.
std::vector<std::size_t> RconSession::dueLines(bool rotate) const {
    const std::vector<std::string>& lines = m_state.g_asMessageLines;
    const std::size_t count =
        std::min(lines.size(), static_cast<std::size_t>(std::max<std::int16_t>(m_state.g_iLastMessageLine, 0)) + 1);
    std::vector<std::size_t> due;
    for (std::size_t k = 0; k < count; ++k) {
        const std::size_t i = rotate ? (m_nextLine + k) % count : k;
        if (lines[i].empty()) continue;
        due.push_back(i);
        if (rotate) break;
    }
    return due;
}

void RconSession::statusTick() {
    try {
        m_lStatusTicks = countTick(m_lStatusTicks);
        const ServerFields fields = m_events.fields();
        const double interval = support::leadingNumber(fields.statusInterval);
        if (interval == 0) return;
        if (m_lStatusTicks < interval) return;
        send(statusRequest(fields), kStatusDatagram);
        m_lStatusTicks = 0;
        m_events.requestsSent();
    } catch (const std::exception& e) {
        fail(kStatusTickProcedure, e);
    }
}

// After a Stop the socket still names the last Start's server: it is
// opened again so that a command goes out and its reply is shown.
bool RconSession::reopenForCommand() {
    if (m_socket.state() == platform::kSocketOpen) return true;
    if (!m_bServerKnown) return false;
    m_socket.bind();
    return true;
}

RconSession::CommandResult RconSession::sendCommand(const std::string& command) {
    try {
        const std::string trimmed = support::trimBlanks(command);
        if (trimmed.empty()) return CommandResult::empty;
        if (!reopenForCommand()) return CommandResult::noServerYet;
        send(manualCommand(m_events.fields().password, trimmed), "the command");
        return CommandResult::sent;
    } catch (const std::exception& e) {
        fail(kSendProcedure, e);
        return CommandResult::failed;
    }
}

RconSession::CommandResult RconSession::requestStatus() {
    try {
        if (!reopenForCommand()) return CommandResult::noServerYet;
        send(statusRequest(m_events.fields()), kStatusDatagram);
        return CommandResult::sent;
    } catch (const std::exception& e) {
        fail(kSendProcedure, e);
        return CommandResult::failed;
    }
}

bool RconSession::statusFresh(const ServerFields& fields) const {
    const double maxAge = messageIntervalTicks(fields.messageInterval) * kMessageTimerPeriod;
    return m_status && static_cast<double>(m_pauses.now() - m_statusReadAt) <= maxAge;
}

std::optional<std::string> RconSession::skipReason(const ServerFields& fields) {
    const double least = support::leadingNumber(fields.minPlayers);
    const bool named = std::any_of(m_state.g_asMessageLines.begin(), m_state.g_asMessageLines.end(),
                                   [](const std::string& line) { return needsStatus(line); });
    if (!(least > 0) && !named) return {};
    if (!statusFresh(fields)) awaitStatus(fields);
    // No status to go by (the server did not answer in time): a lost reply
    // must not silence the server, the broadcast goes.
    if (!(least > 0) || !statusFresh(fields)) return {};
    const std::size_t on = m_status->playersOn();
    if (static_cast<double>(on) >= least) return {};
    return skippedNotice(m_clock.now(), on, least);
}

// The status is asked for and its reply read here, while the broadcast
// waits: replies that come meanwhile are taken as they come.
void RconSession::awaitStatus(const ServerFields& fields) {
    const std::uint64_t before = m_statusesRead;
    const std::uint32_t stops = m_stops;
    if (!send(statusRequest(fields), kStatusDatagram)) return;
    const std::int64_t asked = m_pauses.now();
    constexpr std::uint32_t kLook = 20;
    const auto waiting = [&] {
        return m_statusesRead == before && m_stops == stops && m_pauses.now() - asked < kStatusWaitMilliseconds;
    };
    while (waiting()) {
        while (waiting() && m_socket.state() == platform::kSocketOpen && m_socket.pendingDatagramSize() >= 0)
            receiveReply();
        if (waiting()) m_pauses.sleep(kLook);
    }
}

void RconSession::datagramsWaiting() {
    m_pauses.arrivals([this] {
        if (m_socket.state() != platform::kSocketOpen || m_socket.pendingDatagramSize() < 0) return false;
        receiveReply();
        return true;
    });
}

void RconSession::receiveReply() {
    try {
        const std::string datagram = m_socket.getData();
        const std::string text = ConsoleTextOfReply(datagram, m_sPacketPrefix);
        m_events.reply(text);
        m_hearing.hear(text);
        if (const std::string refusal = Hearing::refusalIn(text); !refusal.empty()) {
            ++m_refusals;
            m_events.passwordRefused(refusal);
        }
        readStatus(datagram);
    } catch (const std::exception& e) {
        fail(kReplyProcedure, e);
    }
}

void RconSession::readStatus(const std::string& datagram) {
    std::optional<ServerStatus> read = m_statusReader.feed(datagram, m_clock.now());
    if (!read) return;
    std::optional<StatusChange> change;
    if (m_status) change = changeBetween(*m_status, *read);
    m_status = std::move(read);
    m_statusReadAt = m_pauses.now();
    ++m_statusesRead;
    m_events.statusRead(*m_status, change);
}

std::string skippedNotice(const platform::LocalDateTime& at, std::size_t playersOn, double asked) {
    char text[96];
    std::snprintf(text, sizeof text, "Broadcast skipped at %02d:%02d: %zu %s on (at least %g asked)", at.hour % 100,
                  at.minute % 100, playersOn, playersOn == 1 ? "player" : "players", asked);
    return text;
}

SessionFailure RconSession::classify(const std::string& procedure, const std::exception& e) {
    const base::AppError error = base::asAppError(e);
    const bool replyHandler = procedure == kReplyProcedure;
    SessionFailure failure{procedure, error, SessionFailure::Telling::errorLog, error.description(),
                           std::exchange(m_failedDatagram, {})};
    if (const char* message = socketMessage(error.number(), replyHandler)) {
        failure.telling = SessionFailure::Telling::tableMessage;
        failure.text = message;
    } else if (replyHandler) {
        failure.telling = SessionFailure::Telling::ownDescription;
    }
    return failure;
}

// No tick and no reply runs while a failure is told: one failure, one box.
void RconSession::tell(const SessionFailure& failure) {
    skipOnFailure([&] { m_pauses.holdEvents([&] { m_events.failed(failure); }); });
}

void RconSession::fail(const std::string& procedure, const std::exception& e) { tell(classify(procedure, e)); }

}  // namespace app
