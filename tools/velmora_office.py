"""Office documents and metafile pictures to PDF through LibreOffice without a GUI.

A converter started on its own starts a LibreOffice of its own with a private profile
(office_profile.py) in the converter's private temporary folder, talks to it through its Python
scripting bridge, and ends it before the folder is removed. Started by the desktop program, it
asks the desktop program's office server instead (office_service.py), which keeps such
LibreOffices for a whole session. Either way a conversion works while the user has LibreOffice
open, and never meets another program's LibreOffice. Documents are loaded read-only and hidden,
with their macros switched off, by the import filter their content calls for and without what
they link to outside themselves (document_kind.py); LibreOffice runs without network where the
system allows it (converter_program.no_network_prefix).
"""

import hashlib
import importlib.util
import os
import re
import shutil
import signal
import subprocess
import threading
import time

import converter_program
import office_profile
from converter_program import (
    ConversionError,
    check_input,
    place_output,
    prepare_output,
)

# A path whose file URL is "file://" and the path itself: only unreserved characters and "/".
URL_PLAIN_PATH = re.compile(r"[A-Za-z0-9/._~-]*")
# LibreOffice's office program, beside its soffice.
OFFICE_PROGRAM = "soffice.bin"
# GnuPG's programs, which LibreOffice looks for to check document signatures.
SIGNATURE_TOOLS = ("gpgconf", "gpg", "gpg2", "gpgsm")
# Whether the kernel lists each thread's child processes (in /proc/PID/task/TID/children).
KERNEL_LISTS_CHILDREN = os.path.exists("/proc/self/task/%d/children" % os.getpid())
# How long LibreOffice may take to start and accept the bridge (a cold start on a busy machine
# is slow); a conversion itself is bounded by whoever started the converter.
START_TIMEOUT_SECONDS = 300
STOP_TIMEOUT_SECONDS = 30
# The statuses with which LibreOffice's program asks to be started again: once it has set up a
# fresh profile, or after a crash it recovers from. Its own launcher does that; a session that
# starts the program itself does it, at most LAUNCHES times in all.
RESTART_STATUSES = (79, 81)
LAUNCHES = 3

HUNDREDTH_MM_PER_POINT = 2540.0 / 72.0

EXPORT_FILTERS = (
    ("com.sun.star.text.TextDocument", "writer_pdf_Export"),
    ("com.sun.star.sheet.SpreadsheetDocument", "calc_pdf_Export"),
    ("com.sun.star.presentation.PresentationDocument", "impress_pdf_Export"),
    ("com.sun.star.drawing.DrawingDocument", "draw_pdf_Export"),
)
# Pictures keep the resolution the document gives them, so a JPEG picture goes into the PDF
# byte for byte; others are stored as LibreOffice chooses (JPEG or lossless, whichever is
# smaller). LibreOffice would scale every picture above 300 dpi down and encode it anew, and
# its scaling pass costs several percent of its time even on pictures it leaves alone.
PDF_EXPORT_OPTIONS = {"ReduceImageResolution": False}


# Held while a session copies its profile and launches LibreOffice. The sessions of an office
# server start side by side in threads of one Python, and a profile's copy is some hundred
# small system calls: two copies at once hand the interpreter's lock back and forth so often
# that each takes five times as long, and both LibreOffices start late. One after the other,
# the first starts at once and the second soon after.
PREPARING = threading.Lock()


class OfficeEndedEarly(ConversionError):
    """LibreOffice ended before it took the bridge."""


class PageSetup:
    """The page size asked for, in points; 0 x 0 keeps the document's own pages.

    A picture (a metafile, which LibreOffice imports as a drawing) gets a page of its own
    size, or one of the asked size: fit_mode 0 stretches the picture over it, 1 fits it in
    keeping its proportions, any other value leaves the page empty; auto_rotate 1 turns the
    page to landscape for a picture wider than high."""

    def __init__(self, width=0, height=0, fit_mode=0, auto_rotate=0, picture=False):
        self.width = width
        self.height = height
        self.picture = picture
        self.fit_mode = fit_mode
        self.auto_rotate = auto_rotate

    def is_fixed(self):
        return self.width != 0 and self.height != 0


