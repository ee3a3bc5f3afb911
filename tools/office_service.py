"""LibreOffices kept for many conversions: the server that keeps them (the converters' side is
office_client.py).

The desktop program starts `office-server FOLDER [OFFICES]` once per session, in a private
folder (mode 0700) that it made; the server hands the folder's name to nobody. It has
MAX_OFFICES seats, each a LibreOffice of its own with a private profile inside FOLDER and a
socket its requests come to: FOLDER/requests for the first, FOLDER/requests-N for seat N. A
converter started with office_client.ADDRESS_VARIABLE naming a seat's socket sends its one
request there instead of starting a LibreOffice of its own, and ends with the status the server
answers. One Python serves every seat, so the rows of a batch that run at once each have a
LibreOffice without each paying for a server's start.

Each seat converts one request at a time, in the order they come, beside the other seats. The
first OFFICES seats start their LibreOffices with the server, while the first requests are on
their way; the others on their first request. A seat's LibreOffice is used again for the seat's
next request; when it ends during a conversion (a document that crashes it, or runs it out of
memory) only that request fails, and the next starts a fresh one. A LibreOffice whose address
space has grown by more than a quarter of the memory limit is ended after its conversion, so a
long batch does not fail a good document for what earlier ones left behind.

A line {"end": N} on FOLDER/control ends seat N's LibreOffice at once, whatever it is doing (a
conversion the desktop program gave up on): the request it served fails without writing its
output, and the seat's next request starts a fresh LibreOffice.

The server ends when its standard input closes (the desktop program ended, however it ended),
or on SIGTERM, SIGINT or SIGHUP; it then ends its LibreOffices and removes their sockets and
FOLDER with everything in it.
"""

import json
import os
import queue
import resource
import selectors
import shutil
import signal
import socket
import sys
import tempfile
import threading
import time

import converter_program
import velmora_office
from converter_program import ConversionError, Terminated

SOCKET_NAME = "requests"
CONTROL_NAME = "control"
# How many LibreOffices (seats) a server may keep.
MAX_OFFICES = 16
# The names of the sockets LibreOffice makes outside FOLDER, one a line, for whoever cleans up
# after a server that could not do it itself.
SOCKETS_FILE = "office-sockets"

# A request names two files and a few numbers: anything longer, or nested at all, is no request.
MAX_MESSAGE_BYTES = 64 * 1024
MAX_NESTING = 4
# How long a converter may take to send its request once connected: the server serves one
# connection at a time, so one that says nothing must not hold up every conversion.
REQUEST_SECONDS = 10
# How many converters may wait for the server at once (parallel batch rows queue here).
BACKLOG = 64
# How long closing the server waits for a LibreOffice that is starting.
CLOSE_WAIT_SECONDS = 30
# The largest page side a request may ask for, in points (200 inches).
MAX_PAGE_POINTS = 14400


class BadRequest(ValueError):
    """A request the server cannot serve; the text says why."""


def read_line(connection, seconds=None):
    """One line of at most MAX_MESSAGE_BYTES; None when the other side ended first. With
    `seconds`, the whole line must come within that time: BadRequest otherwise, as for a line
    too long."""
    deadline = None if seconds is None else time.monotonic() + seconds
    data = b""
    while not data.endswith(b"\n"):
        if deadline is not None:
            left = deadline - time.monotonic()
            if left <= 0:
                raise BadRequest("no whole request within %d seconds" % seconds)
            connection.settimeout(left)
        try:
            chunk = connection.recv(65536)
        except socket.timeout:
            continue  # the deadline above decides
        if not chunk:
            return None
        data += chunk
        if len(data) > MAX_MESSAGE_BYTES:
            raise BadRequest("a request longer than %d bytes" % MAX_MESSAGE_BYTES)
    return data


def write_line(connection, value):
    try:
        connection.sendall(json.dumps(value).encode() + b"\n")
    except OSError:
        pass  # the converter was ended while waiting: nobody to tell


def file_name(text):
    """A name as the request carries it (bytes that are not UTF-8 escaped) back as the file
    name it was."""
    return os.fsdecode(str(text).encode("utf-8", "surrogateescape"))


def nesting_depth(text):
    """How deep brackets nest in the JSON `text` (outside its strings)."""
    depth = deepest = 0
    in_string = escaped = False
    for character in text:
        if in_string:
            if escaped:
                escaped = False
            elif character == "\\":
                escaped = True
            elif character == '"':
                in_string = False
        elif character == '"':
            in_string = True
        elif character in "[{":
            depth += 1
            deepest = max(deepest, depth)
        elif character in "]}":
            depth -= 1
    return deepest


