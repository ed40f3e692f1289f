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

// A session's failure as the window tells it: the table's message in a box
// (followed by nine blanks), the error's own description in a box, or an
// entry of the error log with the log's own box. Throws what the box throws.
void tellFailure(const SessionFailure& failure, platform::IMessageBox& boxes, support::modErrorLog& errorLog);

}  // namespace app
