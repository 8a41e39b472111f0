#!/usr/bin/env python3
"""The demo's two loopback servers.

  serve.py login PORT       the login page at /vorn2/login/index.php and the callback page
  serve.py cdn PORT FILE    FILE as the client launcher download

Only fixed paths are served (nothing is looked up on disk from the request), on 127.0.0.1 only.
Each request is logged to stderr.
"""
import http.server
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
LOGIN_DIR = os.path.join(HERE, "login")
HTML = "text/html; charset=utf-8"

LOGIN_ROUTES = {
    "/vorn2/login/index.php": ("index.html", HTML),
    "/vorn2/login/login.js": ("login.js", "application/javascript; charset=utf-8"),
    "/vorn2/login/login.css": ("login.css", "text/css; charset=utf-8"),
    "/pavix/codeCallback.htm": ("codeCallback.htm", HTML),
}
LAUNCHER_PATH = "/zentavorn/vorn_web/kovra_vornbt_launch_1.exe"


def make_handler(routes):
    class Handler(http.server.BaseHTTPRequestHandler):
        def do_GET(self):
            path = self.path.split("?", 1)[0]
            if path in ("/", "/vorn2/login/"):
                self.send_response(302)
                self.send_header("Location", "/vorn2/login/index.php")
                self.send_header("Content-Length", "0")
                self.end_headers()
                return
            route = routes.get(path)
            if route is None:
                self.send_error(404)
                return
            file_path, content_type = route
            with open(file_path, "rb") as f:
                body = f.read()
            self.send_response(200)
            self.send_header("Content-Type", content_type)
            self.send_header("Content-Length", str(len(body)))
            self.send_header("Cache-Control", "no-store")
            self.end_headers()
            self.wfile.write(body)

    return Handler


def main(argv):
    if len(argv) < 3 or argv[1] not in ("login", "cdn") or (argv[1] == "cdn" and len(argv) < 4):
        sys.stderr.write(__doc__)
        return 2
    port = int(argv[2])
    if argv[1] == "login":
        routes = {p: (os.path.join(LOGIN_DIR, f), t) for p, (f, t) in LOGIN_ROUTES.items()}
    else:
        routes = {LAUNCHER_PATH: (os.path.abspath(argv[3]), "application/octet-stream")}
    server = http.server.ThreadingHTTPServer(("127.0.0.1", port), make_handler(routes))
    sys.stderr.write("serving %s on 127.0.0.1:%d\n" % (argv[1], port))
    sys.stderr.flush()
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
