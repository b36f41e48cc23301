#pragma once
// The three messages of a crash report, spelled out independently of the
// program's own formatting so that a slip in either shows.
#include <string>

namespace kanzo::test {

inline std::string ExpectedCrashText(const std::string& kind, const std::string& path, unsigned code) {
  const std::string head = "Qimbo程序出现错误已终止运行。\r\n\r\n";
  if (kind == "success")
    return head + "我们已经创建了一个错误报告,保存在您的电脑 \"" + path + "\" 目录下。\r\n\r\n" +
           "您可以将它发送给我们，以帮助我们找出问题。\r\n";
  const std::string middle =
      kind == "write" ? "\" 目录保存错误报告操作失败了。" : "\" 目录下创建错误报告文件操作失败了。";
  return head + "在您的电脑 \"" + path + middle + "\r\n\r\n" + "请联系我们的客服，以帮助我们找出问题。\r\n\r\n" +
         "Error: " + std::to_string(code);
}

}  // namespace kanzo::test