def find_soffice():
    """The LibreOffice program: VELMORA_SOFFICE when set, else soffice on PATH."""
    named = os.environ.get("VELMORA_SOFFICE")
    if named:
        return named if os.access(named, os.X_OK) else None
    return shutil.which("soffice") or shutil.which("libreoffice")


def file_url(path):
    """The file URL of `path` as LibreOffice writes it. A path of letters, digits and "/-._~"
    alone is the URL's path as it stands; only other names need the bridge's own encoding,
    which loads the bridge (a few hundredths of a second, before LibreOffice may start)."""
    path = os.path.abspath(path)
    if URL_PLAIN_PATH.fullmatch(path):
        return "file://" + path
    import uno

    return uno.systemPathToFileUrl(path)


def property_values(**values):
    from com.sun.star.beans import PropertyValue

    result = []
    for name, value in values.items():
        prop = PropertyValue()
        prop.Name = name
        prop.Value = value
        result.append(prop)
    return tuple(result)


class OfficeSession:
    """A LibreOffice process of our own with a private profile, and the bridge to it.

    LibreOffice stays in the converter's process group, so whoever ends the converter's group
    ends LibreOffice with it."""

    def __init__(self, soffice, folder, profile_settings=office_profile.PROFILE_SETTINGS):
        self.soffice = soffice
        self.folder = folder
        self.profile_settings = profile_settings
        # 128 random bits, as a random UUID has, without loading the uuid module (5 ms).
        self.pipe_name = "velmora-office-" + os.urandom(16).hex()
        self.process = None
        self.context = None  # LibreOffice's component context, once connected
        self.desktop = None
        self.office_pids = []  # the office process the launcher started
        self.launches_office = False  # whether the process started is the office process
        self.sockets = set()  # the sockets LibreOffice makes in /tmp whatever TMPDIR says

    def start(self):
        """Starts LibreOffice on a profile made from the template where there is one, and keeps
        a fresh profile as the template once LibreOffice has set it up and takes the bridge. A
        LibreOffice that ends at once on a template's copy is started again on a fresh profile,
        and the template is dropped: a kept copy never costs a conversion. A start that fails
        ends the LibreOffice it started."""
        try:
            self._start()
        except BaseException:
            self.kill()
            raise

    def _start(self):
        profile = os.path.join(self.folder, "profile")
        settings = office_profile.settings_text(
            tuple(self.profile_settings) + office_profile.installation_settings(self.soffice))
        template = office_profile.ProfileTemplate(self.soffice, settings)
        with PREPARING:
            from_template = template.copy_to(profile)
            self._launch_on(profile, settings)
        try:
            self._connect_started(profile)
        except OfficeEndedEarly:
            if not from_template:
                raise
            template.discard()
            self._kill_remaining()
            shutil.rmtree(profile, ignore_errors=True)
            from_template = False
            self._launch_on(profile, settings)
            self._connect_started(profile)
        if not from_template:
            template.save_from(profile)

    def _launch_on(self, profile, settings):
        office_profile.write_profile_settings(profile, settings)  # never the template's own
        self._launch(profile)

    def _connect_started(self, profile):
        """Takes the bridge of the LibreOffice just launched, launching it again when it ends
        asking for that (RESTART_STATUSES), LAUNCHES times in all at most."""
        for launch in range(1, LAUNCHES + 1):
            try:
                self.desktop = self._connect()
                break
            except OfficeEndedEarly:
                if launch == LAUNCHES or self.process.returncode not in RESTART_STATUSES:
                    raise
            self._launch(profile)
        self.office_pids = [] if self.launches_office else child_pids(self.process.pid)

    def _launch(self, profile):
        self.sockets = office_sockets(file_url(profile), self.pipe_name)
        # In a network namespace of its own where the system allows one: whatever a document
        # links to, LibreOffice reaches no host (the bridge is a socket file, which still works).
        launcher, launcher_environment = office_launcher(self.soffice)
        self.launches_office = os.path.basename(launcher) == OFFICE_PROGRAM
        command = converter_program.no_network_prefix()[0] + [
            launcher,
            "--headless",
            "--invisible",
            "--nologo",
            "--norestore",
            "--nodefault",
            "--nolockcheck",
            "-env:UserInstallation=" + file_url(profile),
            "--accept=pipe,name=%s;urp;StarOffice.ComponentContext" % self.pipe_name,
        ]
        try:
            self.process = subprocess.Popen(
                command,
                stdin=subprocess.DEVNULL,
                stdout=subprocess.DEVNULL,
                stderr=open(os.path.join(self.folder, "soffice.log"), "wb"),
                cwd=self.folder,
                env=dict(os.environ, TMPDIR=self.folder, **launcher_environment,
                         PATH=without_signature_tools(self.folder),
                         GLIBC_TUNABLES=with_huge_page_heap(os.environ.get("GLIBC_TUNABLES"))),
            )
        except OSError as error:
            raise ConversionError("Cannot start LibreOffice (%s): %s" % (self.soffice, error))

    def has_ended(self):
        """Whether the launcher or the office process it started has ended. The office process
        is looked at too: killed on its own, it leaves the launcher alive for a moment, and a
        request in that moment would reach a bridge that is gone."""
        if self.process is None or self.process.poll() is not None:
            return True
        return bool(self.office_pids) and not any(self._is_ours(pid) for pid in self.office_pids)

    def _connect(self):
        import uno
        from com.sun.star.connection import NoConnectException

        local = uno.getComponentContext()
        resolver = local.ServiceManager.createInstanceWithContext(
            "com.sun.star.bridge.UnoUrlResolver", local
        )
        url = "uno:pipe,name=%s;urp;StarOffice.ComponentContext" % self.pipe_name
        bridge_socket = pipe_socket(self.pipe_name)
        deadline = time.monotonic() + START_TIMEOUT_SECONDS
        while True:
            # A failed attempt on the bridge costs a millisecond of processor time, taken from
            # the LibreOffices starting beside this one; looking for the bridge's socket costs
            # next to nothing, so the bridge is only tried once the socket is there.
            if os.path.exists(bridge_socket):
                try:
                    self.context = resolver.resolve(url)
                    return self.context.ServiceManager.createInstanceWithContext(
                        "com.sun.star.frame.Desktop", self.context
                    )
                except NoConnectException:
                    pass  # the socket is there a moment before LibreOffice listens on it
            if self.process.poll() is not None:
                raise OfficeEndedEarly(
                    "LibreOffice ended before it could convert (status %d)" % self.process.returncode
                )
            if time.monotonic() > deadline:
                raise ConversionError("LibreOffice did not start within %d seconds" % START_TIMEOUT_SECONDS)
            time.sleep(0.005)  # LibreOffice takes the bridge a few tenths of a second after its start

    def answers(self):
        """Whether LibreOffice is there and answers over the bridge. An office process killed
        between two conversions (a crash as a document closed) is still listed while it ends,
        but answers nothing from the moment it was killed: the call fails once it is gone, so
        the next document gets a fresh LibreOffice instead of failing on the bridge."""
        if self.has_ended():
            return False
        try:
            self.desktop.getCurrentFrame()
            return True
        except Exception:
            return False

    def stop(self):
        """Asks LibreOffice to end, and ends it for sure when it does not."""
        if self.process is None:
            return
        if self.desktop is not None and self.process.poll() is None:
            try:
                self.desktop.terminate()
            except Exception:
                pass  # the bridge goes down while LibreOffice ends
        self.desktop = None
        self.context = None
        try:
            self.process.wait(STOP_TIMEOUT_SECONDS)
        except subprocess.TimeoutExpired:
            pass
        self._kill_remaining()
        self.process = None
        self.remove_sockets()

    def remove_sockets(self):
        for path in self.sockets:
            converter_program.remove_quietly(path)

    def kill(self):
        """Ends LibreOffice at once, from any thread, so that a call waiting on it returns;
        stop() cleans up after it. The launcher is stopped first, so that it starts no office
        process while its children are ended."""
        process = self.process
        if process is None or process.returncode is not None:
            return
        for pid in [process.pid] + self.office_pids + child_pids(process.pid):
            if pid == process.pid or self._is_ours(pid):
                try:
                    os.kill(pid, signal.SIGSTOP if pid == process.pid else signal.SIGKILL)
                except OSError:
                    pass
        try:
            process.kill()
        except OSError:
            pass

    def running_office_pids(self):
        """The office processes the launcher runs now, looked up afresh: a number noted
        earlier may belong to another program since."""
        if self.has_ended():
            return []
        if self.launches_office:
            return [self.process.pid]
        return [pid for pid in child_pids(self.process.pid) if self._is_ours(pid)]

    def _kill_remaining(self):
        """Ends the launcher and the office process it runs, if either is still there. A
        process is only ended while its command line still names this session's pipe, so a
        number the system has given to another process since is left alone."""
        if self.process.poll() is None:
            self.office_pids += child_pids(self.process.pid)
            self.process.kill()
        for pid in self.office_pids:
            if self._is_ours(pid):
                try:
                    os.kill(pid, signal.SIGKILL)
                except OSError:
                    pass
        try:
            self.process.wait(5)
        except subprocess.TimeoutExpired:
            pass

    def _is_ours(self, pid):
        try:
            with open("/proc/%d/cmdline" % pid, "rb") as cmdline:
                return self.pipe_name.encode() in cmdline.read()
        except OSError:
            return False