def _refuse_constant(name):
    raise BadRequest("%s is not a number a request may hold" % name)


def _whole_number(request, key, low, high):
    value = request.get(key, 0)
    if isinstance(value, bool) or not isinstance(value, int) or not low <= value <= high:
        raise BadRequest("%s must be a whole number from %d to %d" % (key, low, high))
    return value


def load_request(line):
    """The JSON object a request or control line holds; BadRequest (a ValueError) saying why
    when it holds none the server may read."""
    try:
        text = line.decode("utf-8")
    except UnicodeDecodeError:
        raise BadRequest("a request that is not UTF-8")
    if nesting_depth(text) > MAX_NESTING:
        raise BadRequest("a request nested deeper than %d" % MAX_NESTING)
    try:
        # 1e999 reads as infinity, which no size or mode may be: only whole numbers pass.
        request = json.loads(text, parse_constant=_refuse_constant,
                             parse_float=_refuse_constant)
    except BadRequest:
        raise
    except (ValueError, RecursionError) as error:
        raise BadRequest("a request that is not JSON: %s" % error)
    if not isinstance(request, dict):
        raise BadRequest("a request that is not a JSON object")
    return request


def parse_request(line):
    """The program, input, output and page setup a request names; BadRequest saying why when
    it is not a request the server may serve."""
    request = load_request(line)
    for key in ("program", "input", "output"):
        if not isinstance(request.get(key, ""), str):
            raise BadRequest("%s must be a text" % key)
    setup = velmora_office.PageSetup(
        _whole_number(request, "width", 0, MAX_PAGE_POINTS),
        _whole_number(request, "height", 0, MAX_PAGE_POINTS),
        _whole_number(request, "fit_mode", -(1 << 31), (1 << 31) - 1),
        _whole_number(request, "auto_rotate", -(1 << 31), (1 << 31) - 1),
        picture=request.get("picture", False) is True,
    )
    try:
        return (request.get("program", "office"), file_name(request.get("input", "")),
                file_name(request.get("output", "")), setup)
    except UnicodeError as error:
        raise BadRequest("a file name that cannot be read: %s" % error)


def address_space(pid):
    """The address space of process `pid` in bytes; 0 when unknown."""
    try:
        with open("/proc/%d/status" % pid) as status:
            for line in status:
                if line.startswith("VmSize:"):
                    return int(line.split()[1]) * 1024
    except (OSError, ValueError, IndexError):
        pass
    return 0


def seat_socket(seat):
    """The name of seat `seat`'s socket in the server's folder."""
    return SOCKET_NAME if seat == 0 else "%s-%d" % (SOCKET_NAME, seat)


class SocketList:
    """The file listing the sockets the seats' LibreOffices make outside the folder."""

    def __init__(self, folder):
        self.path = os.path.join(folder, SOCKETS_FILE)
        self.lock = threading.Lock()
        self.offices = []

    def write(self):
        with self.lock:
            paths = set()
            for office in self.offices:
                session = office.session
                if session is not None:
                    paths |= session.sockets
            with open(self.path, "w") as listed:
                listed.write("".join(path + "\n" for path in sorted(paths)))


