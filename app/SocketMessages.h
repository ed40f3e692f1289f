#pragma once

#include <cstdint>

namespace app {

// The socket's failures as the user is told of them, by their Windows Sockets
// number; nullptr for a number the table does not hold. The reply handler
// uses the same table without 10014.
const char* socketMessage(std::int32_t number, bool replyHandler);

}  // namespace app
