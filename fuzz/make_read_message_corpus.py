#!/usr/bin/env python3
"""Writes the seed corpus of the read_message fuzz target.

Each seed is the payload of one frame as the chat server or the client
would send it, plus a few torn and odd ones. Run from anywhere:
    python3 fuzz/make_read_message_corpus.py
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "corpus", "read_message")

TYPE_LOGIN = 0x28EF
TYPE_MSG = 0x24EF
TYPE_REGIST = 0x3C7D
TYPE_CHAT = 0xE4FD


def text(s):
    raw = s.encode("utf-8")
    return struct.pack(">H", len(raw)) + raw


def header(message_id, command, result=0, session=0, reserved=0):
    return struct.pack(">BqiBq", reserved, message_id, command, result, session)


def msg(account, frm, frm_type, to, to_type, body):
    return struct.pack(">Hiibib", TYPE_MSG, account, frm, frm_type, to, to_type) + text(body)


def login(user, password, state):
    return struct.pack(">H", TYPE_LOGIN) + text(user) + text(password) + struct.pack(">b", state)


def regist(user, password, mobile):
    return struct.pack(">H", TYPE_REGIST) + text(user) + text(password) + text(mobile)


CHAT_JSON = '{"content":"您好，请问有什么可以帮您？","time":"2024-05-01 10:00:00"}'

SEEDS = {
    "login_request": header(1, 2) + login("a", "b", 2),
    "login_answer_failed": header(1, 2, result=1) + msg(0, 0, 0, 0, 0, "用户名或密码错误"),
    "refresh_session": header(2, 5, session=0x1122334455667788) + msg(100, 7, 1, 0, 0, ""),
    "refresh_login": header(3, 27, session=42) + login("客服1", "pw", 3),
    "chat_to_visitor": header(4, 11, session=42) + msg(100, 7, 1, 9001, 2, CHAT_JSON),
    "chat_send_failed": header(4, 11, result=0xFF, session=42) + struct.pack(">H", 0),
    "logout": header(5, 8, session=42) + msg(100, 7, 1, 0, 0, "1"),
    "without_body": header(6, 13) + struct.pack(">H", 0),
    "unregistered_chat_body": header(7, 11) + struct.pack(">Hqqqq", TYPE_CHAT, 1, 2, 3, 4) + text("x") * 4,
    "regist": header(8, 1) + regist("new", "pw", "13800000000"),
    "negative_string_length": header(9, 43) + struct.pack(">HiibibH", TYPE_MSG, 1, 2, 1, 3, 2, 0x8000) + b"tail",
    "torn_msg_body": (header(10, 29) + msg(1, 2, 1, 0, 0, '{"list":[]}'))[:-4],
    "torn_header": header(11, 7)[:9],
    "reserved_set": header(12, 15, reserved=0x7F) + msg(1, 2, 1, 3, 2, "{}"),
    "empty": b"",
}


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, payload in SEEDS.items():
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(payload)
    print(f"{len(SEEDS)} seeds in {OUT}")


if __name__ == "__main__":
    main()
