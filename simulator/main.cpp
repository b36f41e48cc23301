// kanzo-sim: the chat-server simulator. Listens on 127.0.0.1 for the client
// (port 58089), serves the update folder over HTTP (58090), takes control
// commands on 58091 and, with --stdin, on standard input.
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include "packet_codec.h"
#include "platform/program_folder.h"
#include "sim_text.h"
#include "simulator.h"

namespace {

constexpr const char* kUsage =
    "用法: kanzo-sim [选项]\n"
    "  --port N              客户端端口（默认 58089；0 = 任意空闲端口）\n"
    "  --http-port N         更新服务端口（默认 58090）\n"
    "  --control-port N|off  控制端口（默认 58091）\n"
    "  --data FILE           账户与客服数据文件（默认 data/demo-accounts.json）\n"
    "  --scenario FILE|none  场景文件（默认 data/default.scenario）\n"
    "  --update-dir DIR|none 更新目录（默认 update/）\n"
    "  --frame-log FILE      帧日志（默认 log/frames.log）\n"
    "  --compress-above N|off 超过N字节的帧压缩发送（默认 512）\n"
    "  --reply-delay MS      访客和同事回答的延迟（默认 2500）\n"
    "  --stdin               从标准输入读取控制命令\n"
    "相对路径以本程序所在目录为准。控制命令见 help。\n";

bool ParsePort(const std::string& text, int* port) {
  if (text == "off") {
    *port = kanzo::kPortDisabled;
    return true;
  }
  const auto value = kanzo::ParseInteger(text);
  if (!value || *value < 0 || *value > 65535) return false;
  *port = static_cast<int>(*value);
  return true;
}

std::string InFolder(const std::string& folder, const std::string& path) {
  if (path.empty() || path[0] == '/') return path;
  return folder + path;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string folder = kanzo::platform::ProgramFolder();
  kanzo::SimOptions options;
  options.dataFile = "data/demo-accounts.json";
  options.scenarioFile = "data/default.scenario";
  options.updateDir = "update/";
  options.frameLogPath = "log/frames.log";
  options.echoNotes = true;

  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&](std::string* out) {
      if (i + 1 >= argc) return false;
      *out = argv[++i];
      return true;
    };
    std::string v;
    bool ok = true;
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (arg == "--stdin") {
      options.readStdin = true;
    } else if (arg == "--port") {
      ok = value(&v) && ParsePort(v, &options.server.port) && options.server.port >= 0;
    } else if (arg == "--http-port") {
      ok = value(&v) && ParsePort(v, &options.httpPort) && options.httpPort >= 0;
    } else if (arg == "--control-port") {
      ok = value(&v) && ParsePort(v, &options.controlPort);
    } else if (arg == "--data") {
      ok = value(&options.dataFile);
    } else if (arg == "--scenario") {
      ok = value(&options.scenarioFile);
      if (ok && options.scenarioFile == "none") options.scenarioFile.clear();
    } else if (arg == "--update-dir") {
      ok = value(&options.updateDir);
      if (ok && options.updateDir == "none") options.updateDir.clear();
    } else if (arg == "--frame-log") {
      ok = value(&options.frameLogPath);
    } else if (arg == "--compress-above") {
      ok = value(&v);
      if (ok && v == "off") {
        options.server.compressAbove = kanzo::kNeverCompress;
      } else if (ok) {
        const auto n = kanzo::ParseInteger(v);
        ok = n && *n >= 0 && *n <= INT32_MAX;
        if (ok) options.server.compressAbove = static_cast<std::int32_t>(*n);
      }
    } else if (arg == "--reply-delay") {
      ok = value(&v);
      const auto n = ok ? kanzo::ParseInteger(v) : std::nullopt;
      ok = n && *n >= 0;
      if (ok) options.service.replyDelayMs = *n;
    } else {
      ok = false;
    }
    if (!ok) {
      std::fprintf(stderr, "参数错误: %s\n%s", arg.c_str(), kUsage);
      return 2;
    }
  }
  options.dataFile = InFolder(folder, options.dataFile);
  options.scenarioFile = InFolder(folder, options.scenarioFile);
  options.updateDir = InFolder(folder, options.updateDir);
  options.frameLogPath = InFolder(folder, options.frameLogPath);
  if (!options.frameLogPath.empty()) {
    const auto slash = options.frameLogPath.rfind('/');
    if (slash != std::string::npos) kanzo::platform::EnsureFolder(options.frameLogPath.substr(0, slash));
  }

  kanzo::Simulator simulator(options);
  std::string error;
  if (!simulator.Start(&error)) {
    std::fprintf(stderr, "kanzo-sim: %s\n", error.c_str());
    return 1;
  }
  std::fprintf(stderr,
               "kanzo-sim: 聊天服务 127.0.0.1:%d  更新服务 %s  控制端口 %s\n"
               "kanzo-sim: 数据 %s\nkanzo-sim: 场景 %s\nkanzo-sim: 帧日志 %s\n",
               simulator.port(),
               options.updateDir.empty() ? "无" : ("127.0.0.1:" + std::to_string(simulator.httpPort())).c_str(),
               options.controlPort == kanzo::kPortDisabled ? "无" : std::to_string(simulator.controlPort()).c_str(),
               options.dataFile.c_str(), options.scenarioFile.empty() ? "无" : options.scenarioFile.c_str(),
               options.frameLogPath.empty() ? "无" : options.frameLogPath.c_str());
  simulator.Run();
  return 0;
}
