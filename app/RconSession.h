#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "app/Hearing.h"
#include "app/Pacing.h"
#include "app/Pauses.h"
#include "app/ServerStatus.h"
#include "platform/Clock.h"
#include "platform/Controls.h"
#include "platform/Socket.h"
#include "base/AppError.h"

namespace app {

// The remote-console state of one server. It starts empty and is never reset.
struct RconState {
    std::string g_sGameName;
    std::string g_sRconWord;
    std::string g_sSayWord;
    std::vector<std::string> g_asMessageLines;
    std::int16_t g_iLastMessageLine = 0;
    std::string g_sRconPassword;
};

// The settings of one server as texts, as the window's fields hold them or a
// profile keeps them; read afresh each time the session needs them.
struct ServerFields {
    std::string address;
    std::string port;
    std::string password;
    std::string message;          // lines ended by CR LF
    std::string messageInterval;  // in ticks of kMessageTimerPeriod
    std::string lineDelay;        // in seconds
    std::string statusInterval;   // in ticks of kStatusTimerPeriod
    std::string minPlayers;       // the fewest players on for a broadcast to go; nothing or 0: always
    std::string rotate;           // "1": one line at each broadcast, in turn
};

// The pause after each broadcast line blocks the whole window, so it is kept
// within 0 to 60 seconds whatever the field holds (0 itself means 2 seconds).
inline constexpr double kMaxLineDelaySeconds = 60.0;

// The timers' periods: one "minute" of the interval fields is a tick.
inline constexpr std::int32_t kMessageTimerPeriod = 65535;
inline constexpr std::int32_t kStatusTimerPeriod = 63000;

// The procedures whose failures the session reports, by the window's names.
inline constexpr const char* kStartProcedure = "cmdStart_Click";
inline constexpr const char* kMessageTickProcedure = "tmrServerMessage_Timer";
inline constexpr const char* kStatusTickProcedure = "tmrStatus_Timer";
inline constexpr const char* kSendProcedure = "cmdSend_Click";
inline constexpr const char* kReplyProcedure = "udpPeerA_DataArrival";

// A failure on the way to the server, as it is to be told: the socket error
// table's message, or (for a number the table does not hold) the error's own
// description in the reply handler and the error log in the senders.
struct SessionFailure {
    enum class Telling { tableMessage, ownDescription, errorLog };
    std::string procedure;
    base::AppError error;
    Telling telling;
    std::string text;  // the table's message, or the error's description
    // The datagram that could not be sent ("line 2", "the status request",
    // "the command"), or empty for a failure that was no send.
    std::string datagram;
};

// What the session asks of its owner (the window's presenter, the service)
// and tells it.
class ISessionEvents {
public:
    virtual ~ISessionEvents() = default;
    // The server's settings as they stand now.
    virtual ServerFields fields() = 0;
    // Start's (or a reload's) checks have passed: the settings are taken and
    // the socket is about to be opened (the window keeps its fields then).
    virtual void starting() {}
    // A reply, as the console shows it.
    virtual void reply(const std::string& consoleText) = 0;
    // A failure, told while ticks and replies are held.
    virtual void failed(const SessionFailure& failure) = 0;
    // A broadcast line has gone out (its index in the message's lines).
    virtual void lineSent(std::size_t index, const std::string& line) {
        (void)index;
        (void)line;
    }
    // A broadcast is complete, or the poll has asked for the status.
    virtual void requestsSent() {}
    // What the server echoed of a broadcast in the chat form, once its echoes have had their time.
    virtual void heard(const Hearing::Verdict& verdict) { (void)verdict; }
    // The server refused the password (its reply).
    virtual void passwordRefused(const std::string& reply) { (void)reply; }
    // A status has come whole and been read; change is what differs from
    // the one before, none for the first of a server.
    virtual void statusRead(const ServerStatus& status, const std::optional<StatusChange>& change) {
        (void)status;
        (void)change;
    }
    // A broadcast fell due with fewer players on than asked, and was not sent.
    virtual void broadcastSkipped(const std::string& notice) { (void)notice; }
};

// How long a broadcast that needs a status waits for its reply, when the
// last one is older than the message's interval; with none by then it goes.
inline constexpr std::int64_t kStatusWaitMilliseconds = 2000;

// A reply datagram as the console shows it: every reply header (the packet
// prefix, "print" and a line feed) removed wherever it stands, then every
// line feed made a carriage return and line feed.
std::string ConsoleTextOfReply(const std::string& datagram, const std::string& packetPrefix);

// What start() and reload() made of the settings they were given.
struct StartResult {
    enum class Outcome { started, refused, failed };
    Outcome outcome = Outcome::started;
    // refused: the message of the first field missing, as Start's check says it.
    std::string refusal;
    // failed: what went wrong on the way to the server.
    std::optional<SessionFailure> failure;
};

// The rcon session of one server, from Start to Stop: the game's words, the
// broadcast of the message (line, pause, line) at the message timer's ticks,
// the status poll at the status timer's, commands typed by hand, the replies
// cleaned into console text, and every failure classified and told. It
// alone drives the socket and the three timers it is given (the message's,
// the status's, and that of the wait for a broadcast's echoes); the owner
// decides what a failure means (the window stops, the service carries on).
class RconSession {
public:
    // heardTimer times the wait for a broadcast's echoes; the clock tells when it began.
    RconSession(platform::ISocket& socket, platform::ITimer& messageTimer, platform::ITimer& statusTimer,
                platform::ITimer& heardTimer, Pauses& pauses, platform::IClock& clock, ISessionEvents& events);
    RconSession(const RconSession&) = delete;
    RconSession& operator=(const RconSession&) = delete;

