#include "platform/narrow_text.h"

#include <iconv.h>
#include <langinfo.h>

#include <atomic>
#include <cerrno>
#include <clocale>
#include <mutex>
#include <string>

namespace kanzo::platform {
namespace {

std::mutex gMutex;
std::atomic<bool> gInitialised{false};
std::string gCodeset;
// Read on every string that crosses the wire, so it is lock-free.
std::atomic<bool> gIsUtf8{true};

void LoadCodesetLocked() {
  const char* cs = nl_langinfo(CODESET);
  gCodeset = cs ? cs : "";
  // The C/POSIX locale reports ASCII; it counts as UTF-8 here.
  gIsUtf8 = gCodeset.empty() || gCodeset == "UTF-8" || gCodeset == "utf8" || gCodeset == "ANSI_X3.4-1968" ||
            gCodeset == "ASCII";
  if (gIsUtf8) gCodeset = "UTF-8";
  gInitialised.store(true, std::memory_order_release);
}

void EnsureInit() {
  if (gInitialised.load(std::memory_order_acquire)) return;
  std::lock_guard lock(gMutex);
  if (!gInitialised.load(std::memory_order_relaxed)) LoadCodesetLocked();
}

class Iconv {
 public:
  Iconv(const std::string& to, const std::string& from) : cd_(iconv_open(to.c_str(), from.c_str())) {}
  ~Iconv() {
    if (ok()) iconv_close(cd_);
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return cd_; }

 private:
  iconv_t cd_;
};

std::string Convert(std::string_view in, const std::string& to, const std::string& from) {
  Iconv cd(to, from);
  if (!cd.ok()) return std::string(in);
  std::string out;
  out.resize(in.size() * 4 + 16);
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char* dst = out.data();
  size_t dstLeft = out.size();
  while (srcLeft > 0) {
    const size_t r = iconv(cd.get(), &src, &srcLeft, &dst, &dstLeft);
    if (r != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) {
      const size_t used = static_cast<size_t>(dst - out.data());
      out.resize(out.size() * 2);
      dst = out.data() + used;
      dstLeft = out.size() - used;
      continue;
    }
    // EILSEQ or EINVAL: skip one byte of input and go on.
    ++src;
    --srcLeft;
  }
  out.resize(static_cast<size_t>(dst - out.data()));
  return out;
}

}  // namespace

void InitNarrowEncoding() {
  std::lock_guard lock(gMutex);
  std::setlocale(LC_ALL, "");
  LoadCodesetLocked();
}

void ResetNarrowEncodingForTests() {
  std::lock_guard lock(gMutex);
  LoadCodesetLocked();
}

std::string NarrowEncodingName() {
  EnsureInit();
  std::lock_guard lock(gMutex);
  return gCodeset;
}

bool NarrowIsUtf8() {
  EnsureInit();
  return gIsUtf8.load(std::memory_order_acquire);
}

std::string NarrowToUtf8(std::string_view narrow) {
  if (NarrowIsUtf8()) return std::string(narrow);
  return Convert(narrow, "UTF-8", NarrowEncodingName());
}

std::string Utf8ToNarrow(std::string_view utf8) {
  if (NarrowIsUtf8()) return std::string(utf8);
  return Convert(utf8, NarrowEncodingName(), "UTF-8");
}

std::string_view Utf8PrefixWithin(std::string_view utf8, std::size_t maxBytes) {
  if (utf8.size() <= maxBytes) return utf8;
  std::size_t cut = maxBytes;
  // Step back over continuation bytes (10xxxxxx) to the start of the character.
  while (cut > 0 && (static_cast<unsigned char>(utf8[cut]) & 0xC0) == 0x80) --cut;
  return utf8.substr(0, cut);
}

}  // namespace kanzo::platform