def office_launcher(soffice):
    """The program that starts LibreOffice, and what it wants in its environment. LibreOffice's
    own soffice is a shell script that finds its folder with half a dozen small programs, turns
    file locking on and starts oosplash beside it, which runs javaldx (the Java setup), reads
    every library once and then starts the office program, soffice.bin. Where soffice is that
    script (and no development build's environment file is beside it), soffice.bin is started
    directly, which saves every start those programs (some tens of milliseconds); the session
    starts it again when it asks to be (RESTART_STATUSES), as oosplash would."""
    program = os.path.realpath(soffice)
    folder = os.path.dirname(program)
    office = os.path.join(folder, OFFICE_PROGRAM)
    if (os.path.basename(program) == "soffice" and os.access(office, os.X_OK)
            and os.path.isfile(os.path.join(folder, "oosplash"))
            and not os.path.exists(os.path.join(folder, "ooenv"))):
        return office, {"SAL_ENABLE_FILE_LOCKING": "1"}
    return soffice, {}


def with_huge_page_heap(tunables):
    """The C library's settings for LibreOffice: its heap in transparent huge pages where the
    system offers them. LibreOffice fills some tens of megabytes of heap, a page fault for
    each 4 KiB page otherwise: a dozen short documents took 20,000 faults, and 8,000 and a
    tenth less time with huge pages. A choice of the user's own for the heap's pages is kept."""
    settings = [setting for setting in (tunables or "").split(":") if setting]
    if not any(setting.startswith("glibc.malloc.hugetlb=") for setting in settings):
        settings.append("glibc.malloc.hugetlb=1")
    return ":".join(settings)