    // The game's name and its two words. A name no profile knows keeps the
    // words it had, or takes "rcon" when there are none yet.
    void applyGame(const std::string& gameName);
    const RconState& state() const { return m_state; }
    const std::string& packetPrefix() const { return m_sPacketPrefix; }

    // Start: the game's words taken (they stay when a check refuses, as the
    // game box shows them); the fields checked; the message cut into its
    // lines and the password trimmed; the owner told that Start goes ahead
    // (events.starting); the socket opened to the server with one status
    // request, and the timers on. The lines, the password and the server are
    // the session's only when it succeeds: refused or failed, it is as it
    // was (a failure is told through events.failed as any other). For an
    // owner that carries on after failures, a server not reached is told
    // and the session starts all the same.
    StartResult start(const ServerFields& fields, const std::string& game);
    // The settings taken again while running (the service's reload): the
    // message, password and game from the next tick on, the tick counts
    // kept, a server moved elsewhere opened at once. Refused or failed, the
    // running session is as it was; its failure is the caller's to tell.
    StartResult reload(const ServerFields& fields, const std::string& game);
    // The socket closed and the timers off, every step tried. A broadcast
    // stopped during one of its pauses sends no more lines.
    void stop();
    bool running() const { return m_messageTimer.enabled(); }

    // For an owner that nobody watches (the service), whose schedule goes on
    // after a failure: a send that finds the socket closed (its server not
    // found at Start, or closed since) first opens it to the server the
    // fields name then, and a broadcast line that fails is told and the rest
    // of the broadcast goes out, so that the next broadcast comes at its
    // interval (a line too long for a datagram would otherwise send the lines
    // before it at every tick).
    void carryOnAfterFailures(bool on) { m_bCarryOn = on; }

    // The timers' ticks and the socket's report that datagrams wait; held
    // during a pause and a failure box.
    void messageTimerTicked();
    void statusTimerTicked();
    void heardTimerTicked();
    void datagramsWaiting();
    // One datagram, taken and told as a reply.
    void receiveReply();
    // The last status read from the server of the last Start, if one has come.
    const ServerStatus* status() const { return m_status ? &*m_status : nullptr; }
    // Asks for the status now (the player table's Refresh), as a command typed by hand goes.
    enum class CommandResult { sent, empty, noServerYet, failed };
    CommandResult requestStatus();

    // A command typed by hand, to the server of the last Start, also after a
    // Stop.
    CommandResult sendCommand(const std::string& command);

    // The common failure path: the failure classified and told, ticks and
    // replies held meanwhile.
    void fail(const std::string& procedure, const std::exception& e);

private:
    // The message cut into its lines, and the trimmed password, as Start takes them.
    struct PreparedMessage {
        std::vector<std::string> lines;
        std::int16_t lastLine = 0;
        std::string password;
    };
    static PreparedMessage PrepareMessage(const std::string& message, const std::string& password);
    // Where the socket was pointed last, to be pointed back when a Start fails.
    struct Server {
        std::string host;
        std::int32_t port = 0;
    };
    StartResult begin(const ServerFields& fields, bool reopen, bool tellFailure);
    void startTimers();
    void messageTick();
    std::vector<std::size_t> dueLines(bool rotate) const;
    void statusTick();
    // Why a broadcast due now is not sent (fewer players on than asked), or
    // nothing; asks for a status first where the last is too old for it.
    std::optional<std::string> skipReason(const ServerFields& fields);
    bool statusFresh(const ServerFields& fields) const;
    void awaitStatus(const ServerFields& fields);
    void readStatus(const std::string& datagram);
    bool reopenForCommand();
    void connect(const ServerFields& fields);
    // Sends one datagram once the pacer lets it go; false when the session
    // was stopped while it waited (nothing is sent then).
    bool send(const std::string& commandText, std::string what);
    std::string statusRequest(const ServerFields& fields) const;
    // The failure as it is to be told, with the datagram of the send that failed, if any.
    SessionFailure classify(const std::string& procedure, const std::exception& e);
    void tell(const SessionFailure& failure);

    platform::ISocket& m_socket;
    platform::ITimer& m_messageTimer;
    platform::ITimer& m_statusTimer;
    platform::ITimer& m_heardTimer;
    Pauses& m_pauses;
    platform::IClock& m_clock;
    ISessionEvents& m_events;
    RconState m_state;
    Hearing m_hearing;
    Pacer m_pacer;
    const std::string m_sPacketPrefix;
    std::int32_t m_lMessageTicks = 0;
    std::int32_t m_lStatusTicks = 0;
    std::size_t m_nextLine = 0;   // the line a broadcast in turn sends next, kept across Stop and Start
    bool m_bServerKnown = false;  // a Start has opened the socket once
    Server m_server;              // the server of the last Start
    bool m_bCarryOn = false;
    std::uint32_t m_stops = 0;     // how often stop() has run
    std::string m_failedDatagram;  // the datagram of the send that failed last, until it is told
    StatusReader m_statusReader;
    std::optional<ServerStatus> m_status;
    std::int64_t m_statusReadAt = 0;  // the event loop's milliseconds when it was read
    std::uint64_t m_statusesRead = 0;
    std::uint32_t m_refusals = 0;  // of the password, by the server's replies
};

// "Broadcast skipped at 14:02: 0 players on (at least 1 asked)"
std::string skippedNotice(const platform::LocalDateTime& at, std::size_t playersOn, double asked);

// The pause after each line, in milliseconds, for a delay field's text.
std::uint32_t lineDelayMilliseconds(const std::string& delayField);
// The message timer's ticks from one broadcast to the next, for an interval
// field's text: 0 (a text that is no number included) means 5.
double messageIntervalTicks(const std::string& intervalField);
// Whether a broadcast sends one line in turn rather than every line.
bool rotates(const ServerFields& fields);

}  // namespace app
