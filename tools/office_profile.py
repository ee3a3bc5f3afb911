"""The private LibreOffice profiles of the office converters: their settings, and a template of
an initialized profile kept in the user's cache folder.

LibreOffice meets an empty profile by setting it up (registering its bundled extensions) and
then restarting itself, which costs a start's worth of time. The first conversion in a fresh
profile copies that profile, once LibreOffice accepts the bridge and before any document is
opened, into the cache as a template; later profiles start from a copy of it, with the
settings written over it, so that a template never decides them. A template is named after
everything that shapes it (the LibreOffice program and installation, the settings written), so
another LibreOffice or other settings get a template of their own.
"""

import hashlib
import mmap
import os
import re
import shutil
import stat
import tempfile
import time

import converter_program

# The private profile's settings: linked content (pictures, sections, OLE objects linked to a
# web address or another file) is never fetched or updated, links of a document from an
# untrusted place are blocked, macros never run, and any network access would go to a proxy
# that does not exist, so converting a document reads nothing but the document. What only an
# editing user sees is not done: Writer collects no words to complete (a quarter of its idle work
# on every document it loads) and nothing is spell- or grammar-checked as it loads.
PROFILE_SETTINGS = (
    ("/org.openoffice.Office.Common/Security/Scripting", "BlockUntrustedRefererLinks", "boolean", "true"),
    ("/org.openoffice.Office.Common/Security/Scripting", "MacroSecurityLevel", "int", "3"),
    ("/org.openoffice.Office.Common/Security/Scripting", "DisableMacrosExecution", "boolean", "true"),
    ("/org.openoffice.Office.Writer/Content/Update", "Link", "int", "2"),  # never
    ("/org.openoffice.Office.Calc/Content/Update", "Link", "int", "1"),  # never
    ("/org.openoffice.Office.Calc/Formula/Load", "OOXMLRecalcMode", "int", "1"),
    ("/org.openoffice.Office.Calc/Formula/Load", "ODFRecalcMode", "int", "1"),
    ("/org.openoffice.Inet/Settings", "ooInetProxyType", "int", "2"),  # manual
    ("/org.openoffice.Inet/Settings", "ooInetHTTPProxyName", "string", "127.0.0.1"),
    ("/org.openoffice.Inet/Settings", "ooInetHTTPProxyPort", "int", "9"),
    ("/org.openoffice.Inet/Settings", "ooInetHTTPSProxyName", "string", "127.0.0.1"),
    ("/org.openoffice.Inet/Settings", "ooInetHTTPSProxyPort", "int", "9"),
    ("/org.openoffice.Inet/Settings", "ooInetNoProxy", "string", ""),
    ("/org.openoffice.Office.Writer/AutoFunction/Completion", "Enable", "boolean", "false"),
    ("/org.openoffice.Office.Writer/AutoFunction/Completion", "CollectWords", "boolean", "false"),
    ("/org.openoffice.Office.Linguistic/SpellChecking", "IsSpellAuto", "boolean", "false"),
    ("/org.openoffice.Office.Linguistic/GrammarChecking", "IsAutoCheck", "boolean", "false"),
)

# Where the installed LibreOffice names its version, beside its program folder, and the longest
# part of a registry file searched.
VERSION_REGISTRY = os.path.join("..", "share", "registry", "main.xcd")
REGISTRY_BYTES = 16 << 20
VERSION_PROPERTY = b'<prop oor:name="ooSetupVersion">'
VERSION_PATTERN = re.compile(re.escape(VERSION_PROPERTY) + rb"\s*<value>([0-9][0-9.]{0,15})</value>")

# The import filters whose documents LibreOffice checks for signatures as it loads them, each
# with the registry file that defines it. A filter flagged SUPPORTSSIGNING makes LibreOffice
# start its whole signing machinery for every document it reads, signed or not: NSS with a
# certificate database, and GnuPG's programs run a dozen times from a copy of its address
# space. That is a tenth of a second per LibreOffice, for signatures a conversion never shows;
# the private profile drops the flag. (OpenDocument files are checked whatever the flags say.)
SIGNING_FILTERS = (("MS Word 2007 XML", "writer.xcd"), ("Calc MS Excel 2007 XML", "calc.xcd"))
SIGNING_FLAG = "SUPPORTSSIGNING"
FILTER_FLAGS_PATTERN = re.compile(rb'<prop oor:name="Flags">\s*<value>([A-Z0-9_ ]{1,400})</value>')

