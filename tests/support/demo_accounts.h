#pragma once
// The accounts of the simulator's demo data (simulator/data/program/
// demo-accounts.json) that tests log in with.
#include <cstdint>

namespace kanzo::test {

inline constexpr const char* kDemoUser = "demo";
inline constexpr const char* kDemoUser2 = "demo2";
inline constexpr const char* kDemoPassword = "kanzo123";
inline constexpr std::int32_t kDemoUid = 2001;
inline constexpr std::int32_t kDemoUid2 = 2002;
inline constexpr std::int32_t kDemoAccount = 10001;

}  // namespace kanzo::test
