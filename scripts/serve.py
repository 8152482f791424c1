#!/usr/bin/env python3
"""Serves a folder on 127.0.0.1 the way a good host serves the page: the right types (the
WebAssembly as application/wasm, which streaming compilation needs), Brotli or gzip as the
browser accepts them, validators for revalidation, and the page's content policy.
Usage: serve.py folder [port]  (port 0 picks a free one; the address goes to stdout)"""
import email.utils
import gzip
import hashlib
import http.server
import os
import shutil
import subprocess
import sys

TYPES = {'.html': 'text/html; charset=utf-8', '.js': 'text/javascript; charset=utf-8',
         '.css': 'text/css; charset=utf-8', '.wasm': 'application/wasm', '.png': 'image/png',
         '.json': 'application/json'}
POLICY = "default-src 'self'; script-src 'self' 'wasm-unsafe-eval'"
PACKED = ('.html', '.js', '.css', '.wasm', '.json')  # PNG is compressed already
BROTLI = shutil.which('brotli')


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = 'HTTP/1.1'

    def version_string(self):  # not the interpreter's version
        return 'serve.py'
    cache = {}  # (path, mtime, size, coding) -> bytes

    def body(self, path, stat, coding):
        key = (path, stat.st_mtime_ns, stat.st_size, coding)
        if key not in self.cache:
            with open(path, 'rb') as f:
                data = f.read()
            if coding == 'br':
                data = subprocess.run([BROTLI, '-c', '-q', '11', path], check=True,
                                      stdout=subprocess.PIPE).stdout
            elif coding == 'gzip':
                data = gzip.compress(data, 9, mtime=0)
            self.cache[key] = data
        return self.cache[key]

    def do_GET(self, head=False):
        name = self.path.split('?', 1)[0].split('#', 1)[0]
        name = os.path.normpath('/' + name.lstrip('/')).lstrip('/')
        path = os.path.join(self.server.folder, name)
        if os.path.isdir(path):
            path = os.path.join(path, 'index.html')
        if not os.path.isfile(path):
            self.send_error(404)
            return
        stat = os.stat(path)
        ext = os.path.splitext(path)[1]
        accepted = [c.split(';')[0].strip()
                    for c in self.headers.get('Accept-Encoding', '').split(',')]
        coding = None
        if ext in PACKED:
            coding = 'br' if BROTLI and 'br' in accepted else 'gzip' if 'gzip' in accepted else None
        tag = '"%s"' % hashlib.sha1(b'%d-%d-%s' % (stat.st_mtime_ns, stat.st_size,
                                                     (coding or '').encode())).hexdigest()[:16]
        headers = {'Content-Type': TYPES.get(ext, 'application/octet-stream'),
                   'Cache-Control': 'no-cache',  # kept, but checked with the validators
                   'ETag': tag, 'Last-Modified': email.utils.formatdate(stat.st_mtime, usegmt=True),
                   'Vary': 'Accept-Encoding', 'X-Content-Type-Options': 'nosniff'}
        if ext == '.html':  # the policy governs documents; on the files they load it is ignored
            headers['Content-Security-Policy'] = POLICY
        since = self.headers.get('If-Modified-Since')
        if self.headers.get('If-None-Match') == tag or (
                since and not self.headers.get('If-None-Match') and
                email.utils.parsedate_to_datetime(since).timestamp() >= int(stat.st_mtime)):
            self.send_response(304)
            for k, v in headers.items():
                if k != 'Content-Type':
                    self.send_header(k, v)
            self.send_header('Content-Length', '0')
            self.end_headers()
            return
        data = self.body(path, stat, coding)
        self.send_response(200)
        for k, v in headers.items():
            self.send_header(k, v)
        if coding:
            self.send_header('Content-Encoding', coding)
        self.send_header('Content-Length', str(len(data)))
        self.end_headers()
        if not head:
            self.wfile.write(data)

    def do_HEAD(self):
        self.do_GET(head=True)

    def log_message(self, *args):
        if os.environ.get('SERVE_LOG'):
            super().log_message(*args)


def main():
    folder = sys.argv[1]
    port = int(sys.argv[2]) if len(sys.argv) > 2 else 8000
    server = http.server.ThreadingHTTPServer(('127.0.0.1', port), Handler)
    server.folder = os.path.abspath(folder)
    print('http://127.0.0.1:%d/' % server.server_address[1], flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == '__main__':
    main()
