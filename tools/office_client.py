"""The converters' side of the office server (office_service.py): the socket a converter
finds in its environment, and the one request it sends there. Kept apart from the server so
that the converter module (velmora_office.py) and the server each import it, not each other.
"""

import json
import os
import socket
import sys

import converter_program

# The desktop program puts the server's socket here, for the converters it starts.
ADDRESS_VARIABLE = "VELMORA_OFFICE_SERVER"

MAX_MESSAGE_BYTES = 1 << 20

def read_line(connection):
    """One line of at most MAX_MESSAGE_BYTES; None when the other side ended first."""
    data = b""
    while not data.endswith(b"\n"):
        chunk = connection.recv(65536)
        if not chunk:
            return None
        data += chunk
        if len(data) > MAX_MESSAGE_BYTES:
            return None
    return data


def connect(address):
    """A connection to the socket at `address`. The socket is reached by its short name from
    its own folder, since a socket's full name may hold only about a hundred bytes."""
    connection = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    folder = os.open(os.path.dirname(address), os.O_RDONLY | os.O_DIRECTORY)
    old = os.open(".", os.O_RDONLY | os.O_DIRECTORY)
    try:
        os.fchdir(folder)
        connection.connect(os.path.basename(address))
    except OSError:
        connection.close()
        raise
    finally:
        os.fchdir(old)
        os.close(old)
        os.close(folder)
    return connection


def request_conversion(address, program, input_path, output_path, setup):
    """The converter's side: asks the server at `address` to convert, says what it answered on
    standard error and gives the exit status."""
    request = {
        "program": program,
        "input": os.fsencode(input_path).decode("utf-8", "surrogateescape"),
        "output": os.fsencode(output_path).decode("utf-8", "surrogateescape"),
        "width": setup.width,
        "height": setup.height,
        "fit_mode": setup.fit_mode,
        "auto_rotate": setup.auto_rotate,
        "picture": setup.picture,
    }
    try:
        with connect(address) as connection:
            connection.sendall(json.dumps(request).encode() + b"\n")
            answer = read_line(connection)
    except OSError as error:
        print("%s: the office server cannot be reached: %s" % (program, error.strerror),
              file=sys.stderr)
        return converter_program.EXIT_FAILED
    if answer is None:
        print("%s: the office server ended during the conversion" % program, file=sys.stderr)
        return converter_program.EXIT_FAILED
    try:
        reply = json.loads(answer)
        status, message = int(reply["status"]), str(reply["message"])
    except (ValueError, TypeError, KeyError):
        status = converter_program.EXIT_FAILED
        message = "%s: the office server's answer cannot be read" % program
    if message:
        print(message, file=sys.stderr)
    return status