# The templates' folder inside the user's cache folder, and how many templates it keeps (one
# per LibreOffice installation and version of these settings).
TEMPLATES_FOLDER = os.path.join("velmora", "office-profiles")
TEMPLATES_KEPT = 4
# The profile's settings file, and what a template never gives a profile: the lock a running
# LibreOffice holds, and settings (written anew for every profile).
SETTINGS_FILE = "registrymodifications.xcu"
NOT_COPIED = (".lock", SETTINGS_FILE)


def installation_settings(soffice):
    """The settings that depend on the installed LibreOffice, found beside the program, or
    (for a program that starts LibreOffice in its own way) beside the soffice on PATH; nothing
    when no installation is found.

    - Its version, as the profile's last version. LibreOffice runs its graphics self-tests,
      some seconds of work, at every start with a profile that has not recorded the installed
      version, and a LibreOffice without a window never records it: the private profile
      records it beforehand.
    - The flags of its filters in SIGNING_FILTERS, less SIGNING_FLAG."""
    for program in (soffice, shutil.which("soffice")):
        version = installed_version(program) if program else None
        if version:
            folder = os.path.dirname(version_registry(program))
            return (("/org.openoffice.Setup/Product", "ooSetupLastVersion", "string", version),
                    ) + unsigned_filter_settings(folder)
    return ()


def unsigned_filter_settings(registry_folder):
    """The flags of each filter in SIGNING_FILTERS as the registry files in `registry_folder`
    define them, less SIGNING_FLAG; nothing for a filter not found there or without the flag."""
    settings = []
    for name, registry in SIGNING_FILTERS:
        flags = filter_flags(os.path.join(registry_folder, registry), name)
        if flags and SIGNING_FLAG in flags:
            path = "/org.openoffice.TypeDetection.Filter/Filters/" \
                "org.openoffice.TypeDetection.Filter:Filter['%s']" % name
            kept = " ".join(flag for flag in flags if flag != SIGNING_FLAG)
            settings.append((path, "Flags", "string-list", kept))
    return tuple(settings)


def filter_flags(registry_path, name):
    """The flags the registry file gives the filter `name`; None when it does not."""
    node = b'<node oor:name="%s" oor:op="replace">' % name.encode()
    flags = registry_search(registry_path, node, FILTER_FLAGS_PATTERN, b"</node>")
    return flags.split() if flags else None


def installed_version(program):
    """The version in the registry of the LibreOffice installation `program` belongs to."""
    return registry_search(version_registry(program), VERSION_PROPERTY, VERSION_PATTERN)


def registry_search(path, marker, pattern, closing=None):
    """The first group of `pattern` from `marker` on in the registry file at `path`, up to the
    next `closing` when given; None when the file cannot be read or holds no such match. The
    file is mapped rather than read: it has megabytes, of which a search touches a few."""
    try:
        with open(path, "rb") as settings:
            with mmap.mmap(settings.fileno(), 0, access=mmap.ACCESS_READ) as registry:
                end = min(len(registry), REGISTRY_BYTES)
                start = registry.find(marker, 0, end)
                if start >= 0 and closing is not None:
                    end = registry.find(closing, start, end)
                found = pattern.search(registry, start, end) if start >= 0 and end >= 0 else None
                return found.group(1).decode("ascii") if found else None
    except (OSError, ValueError):  # ValueError: an empty file, which cannot be mapped
        return None


def version_registry(program):
    return os.path.join(os.path.dirname(os.path.realpath(program)), VERSION_REGISTRY)


def settings_text(settings):
    """The profile's registry file holding `settings`."""
    items = "".join(
        '<item oor:path=%s><prop oor:name=%s oor:op="fuse"><value>%s</value></prop></item>\n'
        % (quoteattr(path), quoteattr(name), value)
        for path, name, _kind, value in settings
    )
    return (
        '<?xml version="1.0" encoding="UTF-8"?>\n'
        '<oor:items xmlns:oor="http://openoffice.org/2001/registry" '
        'xmlns:xs="http://www.w3.org/2001/XMLSchema" '
        'xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">\n' + items + "</oor:items>\n"
    )


