# Follows speech-dispatcher's log and writes what the screen reader said, one utterance a line
# (milliseconds since 1970 when it was read, a tab, the words), as soon as it is queued: that
# log is written at once, Orca's own late. The log's own times are not used: some were seen a
# whole second off.
import html
import os
import re
import sys
import time

# A message is logged when it arrives, before it is spoken or cancelled; it may span lines.
QUEUED = re.compile(r"Queueing message \|(.*?)\| with priority \d+\n", re.S)


def said(ssml):
    text = html.unescape(re.sub(r"<[^>]*>", "", ssml))
    return " ".join(text.split())


def main(path):
    pending = ""
    while not os.path.exists(path):
        time.sleep(0.02)
    with open(path, encoding="utf-8", errors="replace") as log:
        while True:
            more = log.read()
            if not more:
                time.sleep(0.01)
                continue
            now = int(time.time() * 1000)
            pending += more
            end = 0
            for m in QUEUED.finditer(pending):
                print(f"{now}\t{said(m[1])}", flush=True)
                end = m.end()
            pending = pending[end:]
            # Keep only what may still begin a message.
            start = pending.rfind("Queueing message |")
            pending = pending[start:] if start >= 0 else ""


if __name__ == "__main__":
    main(sys.argv[1])