def without_signature_tools(folder):
    """LibreOffice's search path, with GnuPG's programs named in FOLDER/bin ahead of the rest as
    programs that fail at once. Reading its first zipped document, LibreOffice runs gpgconf, gpg
    and gpgsm about ten times (a tenth of a second) to offer signature checks that a conversion
    never shows; every other program (paperconf for the paper size, Ghostscript for EPS
    pictures) is found where it was."""
    stubs = os.path.join(folder, "bin")
    fails = shutil.which("false") or "/bin/false"
    os.makedirs(stubs, exist_ok=True)
    for name in SIGNATURE_TOOLS:
        link = os.path.join(stubs, name)
        if not os.path.lexists(link):
            os.symlink(fails, link)
    return stubs + os.pathsep + (os.environ.get("PATH") or os.defpath)


def office_sockets(profile_url, pipe_name):
    """The sockets LibreOffice makes in /tmp whatever TMPDIR says: its single-instance pipe,
    named after the MD5 of the profile's URL in UTF-16, and the pipe it takes the bridge on."""
    digest = hashlib.md5(profile_url.encode("utf-16-le")).digest()
    single = "SingleOfficeIPC_" + "".join("%x" % byte for byte in digest)
    return {pipe_socket(single), pipe_socket(pipe_name)}


def pipe_socket(pipe_name):
    """The socket of LibreOffice's pipe `pipe_name`."""
    return "/tmp/OSL_PIPE_%d_%s" % (os.getuid(), pipe_name)


