#pragma once
// The process-wide current agent record, contact table and name table.
// Each is built on first use and lives until ReleaseSharedWorkspace(),
// which the application object calls at exit, after the chat window (and
// with it the chat-line store thread) is gone.
#include "workspace/agent_record.h"
#include "workspace/contact_table.h"
#include "workspace/name_table.h"

namespace kanzo {

SharedAgentRecord& CurrentAgentRecord();
ContactTable& SharedContactTable();
NameTable& SharedNameTable();

// Frees the agent record, then empties and frees the contact table (its
// records with it) and the name table. References taken before are invalid
// afterwards; a later accessor call builds a fresh, empty instance.
void ReleaseSharedWorkspace();

}  // namespace kanzo