def quoteattr(text):
    """`text` as an XML attribute value, quotes included."""
    return '"%s"' % text.replace("&", "&amp;").replace("<", "&lt;").replace('"', "&quot;")


def write_profile_settings(profile, text):
    """Writes the private profile's settings before LibreOffice first reads it."""
    user = os.path.join(profile, "user")
    os.makedirs(user, exist_ok=True)
    with open(os.path.join(user, SETTINGS_FILE), "w") as out:
        out.write(text)


class ProfileTemplate:
    """The cached template for profiles of `soffice` with the registry file `text`; every
    method does nothing (and says so) where the cache cannot be used."""

    def __init__(self, soffice, text):
        self.folder = templates_folder()
        self.path = None
        if self.folder:
            self.path = os.path.join(self.folder, template_key(soffice, text))

    def copy_to(self, profile):
        """Makes `profile` a copy of the template; False when there is none to copy."""
        if not self.path or not os.path.isdir(self.path):
            return False
        try:
            copy_profile(self.path, profile)
            return True
        except (OSError, shutil.Error):
            shutil.rmtree(profile, ignore_errors=True)
            return False

    def save_from(self, profile):
        """Keeps a copy of the initialized `profile` as the template, unless one is there."""
        if not self.path or os.path.isdir(self.path):
            return
        made = None
        try:
            made = tempfile.mkdtemp(prefix=".new-", dir=self.folder)
            copy_profile(profile, os.path.join(made, "profile"))
            os.rename(os.path.join(made, "profile"), self.path)  # another server may be first
        except (OSError, shutil.Error):
            pass
        finally:
            if made:
                shutil.rmtree(made, ignore_errors=True)
        remove_oldest_templates(self.folder)

    def discard(self):
        """Removes a template that a LibreOffice could not start from."""
        if self.path:
            shutil.rmtree(self.path, ignore_errors=True)


def templates_folder():
    """The templates' folder, made private when missing; None without a usable cache folder."""
    cache = os.environ.get("XDG_CACHE_HOME", "")
    if not os.path.isabs(cache):
        home = os.environ.get("HOME", "")
        if not os.path.isabs(home):
            return None
        cache = os.path.join(home, ".cache")
    folder = os.path.join(cache, TEMPLATES_FOLDER)
    try:
        os.makedirs(folder, mode=0o700, exist_ok=True)
    except OSError:
        return None
    # Nobody else may change what later profiles start from.
    return None if converter_program.folder_problem(folder, shut_out=0o022) else folder


def template_key(soffice, text):
    """A name for what shapes a profile: the program, its installation (whose registry changes
    with every upgrade) and the settings written."""
    digest = hashlib.sha256()
    program = os.path.realpath(soffice)
    digest.update(os.fsencode(program) + b"\0" + text.encode("utf-8"))
    for path in (program, version_registry(soffice)):
        try:
            info = os.stat(path)
            digest.update(b"%d:%d:%d\0" % (info.st_ino, info.st_size, info.st_mtime_ns))
        except OSError:
            digest.update(b"-\0")
    return digest.hexdigest()[:32]


def copy_profile(source, target):
    """Copies the profile's folders and plain files; links, sockets, devices and the lock of a
    running LibreOffice are left out."""

    def left_out(folder, names):
        kept = set()
        for name in names:
            info = os.lstat(os.path.join(folder, name))
            if (stat.S_ISDIR(info.st_mode) or stat.S_ISREG(info.st_mode)) and name not in NOT_COPIED:
                kept.add(name)
        return [name for name in names if name not in kept]

    shutil.copytree(source, target, symlinks=True, ignore=left_out)


def remove_oldest_templates(folder):
    """Keeps the TEMPLATES_KEPT newest templates (made by other LibreOffices or settings), and
    removes copies under way that were left for an hour (their process was killed)."""
    try:
        names = os.listdir(folder)
        templates = [os.path.join(folder, name) for name in names if not name.startswith(".")]
        templates.sort(key=os.path.getmtime, reverse=True)
        stalled = [os.path.join(folder, name) for name in names if name.startswith(".new-")]
        stalled = [path for path in stalled if time.time() - os.path.getmtime(path) > 3600]
    except OSError:
        return  # a folder removed meanwhile; the next save tidies up
    for path in templates[TEMPLATES_KEPT:] + stalled:
        shutil.rmtree(path, ignore_errors=True)
