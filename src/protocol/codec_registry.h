#pragma once
// The process-wide map from type code to codec, ordered by signed code.
// It is filled on the user-interface thread during start-up, before the
// network thread exists, and only read afterwards; lookups take no lock.
#include <vector>

#include "protocol/body_types.h"

namespace kanzo {

class ObjectCodec;

// Adds the pair and returns true; a code already present keeps its codec
// and false is returned. A null codec is refused.
bool registerCodec(TypeCode code, const ObjectCodec* codec);

// The codec registered under `code`, or null.
const ObjectCodec* FindCodec(TypeCode code);

// The registered codes in the registry's (signed) order.
std::vector<TypeCode> RegisteredTypeCodes();

}  // namespace kanzo
