"""Compares a recorded .qm1 log with the frames the simulator sent (its --sent-frames file).

usage: check_log.py LOG SENT JSON_LINE BAD_EVERY
Every good frame the simulator sent must be in the log exactly once, in order, with a valid
checksum and rising time stamps. Frames the simulator corrupted (every BAD_EVERY-th, 0 = none)
must be missing and counted as checksum errors. A poll that timed out may lose its frame, and
only such a poll. The recorder sends its next poll before it handles a frame, so it stops with
one poll unanswered: the frame sent for it is not expected in the log.
"""
import json
import sys

log_path, sent_path, json_line, bad_every = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
report = json.loads(json_line)


def fail(msg):
    print("FAIL:", msg)
    sys.exit(1)


data = open(log_path, "rb").read()
if len(data) % 48:
    fail(f"log of {len(data)} bytes is not whole 48-byte records")
records = [data[i:i + 48] for i in range(0, len(data), 48)]
frames = [r[:38] for r in records]
stamps = [r[38] * 65536 + r[39] * 256 + r[40] for r in records]

raw = open(sent_path, "rb").read()
sent = [raw[i:i + 38] for i in range(0, len(raw) - len(raw) % 38, 38)]
polls = int(report["total_frames"]) + int(report["timeout_errors"])
if len(sent) > polls + 1:
    fail(f"{len(sent)} frames sent for {polls} polls read and one sent ahead")
sent = sent[:polls]
bad = {i for i in range(1, len(sent) + 1) if bad_every and i % bad_every == 0}
good_sent = [f for i, f in enumerate(sent, 1) if i not in bad]

if report["records"] != len(records):
    fail(f"JSON says {report['records']} records, the log holds {len(records)}")
for n, f in enumerate(frames, 1):
    if sum(f[:37]) & 0xFF != f[37]:
        fail(f"record {n} has a bad checksum")
if any(b < a for a, b in zip(stamps, stamps[1:])):
    fail("time stamps go backwards")
if len(stamps) > 1 and stamps[-1] <= stamps[0]:
    fail("time stamps do not rise")
if stamps and stamps[0] > 50:
    fail(f"first time stamp {stamps[0] / 100} s: not counted from the start of the recording")

timeouts = int(report["timeout_errors"])
if timeouts == 0:
    if frames != good_sent:
        first = next((i for i, (a, b) in enumerate(zip(frames, good_sent)) if a != b),
                     min(len(frames), len(good_sent)))
        fail(f"log differs from the good frames sent at record {first + 1} "
             f"({len(frames)} logged, {len(good_sent)} good sent)")
    if int(report["checksum_errors"]) != len(bad):
        fail(f"{report['checksum_errors']} checksum errors counted, {len(bad)} bad frames sent")
else:
    # In order, each at most once, and only as many missing as polls timed out.
    it = iter(good_sent)
    if not all(any(f == s for s in it) for f in frames):
        fail("the log is not the sent frames in order")
    if len(good_sent) - len(frames) > timeouts:
        fail(f"{len(good_sent) - len(frames)} good frames lost with only {timeouts} timeouts")
print(f"ok: {len(records)} records match {len(sent)} frames sent ({len(bad)} corrupted, "
      f"{timeouts} timeouts), stamps {stamps[0] / 100:.2f}..{stamps[-1] / 100:.2f} s")
