"""An RTF copy without the fields that pull other files into the document.

LibreOffice's RTF importer reads the picture an INCLUDEPICTURE field names straight from the
disk (a plain, relative or file: name), whatever the profile says about links. So
before an RTF reaches it, every field instruction is read here, and an instruction that is not
one of the fields known to read nothing (page numbers, dates, document properties, references
inside the document, hyperlinks, form fields) is emptied: the field's last shown result stays,
the picture's frame may stay empty. The instruction is judged by two readings, ours (control
words, escapes and groups as RTF defines them) and the importer's (which skips a control word
up to the next blank), so that no spelling passes one and means INCLUDEPICTURE to the other.
"""

import re

# Fields that read nothing outside the document.
SAFE_FIELDS = frozenset((
    "PAGE", "NUMPAGES", "SECTIONPAGES", "SECTION", "DATE", "TIME", "CREATEDATE", "SAVEDATE",
    "PRINTDATE", "EDITTIME", "AUTHOR", "TITLE", "SUBJECT", "KEYWORDS", "COMMENTS",
    "LASTSAVEDBY", "NUMWORDS", "NUMCHARS", "REVNUM", "TOC", "TC", "XE", "INDEX", "REF",
    "PAGEREF", "NOTEREF", "STYLEREF", "SEQ", "SYMBOL", "EQ", "HYPERLINK", "FORMTEXT",
    "FORMCHECKBOX", "FORMDROPDOWN", "MACROBUTTON", "GOTOBUTTON", "LISTNUM", "BIDIOUTLINE",
))

# What an emptied instruction becomes.
EMPTY_INSTRUCTION = b"{\\*\\fldinst }"

CONTROL_WORD = re.compile(rb"\\([a-zA-Z]{1,32})(-?[0-9]{1,10})? ?")
MARK = re.compile(rb"[{}\\]")
# The most a \binN may claim to hold; any more and the rest of the file is taken as data.
MAX_BINARY = 1 << 31


def write_without_linked_content(source_path, target_path):
    with open(source_path, "rb") as source:
        rtf = source.read()
    with open(target_path, "wb") as target:
        target.write(without_linked_content(rtf))


def without_linked_content(rtf):
    """`rtf` with every field instruction that is not known to be safe emptied."""
    kept = bytearray()
    copied = 0
    for start, end in unsafe_instructions(rtf):
        if start < copied:
            continue  # inside an instruction already emptied
        kept += rtf[copied:start] + EMPTY_INSTRUCTION
        copied = end
    return bytes(kept + rtf[copied:])


def unsafe_instructions(rtf):
    """(start, end) of each group holding a \\fldinst whose field is not safe, in the order the
    groups end; an instruction the file never closes runs to its end."""
    found = []
    opened = []  # [start, holds an instruction] of each open group
    at = 0
    while at < len(rtf):
        byte = rtf[at]
        if byte == ord("{"):
            opened.append([at, False])
            at += 1
        elif byte == ord("}"):
            at += 1
            if opened:
                start, instruction = opened.pop()
                if instruction and not is_safe(rtf[start:at]):
                    found.append((start, at))
        elif byte == ord("\\"):
            word = CONTROL_WORD.match(rtf, at)
            if word is None:
                at += 2  # a control symbol: \{ \} \\ \' (its hex digits are plain text)
                continue
            at = word.end()
            name = word.group(1).lower()
            if name == b"fldinst" and opened:
                opened[-1][1] = True
            elif name == b"bin" and word.group(2):
                at += min(max(int(word.group(2)), 0), MAX_BINARY)
        else:
            # Plain text and picture data: straight on to the next brace or backslash.
            mark = MARK.search(rtf, at)
            at = mark.start() if mark else len(rtf)
    found += [(start, len(rtf)) for start, instruction in opened if instruction]
    return sorted(found)


def is_safe(group):
    return {our_reading(group), importer_reading(group)} <= SAFE_FIELDS


def our_reading(group):
    """The field's name as RTF defines the text of the instruction: control words and group
    marks left out, \\'hh and \\uN escapes decoded; the first word, upper case."""
    text = []
    at = group.find(b"\\fldinst")
    at = at + len(b"\\fldinst") if at >= 0 else 0
    while at < len(group):
        byte = group[at]
        if byte == ord("\\"):
            if group[at + 1:at + 2] == b"'":
                text.append(chr(int(group[at + 2:at + 4] or b"0", 16))
                            if re.fullmatch(rb"[0-9a-fA-F]{2}", group[at + 2:at + 4]) else " ")
                at += 4
                continue
            word = CONTROL_WORD.match(group, at)
            if word is None:
                text.append(chr(group[at + 1]) if at + 1 < len(group) else " ")
                at += 2
                continue
            if word.group(1) == b"u" and word.group(2):
                text.append(chr(int(word.group(2)) % 65536))
            at = word.end()
        elif byte in b"{}":
            at += 1
        else:
            text.append(chr(byte))
            at += 1
    return first_word("".join(text))


def importer_reading(group):
    """The field's name as the importer reads it: after \\fldinst, a backslash starts a
    keyword that lasts up to the next blank, and the first run of letters and digits outside
    keywords is the name."""
    at = group.find(b"\\fldinst")
    at = at + len(b"\\fldinst") if at >= 0 else 0
    name = []
    in_keyword = False
    for byte in group[at:]:
        character = chr(byte)
        if character == "}":
            break
        if character == "\\":
            in_keyword = True
        elif in_keyword:
            in_keyword = not character.isspace()
        elif character.isalnum() and character.isascii():
            name.append(character)
            continue
        if name:
            break
    return "".join(name).upper()


def first_word(text):
    match = re.search(r"[^\W_]+", text)
    return match.group(0).upper() if match else ""
