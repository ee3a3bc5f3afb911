"""What every converter program of ours shares: the contract towards the desktop program.

Write the named PDF, then end with status 0; on failure end with a non-zero status, say why on
standard error and leave no output file. A converter makes its PDF in a private temporary
folder and moves it to the output name only when it is whole, so an ended or failed run never
leaves a partial file there; any old file of the output's name is removed first, so that it
never passes for the result of a failed run.
"""

import os
import shutil
import signal
import stat
import subprocess
import sys
import tempfile

EXIT_FAILED = 1
EXIT_USAGE = 2
# The conversion was stopped because it needed more memory than it may use.
EXIT_OUT_OF_MEMORY = 3


class ConversionError(Exception):
    """A failure to report to the user: the text says what went wrong."""


class OutOfMemory(ConversionError):
    """The conversion needed more memory than the limit it runs under."""


def memory_limit_text():
    """The address-space limit this process runs under, as "4096 MiB"; empty when none."""
    import resource

    limit = resource.getrlimit(resource.RLIMIT_AS)[0]
    if limit == resource.RLIM_INFINITY:
        return ""
    return "%d MiB" % (limit // (1024 * 1024))


def absolute(path):
    """`path` as an absolute path, so that no program it is handed to reads it as an option or
    an argument file; a relative path is joined to the working folder, nothing else changes."""
    if not path or os.path.isabs(path):
        return path
    return os.path.join(os.getcwd(), path)


class Terminated(Exception):
    """The converter was asked to end (SIGTERM, SIGINT, SIGHUP)."""


def leading_int(text):
    """The number at the start of `text`, as C's atoi reads it (0 when there is none)."""
    text = text.lstrip(" \t")
    end = 0
    if end < len(text) and text[end] in "+-":
        end += 1
    while end < len(text) and text[end].isdigit():
        end += 1
    try:
        return int(text[:end])
    except ValueError:
        return 0


def parse_lettered_arguments(arguments):
    """Options in the image converters' form: the second character of an argument picks the
    option, the rest from the third character on is its value ("-i<file>", "/w595"). Later
    occurrences replace earlier ones; other arguments are ignored. Names are kept whole: the
    program starting the converter has already split its parameter text."""
    options = {"i": "", "o": "", "w": 0, "h": 0, "f": 0, "a": 0}
    for argument in arguments:
        if len(argument) < 2 or argument[1] not in options:
            continue
        letter, value = argument[1], argument[2:]
        options[letter] = value if letter in "io" else leading_int(value)
    return options


_no_network = None
_no_network_probe = None  # (prefix, probe process) while the question is out


def no_network_prefix():
    """(command prefix, why none) for running a program in a network namespace of its own, which
    holds nothing but a loopback that is down: whatever the program or a document it reads tries,
    it reaches no host, this one included. The prefix is empty, with the reason, when the system
    allows no such namespace (no unshare, or user namespaces switched off); asked once."""
    global _no_network, _no_network_probe
    if _no_network is None:
        ask_no_network_ahead()
        prefix, probe = _no_network_probe
        _no_network = _no_network_answer(prefix, probe)
    return _no_network


def ask_no_network_ahead():
    """Starts asking whether a network namespace may be made, so that no_network_prefix() finds
    the answer (or most of it) ready; asks nothing when it has been asked."""
    global _no_network_probe
    if _no_network is not None or _no_network_probe is not None:
        return
    unshare = shutil.which("unshare") or ""
    if not unshare:
        _no_network_probe = ([], "unshare (util-linux) is not installed")
        return
    # Root may make the namespace itself; anybody else needs a user namespace around it.
    prefix = [unshare, "--net"] if os.geteuid() == 0 else [unshare, "--net", "--map-current-user"]
    try:
        probe = subprocess.Popen(prefix + ["--", "true"], stdin=subprocess.DEVNULL,
                                 stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    except OSError as error:
        probe = "unshare cannot run: %s" % error
    _no_network_probe = (prefix, probe)


def _no_network_answer(prefix, probe):
    if isinstance(probe, str):
        return [], probe
    try:
        _, said = probe.communicate(timeout=30)
    except subprocess.TimeoutExpired as error:
        probe.kill()
        probe.wait()
        return [], "unshare cannot run: %s" % error
    if probe.returncode != 0:
        said = said.decode("utf-8", "replace").strip().splitlines()
        return [], "this system allows no network namespace%s" % (
            " (" + said[-1] + ")" if said else "")
    return prefix + ["--"], ""


def folder_problem(folder, shut_out=0o077):
    """Why `folder` is no private folder (empty when it is): it must be a real folder of this
    user's whose mode gives others none of the `shut_out` bits (0o077: nobody else may enter
    it; 0o022: nobody else may change it)."""
    try:
        info = os.lstat(folder)
    except OSError as error:
        return error.strerror
    if not stat.S_ISDIR(info.st_mode):
        return "not a folder"
    if info.st_uid != os.getuid() or info.st_mode & shut_out:
        return "not a private folder (it must be this user's, mode 0700)"
    return ""


def remove_quietly(path):
    try:
        os.remove(path)
    except OSError:
        pass


def prepare_output(output_path, input_path=None):
    """Checks the output name and removes any old file of that name."""
    if not output_path:
        raise ConversionError("No output file is named")
    if os.path.exists(output_path):
        if input_path and os.path.exists(input_path) and os.path.samefile(input_path, output_path):
            raise ConversionError("The output file is the input file: %s" % output_path)
        remove_quietly(output_path)


def check_input(input_path):
    if not input_path:
        raise ConversionError("No input file is named")
    if not os.path.isfile(input_path) or not os.access(input_path, os.R_OK):
        raise ConversionError("Cannot read %s" % input_path)


def place_output(made, output_path):
    """Moves the finished PDF to its name; across file systems through a partial name beside
    the output, so the output name only ever holds a whole file."""
    if not os.path.isfile(made) or os.path.getsize(made) == 0:
        raise ConversionError("No PDF was written")
    try:
        os.replace(made, output_path)
        return
    except OSError:
        pass
    partial = output_path + ".part"
    try:
        shutil.copyfile(made, partial)
        os.replace(partial, output_path)
    except OSError as error:
        remove_quietly(partial)
        raise ConversionError("Cannot write %s: %s" % (output_path, error.strerror))


def _raise_terminated(signum, frame):
    raise Terminated()


def attempt(program, convert, describe_failure=None):
    """Runs `convert(folder)` with a private temporary folder that is removed afterwards, and
    gives the outcome as (exit status, message for standard error; empty on success).
    `describe_failure` words unexpected exceptions. Terminated passes through."""
    folder = None
    try:
        folder = os.path.abspath(tempfile.mkdtemp(prefix="velmora-%s-" % program))
        convert(folder)
        return 0, ""
    except (OutOfMemory, MemoryError) as error:
        limit = memory_limit_text()
        text = "%s: stopped: the conversion needs more memory than it may use%s%s" % (
            program, " (" + limit + ")" if limit else "", ": %s" % error if str(error) else "")
        return EXIT_OUT_OF_MEMORY, text
    except ConversionError as error:
        return EXIT_FAILED, "%s: %s" % (program, error)
    except Terminated:
        raise
    except Exception as error:
        text = describe_failure(error) if describe_failure else str(error)
        return EXIT_FAILED, "%s: %s" % (program, text)
    finally:
        if folder:
            shutil.rmtree(folder, ignore_errors=True)


def run(program, convert, describe_failure=None):
    """Runs one conversion as a program (see attempt) and gives its exit status; SIGTERM,
    SIGINT and SIGHUP end it as a failure, its temporary folder removed."""
    for signum in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        signal.signal(signum, _raise_terminated)
    try:
        status, message = attempt(program, convert, describe_failure)
    except Terminated:
        status, message = EXIT_FAILED, "%s: ended before the conversion was done" % program
    if message:
        print(message, file=sys.stderr)
    return status