def child_pids(parent):
    """The processes `parent` started: from the kernel's list of each of its threads' children
    (a few small files) where it keeps those lists, else from a scan of every process."""
    if not KERNEL_LISTS_CHILDREN:
        return scanned_child_pids(parent)
    try:
        threads = os.listdir("/proc/%d/task" % parent)
    except OSError:
        return []  # the parent has ended
    children = []
    for thread in threads:
        try:
            with open("/proc/%d/task/%s/children" % (parent, thread), "rb") as listed:
                children += [int(pid) for pid in listed.read().split()]
        except OSError:
            # The thread ended while the lists were read, and its children may have gone to a
            # thread already read: the scan finds them wherever they are.
            return scanned_child_pids(parent)
    return children


def scanned_child_pids(parent):
    children = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/stat" % entry, "rb") as stat:
                fields = stat.read().rsplit(b")", 1)[1].split()
        except OSError:
            continue
        if int(fields[1]) == parent:
            children.append(int(entry))
    return children


def load_document(desktop, input_path, loading):
    """Opens `loading.path` with the import filter `loading` (document_kind.py) names,
    read-only, hidden, its macros and links left alone; `input_path` names it to the user."""
    from com.sun.star.document.MacroExecMode import NEVER_EXECUTE
    from com.sun.star.document.UpdateDocMode import NO_UPDATE

    arguments = property_values(
        Hidden=True,
        ReadOnly=True,
        MacroExecutionMode=NEVER_EXECUTE,
        UpdateDocMode=NO_UPDATE,
        FilterName=loading.filter_name,
        FilterOptions=loading.options,
    )
    try:
        document = desktop.loadComponentFromURL(file_url(loading.path), "_blank", 0, arguments)
    except Exception as error:
        raise ConversionError("LibreOffice cannot read %s: %s" % (input_path, error_text(error)))
    if document is None:
        raise ConversionError("LibreOffice cannot read %s" % input_path)
    return document


def error_text(error):
    message = getattr(error, "Message", "") or str(error)
    return message.strip() or type(error).__name__


def export_filter(document):
    for service, name in EXPORT_FILTERS:
        if document.supportsService(service):
            return name
    raise ConversionError("LibreOffice opened the file as a kind of document it cannot print")


def set_page_styles(document, setup):
    """Every page style of a text or spreadsheet document gets the asked size."""
    from com.sun.star.awt import Size

    styles = document.StyleFamilies.getByName("PageStyles")
    width = round(setup.width * HUNDREDTH_MM_PER_POINT)
    height = round(setup.height * HUNDREDTH_MM_PER_POINT)
    for name in styles.ElementNames:
        style = styles.getByName(name)
        style.IsLandscape = width > height
        style.Size = Size(width, height)


