#!/usr/bin/env python3
"""Writes the installer's registry entries from the program's registry script, so that the
package and /RegServer write the same keys and values:

  tools/rgs-to-wix.py SCRIPT PROGRAM-NAME OUT.wxi

%Module% becomes the installed program's path in double quotes ("[INSTALLDIR]PROGRAM-NAME"),
%Module_Raw% the same without them, %% a single %. A key marked ForceRemove is removed with
everything below it on uninstall; a key without a mark is created, and on uninstall loses what
the package wrote; a NoRemove key is only a path. Only HKEY_CURRENT_USER roots and string
values are read, as the program's own reader takes them. A fault ends the script with one line
"error: CAUSE".
"""
import re
import sys
from xml.sax.saxutils import quoteattr

ROOTS = {"HKEY_CURRENT_USER": "HKCU", "HKCU": "HKCU"}
# Tokens are separated by white space; a token in single quotes may hold blanks, '' standing for '.
TOKEN = re.compile(r"'(?:[^']|'')*'(?=\s|$)|[^\s']+(?=\s|$)")


class ScriptError(Exception):
    pass


def tokens(text):
    at = 0
    found = []
    while True:
        while at < len(text) and text[at].isspace():
            at += 1
        if at == len(text):
            return found
        match = TOKEN.match(text, at)
        if not match:
            raise ScriptError("a quote unclosed or running into the next token at character %d" % at)
        token = match.group(0)
        found.append(token[1:-1].replace("''", "'") if token.startswith("'") else token)
        at = match.end()


def parse(text):
    """[(root, [entry])], an entry being ("key", removal, name, default or None, [entry]) or
    ("value", name, data)."""
    stream = tokens(text)
    at = 0

    def take(expected=None):
        nonlocal at
        if at >= len(stream):
            raise ScriptError("the script ends early")
        token = stream[at]
        if expected is not None and token.lower() != expected:
            raise ScriptError("'%s' where '%s' belongs" % (token, expected))
        at += 1
        return token

    def string():
        take("=")
        kind = take()
        if kind.lower() != "s":
            raise ScriptError("a value of type '%s' (only strings are written)" % kind)
        return take()

    def block():
        take("{")
        entries = []
        while at < len(stream) and stream[at] != "}":
            word = take()
            if word.lower() == "val":
                name = take()
                entries.append(("value", name, string()))
                continue
            removal = "normal"
            if word.lower() in ("noremove", "forceremove"):
                removal, word = word.lower(), take()
            if word.lower() == "delete" or word in "{}=":
                raise ScriptError("'%s' where a key name belongs" % word)
            default = string() if at < len(stream) and stream[at] == "=" else None
            children = block() if at < len(stream) and stream[at] == "{" else []
            entries.append(("key", removal, word, default, children))
        take("}")
        return entries

    script = []
    while at < len(stream):
        root = take()
        if root.upper() not in ROOTS:
            raise ScriptError("the root %s (the package writes for the current user only)" % root)
        script.append((ROOTS[root.upper()], block()))
    return script


def expand(text, program):
    module_raw = "[INSTALLDIR]" + program
    replacements = {"module": '"%s"' % module_raw, "module_raw": module_raw}

    def replace(match):
        name = match.group(1)
        if name == "":
            return "%"
        if name.lower() not in replacements:
            raise ScriptError("the replacement %%%s%% has no value in the package" % name)
        return replacements[name.lower()]

    # Brackets are the installer's own property syntax: a literal one is written [\[] or [\]].
    literal = text.replace("[", "\x00").replace("]", "\x01").replace("\x00", "[\\[]").replace("\x01", "[\\]]")
    expanded = re.sub(r"%([^%]*)%", replace, literal)
    if "%" in re.sub(r"%([^%]*)%", "", literal):
        raise ScriptError("a %% without its partner in '%s'" % text)
    # A leading # would make the installer read a number or an expandable string.
    return "#" + expanded if expanded.startswith("#") else expanded


def entries(script, program):
    lines = []

    def key(root, path, entry):
        _, removal, name, default, children = entry
        full = path + "\\" + name if path else name
        if default is not None:
            lines.append('<RegistryValue Root="%s" Key=%s Type="string" Value=%s/>' %
                         (root, quoteattr(full), quoteattr(expand(default, program))))
        for child in children:
            if child[0] == "value":
                lines.append('<RegistryValue Root="%s" Key=%s Name=%s Type="string" Value=%s/>' %
                             (root, quoteattr(full), quoteattr(child[1]), quoteattr(expand(child[2], program))))
            else:
                key(root, full, child)
        # The installer's own key marks, after the values, so that a value is the component's key
        # path: "*" creates the key and removes it with everything below on uninstall, "+" only
        # creates it (wixl knows no RegistryKey actions).
        if removal == "forceremove":
            lines.append('<RegistryValue Root="%s" Key=%s Name="*" Type="string" Value=""/>' % (root, quoteattr(full)))
        elif removal == "normal" and default is None and not any(c[0] == "value" for c in children):
            lines.append('<RegistryValue Root="%s" Key=%s Name="+" Type="string" Value=""/>' % (root, quoteattr(full)))

    for root, children in script:
        for entry in children:
            if entry[0] == "value":
                raise ScriptError("a value directly under the root %s" % root)
            key(root, "", entry)
    return lines


def main(argv):
    if len(argv) != 4:
        raise ScriptError("usage: tools/rgs-to-wix.py SCRIPT PROGRAM-NAME OUT.wxi")
    script_path, program, out = argv[1:]
    try:
        with open(script_path, encoding="utf-8") as source:
            text = source.read()
    except OSError as error:
        raise ScriptError("cannot read %s: %s" % (script_path, error.strerror))
    lines = entries(parse(text), program)
    with open(out, "w", encoding="utf-8") as target:
        target.write('<?xml version="1.0" encoding="utf-8"?>\n<Include>\n')
        target.writelines("  %s\n" % line for line in lines)
        target.write("</Include>\n")


if __name__ == "__main__":
    try:
        main(sys.argv)
    except ScriptError as error:
        print("error: %s" % error, file=sys.stderr)
        sys.exit(1)
