#include "session/Workspace.h"

namespace quorvane {

Workspace::Workspace(Host& host) : host(host) {}

} // namespace quorvane