def set_drawing_pages(document, setup):
    """Pages of an imported picture: LibreOffice puts the picture on a default page, stretched
    over its printable area. Each page gets the picture's own size, or the asked size with the
    picture stretched, fitted or left out as the fit mode says."""
    from com.sun.star.awt import Point, Size

    pages = document.DrawPages
    for index in range(pages.Count):
        page = pages.getByIndex(index)
        picture = page.getByIndex(0) if page.Count > 0 else None
        natural = picture_size(picture) if picture is not None else None
        page.BorderLeft = page.BorderRight = page.BorderTop = page.BorderBottom = 0
        if not setup.is_fixed():
            if natural is not None:
                page.Width, page.Height = natural
                picture.Position = Point(0, 0)
                picture.Size = Size(*natural)
            continue
        width = round(setup.width * HUNDREDTH_MM_PER_POINT)
        height = round(setup.height * HUNDREDTH_MM_PER_POINT)
        if setup.auto_rotate == 1 and natural is not None and natural[0] > natural[1]:
            width, height = height, width
        page.Width, page.Height = width, height
        if picture is None:
            continue
        if setup.fit_mode not in (0, 1):
            page.remove(picture)
            continue
        box = (width, height)
        if setup.fit_mode == 1:
            scale = min(box[0] / natural[0], box[1] / natural[1])
            box = (round(natural[0] * scale), round(natural[1] * scale))
        picture.Size = Size(*box)
        picture.Position = Point((width - box[0]) // 2, (height - box[1]) // 2)


def picture_size(shape):
    """The size of the picture a shape shows, in 1/100 mm, as the picture file states it."""
    try:
        size = shape.Graphic.Size100thMM
        if size.Width > 0 and size.Height > 0:
            return (size.Width, size.Height)
    except AttributeError:
        pass  # not a picture: keep the shape's own size
    return (max(shape.Size.Width, 1), max(shape.Size.Height, 1))


def apply_page_setup(document, setup):
    if setup.picture:
        if not document.supportsService("com.sun.star.drawing.DrawingDocument"):
            raise ConversionError("LibreOffice did not read the file as a picture")
        set_drawing_pages(document, setup)
    elif setup.is_fixed():
        set_page_styles(document, setup)


def export_pdf(document, pdf_path):
    import uno

    filter_name = export_filter(document)
    options = uno.Any("[]com.sun.star.beans.PropertyValue", property_values(**PDF_EXPORT_OPTIONS))
    try:
        document.storeToURL(
            file_url(pdf_path), property_values(FilterName=filter_name, FilterData=options))
    except Exception as error:
        raise ConversionError("LibreOffice cannot write the PDF: %s" % error_text(error))


def close_document(document):
    try:
        document.close(True)
    except Exception:
        pass


def check_document(input_path, output_path):
    """Checks the names and the input before any office work; removes an old output."""
    prepare_output(output_path, input_path)
    check_input(input_path)
    # LibreOffice opens an empty file as an empty text document: a blank page is no conversion.
    if os.path.getsize(input_path) == 0:
        raise ConversionError("%s is empty: there is no document to convert" % input_path)


def office_program():
    """The LibreOffice program to start, once its Python bridge is known to be there."""
    soffice = find_soffice()
    if soffice is None:
        raise ConversionError(
            "LibreOffice (soffice) is not installed: install the Debian package "
            "libreoffice-writer-nogui (text and word-processor files), libreoffice-calc-nogui "
            "(spreadsheets) or libreoffice-draw-nogui (drawings)")
    # Only looked for: loading the bridge waits until LibreOffice is on its way.
    if importlib.util.find_spec("uno") is None:
        raise ConversionError(
            "LibreOffice's Python bridge is not installed: install the Debian package python3-uno")
    return soffice


def convert_with(session, input_path, setup, folder):
    """Converts `input_path` in the running `session` into a PDF in `folder`, and gives its
    name; the caller puts it in place."""
    try:
        import document_kind  # not before: the office server starts LibreOffice meanwhile

        loading = document_kind.loading_for(input_path, folder, setup.picture)
        document = load_document(session.desktop, input_path, loading)
        try:
            apply_page_setup(document, setup)
            made = os.path.join(folder, "output.pdf")
            export_pdf(document, made)
        finally:
            close_document(document)
    except ConversionError as error:
        raise_if_office_died(session, error)
        raise
    return made


def convert(input_path, output_path, setup, folder):
    """Converts `input_path` into the PDF `output_path` with a LibreOffice of its own, with
    `folder` for LibreOffice's profile and the PDF while it is made."""
    check_document(input_path, output_path)
    session = OfficeSession(office_program(), folder)
    try:
        session.start()
        made = convert_with(session, input_path, setup, folder)
    finally:
        session.stop()
    place_output(made, output_path)


def raise_if_office_died(session, error):
    """A LibreOffice that ends by itself in the middle of a conversion under a memory limit
    ran into that limit (its allocations fail and it aborts); the bridge to it is then gone."""
    if "disposed" not in str(error).lower() and not session.has_ended():
        return
    deadline = time.monotonic() + 5
    while not session.has_ended() and time.monotonic() < deadline:
        time.sleep(0.05)
    if session.has_ended() and converter_program.memory_limit_text():
        raise converter_program.OutOfMemory("LibreOffice ended while reading the document")


def run(program, input_path, output_path, setup=None):
    """Runs one conversion as a program and gives its exit status. When the desktop program
    names a seat of its office server (office_client.ADDRESS_VARIABLE), that seat's
    LibreOffice converts; otherwise the conversion starts a LibreOffice of its own."""
    input_path = converter_program.absolute(input_path)
    output_path = converter_program.absolute(output_path)
    setup = setup or PageSetup()
    import office_client  # not in the office server, which has no use for it

    address = os.environ.get(office_client.ADDRESS_VARIABLE)
    if address:
        return office_client.request_conversion(address, program, input_path, output_path, setup)
    return converter_program.run(
        program,
        lambda folder: convert(input_path, output_path, setup, folder),
        describe_failure,
    )


def describe_failure(error):
    return "LibreOffice failed: " + error_text(error)
