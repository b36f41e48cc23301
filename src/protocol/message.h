#pragma once
// One unit between client and chat server: a fixed header and at most one
// body object. Wire order: reserved (1 byte), MESSAGE_ID (64-bit),
// command (32-bit), RESULT (1 byte), SESSION_ID (64-bit), body (type code
// and content; a missing body is the type code 0 alone).
//
// Ownership: a request refers to a body its sender owns (setBody); a
// received message owns the body it decoded (adoptBody) and frees it with
// itself.
#include <cstdint>
#include <memory>

#include "protocol/object.h"
#include "protocol/object_io.h"

namespace kanzo {

class Message final : public Object {
 public:
  // With `withId` set the message takes the next request id; a message
  // built to receive into takes none.
  explicit Message(bool withId = false);
  ~Message() override;
  Message(const Message&) = delete;
  Message& operator=(const Message&) = delete;

  // The body, or null when absent.
  Object* body() const { return body_; }
  // The body as `T`, or null when it is absent or of another class.
  template <typename T>
  T* bodyAs() const {
    return dynamic_cast<T*>(body_);
  }
  // Refers to a body the caller owns (and keeps alive while the message
  // is in use); any body the message owned is freed.
  void setBody(Object* borrowed);
  // Takes ownership of `owned`; any body the message owned before is freed.
  void adoptBody(std::unique_ptr<Object> owned);
  bool ownsBody() const { return ownedBody_ != nullptr; }

  // Any RESULT other than 0 is a failure.
  bool failed() const { return RESULT != 0; }

  std::uint8_t reserved = 0;
  std::int64_t MESSAGE_ID = 0;
  std::int32_t command = 0;
  std::uint8_t RESULT = 0;
  std::int64_t SESSION_ID = 0;

 private:
  Object* body_ = nullptr;
  std::unique_ptr<Object> ownedBody_;
};

// Writes the header and the body (or the type code 0 when there is none).
void writeMessage(ObjectIO& io, const Message& message);

// Reads one message from `io`. It always yields a message: fields past the
// end of the input read as 0, and a body whose type has no registered codec,
// or that the input ends inside of, is absent. A short read leaves io.ok()
// false, so the caller can tell a torn message from a whole one.
std::unique_ptr<Message> readMessage(ObjectIO& io);

}  // namespace kanzo
