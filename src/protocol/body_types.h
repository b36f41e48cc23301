#pragma once
// Every object type code that travels on the wire, in one place. Codes are
// signed 16-bit values: the registry orders them by signed comparison, so
// the codes at or above 0x8000 sort before the small ones.
#include <cstdint>

namespace kanzo {

using TypeCode = std::int16_t;

constexpr TypeCode TypeCodeFromWire(std::uint16_t wire) { return static_cast<TypeCode>(wire); }

// An absent object; a message without body carries this code alone.
inline constexpr TypeCode kTypeNone = 0;

// Primitive values (NByte, Short, Int, Long, String).
inline constexpr TypeCode kTypeByte = 1;
inline constexpr TypeCode kTypeShort = 2;
inline constexpr TypeCode kTypeInt = 3;
inline constexpr TypeCode kTypeLong = 4;
inline constexpr TypeCode kTypeString = 5;

// Bodies the client sends and accepts; registered at start-up.
inline constexpr TypeCode kTypeLogin = TypeCodeFromWire(0x28EF);   // 10479
inline constexpr TypeCode kTypeMsg = TypeCodeFromWire(0x24EF);     // 9455
inline constexpr TypeCode kTypeRegist = TypeCodeFromWire(0x3C7D);  // 15485

// Bodies of the server's protocol that the client can encode and decode but
// never registers, so that they arrive as absent bodies.
inline constexpr TypeCode kTypeChat = TypeCodeFromWire(0xE4FD);
inline constexpr TypeCode kTypeCustomer = TypeCodeFromWire(0xE1FB);
inline constexpr TypeCode kTypeFreecall = TypeCodeFromWire(0xB07D);
inline constexpr TypeCode kTypeInit = TypeCodeFromWire(0xC677);
inline constexpr TypeCode kTypeMember = TypeCodeFromWire(0x37F3);
inline constexpr TypeCode kTypeSession = TypeCodeFromWire(0xA76F);

// The class name of a type code for log lines ("Msg", "Chat", ...), or
// "unknown" for a code no class carries.
const char* TypeCodeName(TypeCode code);

}  // namespace kanzo
