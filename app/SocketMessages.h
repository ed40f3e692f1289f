#pragma once

#include <cstdint>

#include "app/RconSession.h"
#include "platform/Controls.h"
#include "support/modErrorLog.h"

namespace app {

// The socket's failures as the user is told of them, by their Windows Sockets
// number; nullptr for a number the table does not hold. The reply handler
// uses the same table without 10014.
const char* socketMessage(std::int32_t number, bool replyHandler);

// A session's failure as it is told: the box the window shows, whose text
// the service logs instead. The table's message (followed by nine blanks),
// the error's own description, or, for a failure the table does not hold, an
// entry of the error log, written here, with the log's own box.
support::ErrorMessage tellFailure(const SessionFailure& failure, support::modErrorLog& errorLog);

}  // namespace app
