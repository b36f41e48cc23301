#include "protocol/body_types.h"

namespace kanzo {

const char* TypeCodeName(TypeCode code) {
  switch (code) {
    case kTypeNone: return "none";
    case kTypeByte: return "NByte";
    case kTypeShort: return "Short";
    case kTypeInt: return "Int";
    case kTypeLong: return "Long";
    case kTypeString: return "String";
    case kTypeLogin: return "Login";
    case kTypeMsg: return "Msg";
    case kTypeRegist: return "Regist";
    case kTypeChat: return "Chat";
    case kTypeCustomer: return "Customer";
    case kTypeFreecall: return "Freecall";
    case kTypeInit: return "Init";
    case kTypeMember: return "Member";
    case kTypeSession: return "Session";
    default: return "unknown";
  }
}

}  // namespace kanzo
