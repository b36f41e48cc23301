#include "protocol/startup_codecs.h"

#include "log/cx_log.h"
#include "protocol/codec_registry.h"
#include "protocol/login.h"
#include "protocol/msg.h"
#include "protocol/regist.h"

namespace kanzo {
namespace {

bool RegisterOne(TypeCode code, const ObjectCodec& codec) {
  registerCodec(code, &codec);
  if (FindCodec(code) == &codec) return true;
  KLOG_ERROR("类型码 0x%04X 已注册了其他编解码器", static_cast<unsigned>(static_cast<std::uint16_t>(code)));
  return false;
}

}  // namespace

bool RegisterStartupCodecs() {
  bool ok = RegisterOne(kTypeLogin, LoginCodec::Instance());
  ok = RegisterOne(kTypeMsg, MsgCodec::Instance()) && ok;
  ok = RegisterOne(kTypeRegist, RegistCodec::Instance()) && ok;
  return ok;
}

}  // namespace kanzo