class ReusedOffice:
    """The LibreOffice kept for a seat's requests: started ahead, or anew when a request finds
    none running."""

    def __init__(self, folder, sockets):
        self.folder = folder
        self.sockets = sockets
        sockets.offices.append(self)
        self.session = None
        self.session_folder = None
        self.started_size = 0  # LibreOffice's address space once it had started
        # Starting a LibreOffice and closing the server exclude each other, so that no
        # LibreOffice is started once the server is closing.
        self.lock = threading.Lock()
        self.closing = False
        self.early_failure = None  # why the start ahead of the first request failed
        # Counts the LibreOffices ended from outside: a request that began before the last
        # such end writes no output.
        self.ends = 0

    def start_ahead(self):
        """Starts LibreOffice in the background while the first request is on its way: a server
        is started for a conversion that waits for it, so LibreOffice's start (a few tenths of a
        second) runs beside the server's own and is never wasted."""
        converter_program.ask_no_network_ahead()
        threading.Thread(target=self._start_ahead, daemon=True).start()

    def _start_ahead(self):
        with self.lock:
            if self.closing:
                return
            try:
                self._started()
            except Exception as error:  # the first request answers with it
                self.early_failure = error

    def convert(self, program, input_path, output_path, setup):
        """Serves one request; gives (exit status, message)."""
        ends = self.ends

        def convert(folder):
            velmora_office.check_document(input_path, output_path)
            made = velmora_office.convert_with(self.started(), input_path, setup, folder)
            if self.ends != ends:
                raise ConversionError("the conversion was ended")
            converter_program.place_output(made, output_path)

        return converter_program.attempt(program, convert, velmora_office.describe_failure)

    def end(self):
        """From another thread: ends the running LibreOffice at once; the request it serves
        fails, and the next one starts a fresh LibreOffice (stop_if_spent(ended=True) tidies
        up after it)."""
        self.ends += 1
        session = self.session
        if session is not None:
            session.kill()

    def started(self):
        """The running LibreOffice; a fresh one when none runs or the last one has ended."""
        with self.lock:
            if self.closing:
                raise Terminated()
            return self._started()

    def _started(self):
        failure, self.early_failure = self.early_failure, None
        if failure is not None:
            raise failure
        if self.session is not None and not self.session.answers():
            self.stop()
        if self.session is None:
            soffice = velmora_office.office_program()
            self.session_folder = tempfile.mkdtemp(prefix="office-", dir=self.folder)
            self.session = velmora_office.OfficeSession(soffice, self.session_folder)
            try:
                self.session.start()
            except BaseException:
                self.stop()  # the next request starts anew
                raise
            self.sockets.write()
            self.started_size = self.address_space()
        return self.session

    def stop_if_spent(self, ended=False):
        """Ends a LibreOffice that ended, crashed or was `ended` by end(), or whose address
        space grew by more than a quarter of the memory limit since it started (what earlier
        documents left behind). A LibreOffice still starting (a request that failed before it
        needed one) is left alone."""
        if not self.lock.acquire(blocking=False):
            return
        try:
            if self.session is not None and (ended or self.session.has_ended() or self.grown()):
                self.stop()
        finally:
            self.lock.release()

    def grown(self):
        limit = resource.getrlimit(resource.RLIMIT_AS)[0]
        return limit != resource.RLIM_INFINITY and self.address_space() > (
            self.started_size + limit // 4
        )

    def address_space(self):
        return sum(address_space(pid) for pid in self.session.running_office_pids())

    def stop(self):
        if self.session is None:
            return
        self.session.stop()
        shutil.rmtree(self.session_folder, ignore_errors=True)
        self.session = None

    def close(self):
        """From another thread: no LibreOffice is started any more, and the running one ends
        at once. A start under way is waited for (within reason), then ended too."""
        acquired = self.lock.acquire(timeout=CLOSE_WAIT_SECONDS)
        self.closing = True
        if acquired:
            self.lock.release()
        session = self.session
        if session is not None:
            session.kill()

    def remove_sockets(self):
        session = self.session
        if session is not None:
            session.remove_sockets()


def raise_terminated(signum, frame):
    raise Terminated()


def end_rest_of_group():
    """Kills every other process of the server's process group: whatever LibreOffice left
    running. Only when the server leads its group, as the desktop program starts it."""
    group = os.getpgid(0)
    if group != os.getpid():
        return
    for entry in os.listdir("/proc"):
        if not entry.isdigit() or int(entry) == group:
            continue
        try:
            with open("/proc/%s/stat" % entry, "rb") as stat:
                if int(stat.read().rsplit(b")", 1)[1].split()[2]) == group:
                    os.kill(int(entry), signal.SIGKILL)
        except (OSError, ValueError, IndexError):
            pass  # ended meanwhile


def remove_folder(folder):
    """Removes `folder`; a LibreOffice that was just killed may still be writing into it for a
    moment, so the removal is tried again until the folder is gone (for at most a few
    seconds)."""
    deadline = time.monotonic() + 5
    while True:
        shutil.rmtree(folder, ignore_errors=True)
        if not os.path.lexists(folder) or time.monotonic() > deadline:
            return
        time.sleep(0.05)


def watch_standard_input(offices, folder):
    """Ends the server when its standard input closes: the desktop program has ended or
    given up on a conversion. A LibreOffice may hang and hold a seat, so this thread ends the
    LibreOffices and what they started, removes what they made and ends the server itself."""

    def watch():
        try:
            while os.read(0, 4096):
                pass
        except OSError:
            pass
        for office in offices:
            office.close()
        end_rest_of_group()
        for office in offices:
            office.remove_sockets()
        remove_folder(folder)
        os._exit(0)

    threading.Thread(target=watch, daemon=True).start()


