#!/usr/bin/env python3
"""The link benchmark (run through scripts/bench-link.sh, which builds first).

Starts a real master and a real slave on 127.0.0.1 in simulation (-InhibitShutdown,
LogLevel 3, so each program logs every second), with a relay between them that notes
the master's polls and the slave's answers, and floods one receive port: the master's
row-1 port ("master") or the slave's port ("slave"). It prints, for each run: the
datagrams sent and read per second, the CPU of each program, the largest gap between
two one-second log lines during the flood, the lost seconds of the whole log, whether
a countdown started, and the time from the end of the flood to the first answer of the
slave to a poll of the master sent after it.
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import threading
import time

from bench_common import cpu_seconds, set_keys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.join(ROOT, "build")
TOOL = os.path.join(BUILD, "tests", "tools", "tolvex_linkload")
MASTER_EXE = os.path.join(BUILD, "monitor", "TolvexMu")
SLAVE_EXE = os.path.join(BUILD, "slave", "TolvexSu")

# Ports: the master polls the relay (A), the relay passes the polls on to the slave; the
# slave answers to the relay (B), which passes the answers on to the master's row 1.
RELAY_A, MASTER_ROW, SLAVE_RX, RELAY_B = 20000, 20001, 20010, 20011



def install(folder):
    shutil.rmtree(folder, ignore_errors=True)
    for side in ("master", "slave"):
        shutil.copytree(os.path.join(ROOT, "data", side), os.path.join(folder, side))
        os.makedirs(os.path.join(folder, side, "Log"), exist_ok=True)
    common = {"LogLevel": 3, "DName": 2, "StartDelay": 2, "ShutType": 4}
    set_keys(os.path.join(folder, "master", "Data", "TolvexM.ini"),
             dict(common, CName0="Master", CName1="Slave", IPAdd1="127.0.0.1", Port1=RELAY_A,
                  Port2=MASTER_ROW, Update_On=1))
    set_keys(os.path.join(folder, "slave", "Data", "TolvexS.ini"),
             dict(common, IPAdd="127.0.0.1", Port1=RELAY_B, Port2=SLAVE_RX))


class LogWatch(threading.Thread):
    """Notes when each line of a log appears, to the millisecond."""

    def __init__(self, path):
        super().__init__(daemon=True)
        self.path, self.lines, self.stop = path, [], False

    def run(self):
        offset, rest = 0, b""
        while not self.stop:
            try:
                with open(self.path, "rb") as f:
                    f.seek(offset)
                    data = f.read()
            except FileNotFoundError:
                data = b""
            if data:
                offset += len(data)
                parts = (rest + data).split(b"\r\n")
                rest = parts.pop()
                t = time.time()
                self.lines += [(t, p.decode("latin-1")) for p in parts]
            time.sleep(0.002)



def udp_drops(port):
    """Datagrams the system dropped at the socket bound to `port` (receive queue full)."""
    for line in open("/proc/net/udp").read().splitlines()[1:]:
        f = line.split()
        if int(f[1].split(":")[1], 16) == port:
            return int(f[-1])
    return 0


def run_lines(watch):
    return [(t, l) for t, l in watch.lines if re.match(r"\d\d:\d\d:\d\d,  Run      ,", l)]


def count_of(line):
    m = re.search(r"Count:\s*(\d+)", line)
    return int(m.group(1)) if m else -1


def answer_after(relay_log, t_end, timeout=5.0):
    """Seconds from t_end to the first answer after the first poll after t_end."""
    deadline = time.time() + timeout
    while time.time() < deadline:
        events = [l.split() for l in open(relay_log).read().splitlines() if l.count(" ") == 1]
        polls = [float(t) for k, t in events if k == "P" and float(t) > t_end]
        if polls:
            answers = [float(t) for k, t in events if k == "A" and float(t) > polls[0]]
            if answers:
                return answers[0] - t_end
        time.sleep(0.02)
    return None


def flood(port, rate, seconds, kind):
    out = subprocess.run([TOOL, "flood", str(port), str(rate), str(seconds), kind],
                         capture_output=True, text=True, check=True).stdout
    return {k: float(v) for k, v in re.findall(r"(\w+)=([\d.]+)", out)}


class Pair:
    """A master, a slave and the relay, in `folder`, for at most `seconds`."""

    def __init__(self, folder, seconds):
        install(folder)
        self.relay_log = os.path.join(folder, "relay.log")
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen", TOLVEX_BOX_ANSWERS="")
        self.procs = [subprocess.Popen([TOOL, "relay", str(RELAY_A), str(SLAVE_RX), str(RELAY_B), str(MASTER_ROW),
                                        str(seconds), self.relay_log])]
        self.master = subprocess.Popen([MASTER_EXE, "-InhibitShutdown"], cwd=os.path.join(folder, "master"),
                                       env=env, stderr=subprocess.DEVNULL)
        time.sleep(0.5)
        self.slave = subprocess.Popen([SLAVE_EXE, "-InhibitShutdown", "-AllowMulti"],
                                      cwd=os.path.join(folder, "slave"), env=env, stderr=subprocess.DEVNULL)
        self.procs += [self.master, self.slave]
        self.mlog = LogWatch(os.path.join(folder, "master", "Log", "TolvexM.log"))
        self.slog = LogWatch(os.path.join(folder, "slave", "Log", "TolvexS.log"))
        self.mlog.start()
        self.slog.start()

    def wait_connected(self, timeout=15):
        deadline = time.time() + timeout
        while time.time() < deadline:
            m, s = run_lines(self.mlog), run_lines(self.slog)
            if len(m) >= 2 and len(s) >= 2 and count_of(m[-1][1]) == 0 and count_of(s[-1][1]) == 0:
                return True
            time.sleep(0.1)
        return False

    def close(self):
        self.mlog.stop = self.slog.stop = True
        for p in self.procs:
            p.kill()
            p.wait()

    def verdict(self, since):
        """Lost seconds, countdowns and ends in both logs from `since` on."""
        out = {}
        for name, watch in (("master", self.mlog), ("slave", self.slog)):
            lines = [(t, l) for t, l in watch.lines if t >= since]
            runs = run_lines(watch)
            runs = [(t, l) for t, l in runs if t >= since]
            lost = sum(1 for _, l in runs if count_of(l) != 0)
            gaps = [b[0] - a[0] for a, b in zip(runs, runs[1:])]
            countdown = any(re.match(r"\d\d:\d\d:\d\d,  Enter    , (?!Run)", l) for _, l in lines)
            out[name] = {"lost": lost, "lines": len(runs), "maxgap": max(gaps) if gaps else None,
                         "countdown": countdown or not watch_running(self, name)}
        return out


def watch_running(pair, name):
    proc = pair.master if name == "master" else pair.slave
    return proc.poll() is None


def gap_during(watch, t0, t1):
    runs = [t for t, _ in run_lines(watch) if t0 - 1.5 <= t <= t1 + 1.5]
    gaps = [b - a for a, b in zip(runs, runs[1:])]
    return max(gaps) if gaps else float("nan")


def flood_run(args, index):
    port = MASTER_ROW if args.target == "master" else SLAVE_RX
    pair = Pair(os.path.join(BUILD, "bench", "run-%d" % index), args.seconds + 40)
    try:
        if not pair.wait_connected():
            print("run %d: the link did not come up" % index)
            return False
        since = time.time()
        cpu0 = (cpu_seconds(pair.master.pid), cpu_seconds(pair.slave.pid))
        drops0 = udp_drops(port)
        f = flood(port, args.rate, args.seconds, args.kind)
        cpu1 = (cpu_seconds(pair.master.pid), cpu_seconds(pair.slave.pid))
        drops = udp_drops(port) - drops0
        back = answer_after(pair.relay_log, f["end"])
        time.sleep(2.5)
        v = pair.verdict(since)
        took = f["end"] - f["start"]
        gap = max(gap_during(pair.mlog, f["start"], f["end"]), gap_during(pair.slog, f["start"], f["end"]))
        ok = (not v["master"]["countdown"] and not v["slave"]["countdown"] and v["master"]["lost"] == 0
              and v["slave"]["lost"] == 0 and back is not None and back <= 1.0 and gap < 1.1)
        print("run %d: %s %s -> %s port: sent %.0f/s, read %.0f/s, CPU master %.0f%% slave %.0f%%, "
              "largest gap %.3fs, lost seconds master %d slave %d, countdown %s, "
              "first answer after the flood %s  %s"
              % (index, args.kind, args.rate or "max", args.target, f["sent"] / took, (f["sent"] - drops) / took,
                 100 * (cpu1[0] - cpu0[0]) / took, 100 * (cpu1[1] - cpu0[1]) / took, gap,
                 v["master"]["lost"], v["slave"]["lost"],
                 "yes" if v["master"]["countdown"] or v["slave"]["countdown"] else "no",
                 "%.3fs" % back if back is not None else "never", "OK" if ok else "FAILED"), flush=True)
        return ok
    finally:
        pair.close()


def burst_series(args):
    pair = Pair(os.path.join(BUILD, "bench", "bursts"), args.bursts * (args.seconds + 4) + 60)
    try:
        if not pair.wait_connected():
            print("the link did not come up")
            return False
        since = time.time()
        times = []
        port = SLAVE_RX if args.target == "slave" else MASTER_ROW
        for i in range(args.bursts):
            cpu0 = (cpu_seconds(pair.master.pid), cpu_seconds(pair.slave.pid))
            drops0 = udp_drops(port)
            f = flood(port, args.rate, args.seconds, args.kind)
            took = f["end"] - f["start"]
            cpu1 = (cpu_seconds(pair.master.pid), cpu_seconds(pair.slave.pid))
            drops = udp_drops(port) - drops0
            back = answer_after(pair.relay_log, f["end"])
            times.append(back)
            print("burst %d: sent %.0f/s, read %.0f/s for %.1fs, CPU master %.0f%% slave %.0f%%, "
                  "first answer after it %s"
                  % (i + 1, f["sent"] / took, (f["sent"] - drops) / took, took, 100 * (cpu1[0] - cpu0[0]) / took,
                     100 * (cpu1[1] - cpu0[1]) / took, "%.3fs" % back if back is not None else "never"), flush=True)
            time.sleep(1.0)
        time.sleep(2.5)
        v = pair.verdict(since)
        good = sum(1 for t in times if t is not None and t <= 1.0)
        worst = max((t for t in times if t is not None), default=float("nan"))
        print("bursts: %d of %d answered again within 1 s (slowest %.3fs); countdown %s"
              % (good, len(times), worst, "yes" if v["master"]["countdown"] or v["slave"]["countdown"] else "no"))
        return good == len(times)
    finally:
        pair.close()


def main():
    p = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("--target", choices=["master", "slave"], default="slave")
    p.add_argument("--kind", choices=["random", "wrong", "mixed", "polls"], default="mixed")
    p.add_argument("--rate", type=float, default=100000, help="datagrams a second, 0: as fast as possible")
    p.add_argument("--seconds", type=float, default=60)
    p.add_argument("--runs", type=int, default=1)
    p.add_argument("--bursts", type=int, default=0, help="a series of this many floods in one run instead")
    args = p.parse_args()
    for exe in (TOOL, MASTER_EXE, SLAVE_EXE):
        if not os.access(exe, os.X_OK):
            sys.exit("bench: %s is not built" % exe)
    if args.bursts:
        ok = burst_series(args)
    else:
        ok = sum(flood_run(args, i + 1) for i in range(args.runs))
        print("%d of %d runs without a lost second, a countdown or a late answer" % (ok, args.runs))
        ok = ok == args.runs
    sys.exit(0 if ok else 1)


if __name__ == "__main__":
    main()
