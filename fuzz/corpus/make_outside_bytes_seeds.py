#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets that read outside bytes:
frame_reader, server_json, ini and version_file (under fuzz/corpus/)."""
import gzip
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
MAGIC = 0x6743
COMPRESSED = 0x10006743
MAX_FRAME = 2 * 1024 * 1024  # the reader's frame bound, for lengths at and past it


def write(folder, seeds):
    path = os.path.join(HERE, folder)
    os.makedirs(path, exist_ok=True)
    for name, data in seeds.items():
        with open(os.path.join(path, name), "wb") as f:
            f.write(data if isinstance(data, bytes) else data.encode("utf-8"))


def frame(payload, header=MAGIC, length=None):
    return struct.pack(">II", header, len(payload) if length is None else length) + payload


def packed(message, claimed=None):
    return struct.pack(">I", len(message) if claimed is None else claimed) + gzip.compress(message)


def message(command, body=b""):
    # reserved, MESSAGE_ID, command, RESULT, SESSION_ID, then no body.
    return struct.pack(">BqiBqh", 0, 7, command, 0, 9, 0) + body


PIECES = b"\x01\x07\x40\xff"
write("frame_reader", {
    "plain": PIECES + frame(message(13)) + frame(message(29)),
    "one_byte_pieces": b"\x00\x00\x00\x00" + frame(message(8)) * 3,
    "compressed": PIECES + frame(packed(message(13, b"x" * 3000)), COMPRESSED),
    "compressed_claims_the_bound": PIECES + frame(packed(b"tiny", 8 * 1024 * 1024), COMPRESSED),
    "compressed_claims_past_the_bound": PIECES + frame(packed(b"tiny", 8 * 1024 * 1024 + 1), COMPRESSED),
    "corrupt_gzip": PIECES + frame(b"\x00\x00\x00\x10" + b"\x1f\x8b\x08\x00garbage", COMPRESSED),
    "length_at_the_bound": PIECES + struct.pack(">II", MAGIC, MAX_FRAME) + b"\x00" * 64,
    "length_past_the_bound": PIECES + struct.pack(">II", MAGIC, MAX_FRAME + 1) + frame(message(7)),
    "negative_length": PIECES + struct.pack(">II", MAGIC, 0xFFFFFFFF) + frame(message(7)),
    "garbage_then_frame": PIECES + b"\x67\x43\x00\x67" + b"junk" + frame(message(11)),
    "empty_payload": PIECES + frame(b"") + frame(b"", COMPRESSED),
})

write("server_json", {
    "start_data": b"\x00" + '{"users":{"售前":[{"id":2002,"name":"小王"}]},"userstate":"[[2002,2],[2003,3]]",'
                  '"guestbook":{"offMsg":[{"id":1,"msg":"在吗"}],"gbook":[{"name":"访客","phone":"13812345678"}]}}'
                  .encode("utf-8"),
    "start_data_odd_types": b"\x00" + b'{"users":[1,2],"userstate":5,"guestbook":"x"}',
    "userstate_nested": b"\x00" + b'{"userstate":"[[1],[2,\\"a\\"],null,[[3],4]]"}',
    "visitors": b"\x01" + b'[{"id":3001,"area":"\xe5\x8c\x97\xe4\xba\xac"},{"id":"x"}]',
    "visitors_not_json": b"\x01" + b'[{"id":',
    "counts": b"\x02" + b'{"total_chat":12,"my_chat":"3"}',
    "quick": b"\x03" + b'{"common":[{"title":"t","content":"c"}],"personal":null}',
    "notice_colleague": b"\x14" + b"2",
    "notice_colleague_101": b"\x14" + b"101",
    "notice_visitor": b"\x04" + b"4",
    "deep": b"\x00" + b"[" * 2000,
})

write("ini", {
    "config": "[Kanzo]\nSERVER_HOST=127.0.0.1\nLOG_LEVEL=DEBUG\nSOFT_NAME=Kanzo\nVERSION=1.0\n"
              "UPDATE_URL=http://127.0.0.1:8080/update.html\n",
    "crlf_and_spaces": "\r\n [ Kanzo ] \r\n SERVER_HOST = 10.0.0.1 \r\nLOG_LEVEL=\r\n",
    "long_value": "[Kanzo]\nSOFT_NAME=" + "名" * 300 + "\n",
    "duplicates": "[Kanzo]\nVERSION=1\n[Kanzo]\nVERSION=2\nversion=3\n",
    "no_section": "VERSION=1.0\n=\n[\n]\n[]\nFILE1\n",
    "gbk_bytes": b"[Kanzo]\nSOFT_NAME=\xbf\xcd\xb7\xfe\n",
    "nul": b"[Kanzo]\nVERSION=1\x002\n",
})

write("version_file", {
    "normal": "[Kanzo]\nVERSION=2.0\nUPDATE_INTRO1=修正\nUPDATE_INTRO2=更快\nFILE1=Kanzo\nFILE2=Images\\skin\\logo.png\n"
              "FILE3=face/微笑 1.gif\n",
    "unsafe_names": "[Kanzo]\nVERSION=2.0\nFILE1=../x\nFILE2=/etc/passwd\nFILE3=C:\\x\nFILE4=a\\..\\..\\b\nFILE5=a/./b\n",
    "gap_in_numbers": "[Kanzo]\nVERSION=2.0\nFILE1=a\nFILE3=c\n",
    "duplicates": "[Kanzo]\nFILE1=a\nFILE2=a\nFILE3=A\n",
    "query_names": "[Kanzo]\nFILE1=a?b=c\nFILE2=?\nFILE3=%2e%2e/x\n",
    "same_version": "[Kanzo]\nVERSION=1.0\n",
    "other_section": "[Other]\nVERSION=9\nFILE1=x\n",
})
