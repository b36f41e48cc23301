#include "protocol/object_io.h"

#include <array>
#include <cstring>

#include "log/cx_log.h"
#include "platform/narrow_text.h"
#include "protocol/codec_registry.h"
#include "protocol/object.h"
#include "protocol/object_codec.h"

namespace kanzo {
namespace {

template <typename U>
void PutBigEndian(ObjectIO& io, U value) {
  std::array<unsigned char, sizeof(U)> bytes{};
  for (std::size_t i = 0; i < sizeof(U); ++i) {
    bytes[sizeof(U) - 1 - i] = static_cast<unsigned char>(value & 0xFFu);
    value = static_cast<U>(value >> 8);
  }
  io.write(bytes.data(), static_cast<std::int32_t>(bytes.size()));
}

template <typename U>
U FromBigEndian(const std::array<unsigned char, sizeof(U)>& bytes) {
  U value = 0;
  for (unsigned char b : bytes) value = static_cast<U>((value << 8) | b);
  return value;
}

}  // namespace

bool ObjectIO::readExact(void* data, std::int32_t length) {
  if (length <= 0) return true;
  const std::int32_t got = read(data, length);
  if (got == length) return true;
  ++shortReads_;
  return false;
}

void ObjectIO::writeByte(std::int8_t value) { write(&value, 1); }

void ObjectIO::writeShort(std::int16_t value) { PutBigEndian(*this, static_cast<std::uint16_t>(value)); }

void ObjectIO::writeInt(std::int32_t value) { PutBigEndian(*this, static_cast<std::uint32_t>(value)); }

void ObjectIO::writeLong(std::int64_t value) { PutBigEndian(*this, static_cast<std::uint64_t>(value)); }

void ObjectIO::writeString(const std::string& narrow) {
  if (narrow.empty()) {
    writeShort(0);
    return;
  }
  const std::string utf8 = platform::NarrowToUtf8(narrow);
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
  if (!readExact(&value, 1)) return 0;
  return value;
}

std::int16_t ObjectIO::readShort() {
  std::array<unsigned char, 2> bytes{};
  if (!readExact(bytes.data(), 2)) return 0;
  return static_cast<std::int16_t>(FromBigEndian<std::uint16_t>(bytes));
}

std::int32_t ObjectIO::readInt() {
  std::array<unsigned char, 4> bytes{};
  if (!readExact(bytes.data(), 4)) return 0;
  return static_cast<std::int32_t>(FromBigEndian<std::uint32_t>(bytes));
}

std::int64_t ObjectIO::readLong() {
  std::array<unsigned char, 8> bytes{};
  if (!readExact(bytes.data(), 8)) return 0;
  return static_cast<std::int64_t>(FromBigEndian<std::uint64_t>(bytes));
}

std::string ObjectIO::readString() {
  const std::int16_t length = readShort();
  if (length <= 0) return {};
  std::string utf8(static_cast<std::size_t>(length), '\0');
  if (!readExact(utf8.data(), length)) return {};
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
