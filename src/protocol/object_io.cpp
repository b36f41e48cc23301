#include "protocol/object_io.h"

#include "log/cx_log.h"
#include "platform/narrow_text.h"
#include "protocol/big_endian.h"
#include "protocol/codec_registry.h"
#include "protocol/object.h"
#include "protocol/object_codec.h"

namespace kanzo {
namespace {

template <typename T>
void WriteBigEndian(ObjectIO& io, T value) {
  unsigned char bytes[sizeof(T)];
  StoreBigEndian(bytes, value);
  io.write(bytes, static_cast<std::int32_t>(sizeof(T)));
}

template <typename T>
T ReadBigEndian(ObjectIO& io) {
  unsigned char bytes[sizeof(T)];
  if (!io.readFully(bytes, static_cast<std::int32_t>(sizeof(T)))) return 0;
  return LoadBigEndian<T>(bytes);
}

}  // namespace

bool ObjectIO::readFully(void* data, std::int32_t length) {
  if (length <= 0) return true;
  const std::int32_t got = read(data, length);
  if (got == length) return true;
  ++shortReads_;
  return false;
}

void ObjectIO::writeByte(std::int8_t value) { write(&value, 1); }

void ObjectIO::writeShort(std::int16_t value) { WriteBigEndian(*this, value); }

void ObjectIO::writeInt(std::int32_t value) { WriteBigEndian(*this, value); }

void ObjectIO::writeLong(std::int64_t value) { WriteBigEndian(*this, value); }

void ObjectIO::writeString(const std::string& narrow) {
  if (narrow.empty()) {
    writeShort(0);
    return;
  }
  // A UTF-8 locale needs no conversion, and so no copy of the text.
  const bool passThrough = platform::NarrowIsUtf8();
  std::string converted;
  if (!passThrough) converted = platform::NarrowToUtf8(narrow);
  const std::string_view utf8 = passThrough ? std::string_view(narrow) : std::string_view(converted);
  const std::string_view fits = platform::Utf8PrefixWithin(utf8, kMaxStringBytes);
  if (fits.size() < utf8.size()) {
    KLOG_WARN("字符串过长：UTF-8 %zu 字节，截断为 %zu 字节", utf8.size(), fits.size());
  }
  writeShort(static_cast<std::int16_t>(fits.size()));
  write(fits.data(), static_cast<std::int32_t>(fits.size()));
}

void ObjectIO::writeObject(const Object* object) {
  if (object == nullptr) return;
  const TypeCode code = object->type();
  writeShort(code);
  if (const ObjectCodec* codec = FindCodec(code)) codec->encode(*this, *object);
}

std::int8_t ObjectIO::readByte() {
  std::int8_t value = 0;
  if (!readFully(&value, 1)) return 0;
  return value;
}

std::int16_t ObjectIO::readShort() { return ReadBigEndian<std::int16_t>(*this); }

std::int32_t ObjectIO::readInt() { return ReadBigEndian<std::int32_t>(*this); }

std::int64_t ObjectIO::readLong() { return ReadBigEndian<std::int64_t>(*this); }

std::string ObjectIO::readString() {
  const std::int16_t length = readShort();
  if (length <= 0) return {};
  std::string utf8(static_cast<std::size_t>(length), '\0');
  if (!readFully(utf8.data(), length)) return {};
  if (platform::NarrowIsUtf8()) return utf8;
  return platform::Utf8ToNarrow(utf8);
}

std::unique_ptr<Object> ObjectIO::readObject() {
  const TypeCode code = readShort();
  if (code == kTypeNone) return nullptr;
  const ObjectCodec* codec = FindCodec(code);
  if (codec == nullptr) return nullptr;
  return std::unique_ptr<Object>(codec->decode(*this, nullptr));
}

}  // namespace kanzo