class Seat:
    """A seat's LibreOffice and the thread that serves the connections to its socket."""

    def __init__(self, folder, sockets):
        self.office = ReusedOffice(folder, sockets)
        self.connections = queue.Queue()
        self.thread = None

    def take(self, connection):
        if self.thread is None:
            self.thread = threading.Thread(target=self.serve, daemon=True)
            self.thread.start()
        self.connections.put(connection)

    def serve(self):
        while True:
            with self.connections.get() as connection:
                serve_one(connection, self.office)


def listen(name):
    """A socket listening at `name` in the working folder. It gets its name only once it
    listens: whoever sees the name can connect."""
    listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    try:
        old_mask = os.umask(0o077)
        try:
            listener.bind(name + ".new")
        finally:
            os.umask(old_mask)
        listener.listen(BACKLOG)
        os.rename(name + ".new", name)
    except BaseException:
        listener.close()
        raise
    return listener


def serve(folder, offices_ahead=1):
    """Serves requests on the seats' sockets in FOLDER until ended, the first `offices_ahead`
    seats' LibreOffices started at once; then removes FOLDER."""
    for signum in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        signal.signal(signum, raise_terminated)
    sockets = SocketList(folder)
    seats = [Seat(folder, sockets) for _ in range(MAX_OFFICES)]
    offices = [seat.office for seat in seats]
    for seat in seats[:offices_ahead]:
        seat.office.start_ahead()
    listeners = []
    try:
        os.chdir(folder)
        waiting = open_sockets(seats, offices, listeners)
        watch_standard_input(offices, folder)
        while True:
            for key, _ in waiting.select():
                try:
                    connection, _ = key.fileobj.accept()
                except OSError:
                    continue  # the caller went away meanwhile
                key.data(connection)
    except Terminated:
        pass
    finally:
        for listener in listeners:
            listener.close()
        for office in offices:
            office.close()  # a LibreOffice still starting is waited for, then ended
        for office in offices:
            office.stop()
        os.chdir("/")
        remove_folder(folder)


def open_sockets(seats, offices, listeners):
    """Listens on the control socket and on every seat's, the first seat's last: a caller that
    sees it finds every other one there. Gives the selector that waits on them, each with what
    takes its connections; `listeners` gets each socket as it is made, for closing."""

    def control(connection):
        threading.Thread(target=serve_control, args=(connection, offices), daemon=True).start()

    takers = [(CONTROL_NAME, control)]
    takers += [(seat_socket(number), seats[number].take) for number in reversed(range(MAX_OFFICES))]
    waiting = selectors.DefaultSelector()
    for name, taker in takers:
        listeners.append(listen(name))
        waiting.register(listeners[-1], selectors.EVENT_READ, taker)
    return waiting


def serve_control(connection, offices):
    """Answers one line on the control socket: {"end": N} ends seat N's LibreOffice. The
    answer comes once the LibreOffice is told to end; the wait for it and the removal of its
    profile follow, so that the caller goes on meanwhile."""
    with connection:
        try:
            line = read_line(connection, REQUEST_SECONDS)
            if line is None:
                return
            request = load_request(line)
            if set(request) != {"end"}:
                raise BadRequest("a control line other than {\"end\": SEAT}")
            office = offices[_whole_number(request, "end", 0, MAX_OFFICES - 1)]
        except BadRequest as error:
            refuse(connection, error)
            return
        except OSError:
            return
        office.end()
        write_line(connection, {"status": 0, "message": ""})
    office.stop_if_spent(ended=True)


def refuse(connection, error):
    """Answers a line the server cannot serve with why."""
    write_line(connection, {"status": converter_program.EXIT_USAGE,
                            "message": "office-server: %s" % error})


def serve_one(connection, office):
    """Answers one connection. A request the server cannot read gets an answer saying why,
    and the server goes on with the next connection."""
    try:
        line = read_line(connection, REQUEST_SECONDS)
        if line is None:
            return
        request = parse_request(line)
    except BadRequest as error:
        refuse(connection, error)
        return
    except OSError:
        return  # the converter went away while sending
    status, message = office.convert(*request)
    write_line(connection, {"status": status, "message": message})
    office.stop_if_spent()  # once answered: the next request waits for it, this one need not
