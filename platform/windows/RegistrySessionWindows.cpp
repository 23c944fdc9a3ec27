#include "platform/RegistrySession.h"

namespace gridloom {

// The system reads and writes each value as it comes; there is nothing to gather.
struct TRegistrySession::TState {};

TRegistrySession::TRegistrySession(TPurpose) {}

TRegistrySession::~TRegistrySession() = default;

}  // namespace gridloom
