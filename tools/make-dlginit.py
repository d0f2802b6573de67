#!/usr/bin/env python3
"""Writes the dialog-initialisation data (resource type 240) of the General and Advanced pages.

Output: res/dlginit_general_en.bin, res/dlginit_general_ja.bin, res/dlginit_advanced_en.bin and
res/dlginit_advanced_ja.bin, which res/chronset_en.rc and res/chronset_ja.rc include as they are.

Each record is: control ID (16 bits), message code 0x0403 (add a combo-box string, 16 bits),
byte length including the terminator (32 bits), the NUL-terminated text; a 16-bit zero ends the
data. Texts are stored as UTF-8, so the reader gets the same UTF-16 text under any ANSI code
page (the English texts are plain ASCII). The data goes through a binary file because resource
compilers may re-encode non-ASCII string literals in user-defined resources.
"""

import os
import struct
import sys

CREATED, ACCESSED, MODIFIED = 1010, 1011, 1012
# The resource lists the rows Created, Modified, Accessed, as they stand on the page.
RECORD_ORDER = (CREATED, MODIFIED, ACCESSED)
ADD_STRING = 0x0403

# In the order of the pages' table of operations (pages/OperationCombo.h). Entries 6 and 7 name
# the row's two other timestamps; the folder-only entries are on the General page alone.
OPERATIONS = {
    "en": {
        "common": [
            "Don't change",
            "Set the specified date and time",
            "Set the specified time of day",
            "Set the current date and time",
            "Set the time of day to midnight",
            "Set the second to zero",
        ],
        CREATED: ["Set the same as the modification time", "Set the same as the access time"],
        MODIFIED: ["Set the same as the creation time", "Set the same as the access time"],
        ACCESSED: ["Set the same as the creation time", "Set the same as the modification time"],
        "folder": [
            "Set the same as the earliest file/subfolder",
            "Set the same as the latest file/subfolder",
        ],
        "shift": ["Shift by the specified time span"],
        "file": ["Set the same as the date taken"],
    },
    "ja": {
        "common": [
            "変更しない",
            "指定した日付と時刻に変更する",
            "指定した時刻に変更する",
            "現在の日付と時刻に変更する",
            "時刻を午前零時に変更する",
            "秒を切り捨てる",
        ],
        CREATED: ["更新日時と同じにする", "アクセス日時と同じにする"],
        MODIFIED: ["作成日時と同じにする", "アクセス日時と同じにする"],
        ACCESSED: ["作成日時と同じにする", "更新日時と同じにする"],
        "folder": [
            "フォルダー内の最も古い日時にする",
            "フォルダー内の最も新しい日時にする",
        ],
        "shift": ["指定した時間だけずらす"],
        "file": ["撮影日時と同じにする"],
    },
}


def entries(language, control, with_folder_operations):
    texts = OPERATIONS[language]
    result = texts["common"] + texts[control]
    if with_folder_operations:
        result += texts["folder"]
    return result + texts["shift"] + texts["file"]


def dlginit(language, with_folder_operations):
    data = b""
    for control in RECORD_ORDER:
        for text in entries(language, control, with_folder_operations):
            encoded = text.encode("utf-8") + b"\0"
            data += struct.pack("<HHI", control, ADD_STRING, len(encoded)) + encoded
    return data + struct.pack("<H", 0)


def main():
    res = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "res")
    for page, with_folder_operations in (("general", True), ("advanced", False)):
        for language in OPERATIONS:
            with open(os.path.join(res, f"dlginit_{page}_{language}.bin"), "wb") as f:
                f.write(dlginit(language, with_folder_operations))
    return 0


if __name__ == "__main__":
    sys.exit(main())
