#pragma once
// The records the windows share with the chat-line store thread: the
// current agent record, the contact table and the name table. The
// application object owns one set for the whole run and hands it to the
// windows through their context; tests make their own. Destroying the set
// releases every record, so it must outlive the chat window and with it the
// store thread that reads it.
#include "records/agent_record.h"
#include "records/contact_table.h"
#include "records/name_table.h"

namespace kanzo {

struct Records {
  Records() = default;
  Records(const Records&) = delete;
  Records& operator=(const Records&) = delete;

  SharedAgentRecord agent;
  ContactTable contacts;
  NameTable names;
};

}  // namespace kanzo
