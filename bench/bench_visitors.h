#pragma once
// The online visitors as the start data lists them (a JSON array of visitor
// objects), for the benchmarks that load the lists.
#include <cstdint>
#include <functional>
#include <string>

namespace kanzo::bench {

// `count` visitors numbered from `first`; `agentOf(i)` is the agent who
// holds the i-th.
inline std::string OnlineVisitorsBody(std::int32_t first, int count, const std::function<std::int32_t(int)>& agentOf) {
  std::string body = "[";
  for (int i = 0; i < count; ++i) {
    const std::string id = std::to_string(first + i);
    if (i) body += ",";
    body += "{\"B7\":" + id + ",\"B3\":\"浙江省杭州市\",\"B5\":\"http://www.example.com/price.html?v=" + id +
            "\",\"B4\":\"http://www.example.org/search?q=客服\",\"B1\":\"60.191.33." + std::to_string(i % 250) +
            "\",\"B6\":\"2024-05-21 15:02:11\",\"B8\":" + std::to_string(agentOf(i)) +
            ",\"B10\":2,\"B11\":\"价格与套餐\"}";
  }
  return body + "]";
}

}  // namespace kanzo::bench
