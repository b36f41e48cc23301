#pragma once
// A byte stream with typed, big-endian operations. Every multi-byte integer
// on the wire is most significant byte first, whatever the machine.
//
// Reads never run past the end: a typed read that finds fewer bytes than it
// needs takes the bytes that are there, yields zero (or the empty string)
// and counts a short read; ok() stays false until resetOk(). A well-formed
// frame never causes one; the frame reader checks ok() to drop torn input.
#include <cstdint>
#include <memory>
#include <string>

namespace kanzo {

class Object;

class ObjectIO {
 public:
  // The longest UTF-8 text a string field can carry (its length is a signed
  // 16-bit count).
  static constexpr std::int32_t kMaxStringBytes = 0x7FFF;

  // Appends `length` bytes; a length of 0 or less appends nothing.
  virtual void write(const void* data, std::int32_t length) = 0;
  // Removes up to `length` bytes from the front into `data`; returns how
  // many were there to remove.
  virtual std::int32_t read(void* data, std::int32_t length) = 0;
  virtual ~ObjectIO() = default;

  void writeByte(std::int8_t value);
  void writeShort(std::int16_t value);
  void writeInt(std::int32_t value);
  void writeLong(std::int64_t value);
  // Narrow text goes out as a 16-bit length and its UTF-8 bytes. A text
  // longer than kMaxStringBytes in UTF-8 is cut to its longest prefix of
  // whole characters that fits, so the stream stays readable.
  void writeString(const std::string& narrow);
  // The type code, then the registered codec's encoding (nothing when no
  // codec is registered for the code). A null object writes nothing at all.
  void writeObject(const Object* object);

  std::int8_t readByte();
  std::int16_t readShort();
  std::int32_t readInt();
  std::int64_t readLong();
  // A length of 0 or a negative one (0x8000 and above) is the empty string
  // and takes no further bytes.
  std::string readString();
  // Null for type code 0 and for a code without registered codec (after
  // exactly the two bytes of the code); otherwise a new object the caller
  // owns.
  std::unique_ptr<Object> readObject();

  // False once a read found fewer bytes than it needed.
  bool ok() const { return shortReads_ == 0; }
  // How many reads found fewer bytes than they needed.
  std::uint32_t shortReads() const { return shortReads_; }
  void resetOk() { shortReads_ = 0; }

 protected:
  ObjectIO() = default;
  ObjectIO(const ObjectIO&) = default;
  ObjectIO& operator=(const ObjectIO&) = default;

 private:
  // Reads exactly `length` bytes or marks the stream short; true when all
  // were there.
  bool readExact(void* data, std::int32_t length);
  std::uint32_t shortReads_ = 0;
};

}  // namespace kanzo
