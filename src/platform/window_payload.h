#pragma once
// Typed payloads of window messages. A message's second parameter carries
// its payload in one of two ways, fixed by the message's shape:
//
//   OwnedPayload<T>    the sender moves a T in; the receiver may take it
//                      (TakePayload) or leave it. Whatever is not taken is
//                      freed by the helper: after the handler returns, when
//                      the window is gone before delivery, or when no loop
//                      runs. Post (any thread) and Send (user-interface
//                      thread) both work.
//   BorrowedPayload<T> the sender keeps the T; the receiver reads it
//                      (BorrowPayload) only during the call. Send only: a
//                      posted borrow would outlive its owner.
//
// These helpers are the only place where a payload is cast to and from the
// message parameter.
#include <cstdint>
#include <memory>

#include "platform/window_message.h"

namespace kanzo::platform {

template <typename T>
struct OwnedPayload {
  std::uint32_t message;
};

template <typename T>
struct BorrowedPayload {
  std::uint32_t message;
};

namespace payload_detail {

// An owned payload travels in a slot that the message frees when its life
// ends; taking the payload empties the slot.
template <typename T>
using Slot = std::unique_ptr<T>;

template <typename T>
void FreeSlot(LParam lParam) {
  delete reinterpret_cast<Slot<T>*>(lParam);
}

}  // namespace payload_detail

// Queues `payload` for `target`; false (and the payload freed) when no
// user-interface loop is installed.
template <typename T>
bool PostPayload(WindowId target, OwnedPayload<T> shape, WParam wParam, std::unique_ptr<T> payload) {
  auto* slot = new payload_detail::Slot<T>(std::move(payload));
  return NotifyWindow(target, shape.message, wParam, reinterpret_cast<LParam>(slot), &payload_detail::FreeSlot<T>);
}

// Hands `payload` to `target`'s handler at once; 0 when the window is gone.
template <typename T>
MessageResult SendPayload(WindowId target, OwnedPayload<T> shape, WParam wParam, std::unique_ptr<T> payload) {
  payload_detail::Slot<T> slot(std::move(payload));
  return SendWindowMessage(target, shape.message, wParam, reinterpret_cast<LParam>(&slot));
}

template <typename T>
MessageResult SendPayload(WindowId target, BorrowedPayload<T> shape, WParam wParam, const T& payload) {
  return SendWindowMessage(target, shape.message, wParam, reinterpret_cast<LParam>(&payload));
}

// In the handler of an owned-payload message: takes the payload (null when
// the sender sent none or it was taken already).
template <typename T>
std::unique_ptr<T> TakePayload(OwnedPayload<T> /*shape*/, LParam lParam) {
  if (lParam == 0) return nullptr;
  return std::move(*reinterpret_cast<payload_detail::Slot<T>*>(lParam));
}

// In the handler of a borrowed-payload message: the sender's value, valid
// until the handler returns (null when none was sent).
template <typename T>
const T* BorrowPayload(BorrowedPayload<T> /*shape*/, LParam lParam) {
  return reinterpret_cast<const T*>(lParam);
}

}  // namespace kanzo::platform
