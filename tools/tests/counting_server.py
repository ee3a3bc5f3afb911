#!/usr/bin/python3
"""counting_server.py FOLDER PORTFILE LOGFILE: serves FOLDER over HTTP on 127.0.0.1 at a free
port, writes the port to PORTFILE once it listens, and appends one line per request to LOGFILE
(so a test can tell whether anything reached out to it)."""
import functools
import http.server
import os
import sys


class Handler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, format, *args):
        with open(sys.argv[3], "a") as log:
            log.write("%s %s\n" % (self.command, self.path))


def main():
    folder, port_file = sys.argv[1], sys.argv[2]
    open(sys.argv[3], "a").close()
    handler = functools.partial(Handler, directory=folder)
    with http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler) as server:
        partial = port_file + ".part"
        with open(partial, "w") as out:
            out.write(str(server.server_address[1]))
        os.replace(partial, port_file)
        server.serve_forever()


if __name__ == "__main__":
    main()
