#!/usr/bin/env python3
"""The beat benchmark (run through scripts/bench-beat.sh, which builds first).

beat: starts a real master in simulation (-InhibitShutdown) that polls one stand-in
slave on 127.0.0.1. The stand-in answers every poll as a slave in Run would and notes
the arrival of each poll with the kernel's receive time stamp (SO_TIMESTAMPNS), which
the loopback takes while the master sends. Once the master polls, it records for
--seconds and prints how far the intervals between two polls deviate from 0.5 s
(p50, p99, largest), optionally while `stress-ng --cpu N` keeps N cores busy.

idle (--idle SECONDS, as root only): starts a master and four real slaves, each slave
in a network namespace of its own linked to the master's by a virtual cable, so that
all four listen on the same port as four computers would. Once all are in Run it
measures the CPU time (utime + stime of /proc/PID/stat) of each program over SECONDS
and prints it as a share of one core; the master's UDP counters tell whether every
poll was answered in that time.
"""
import argparse
import os
import shutil
import socket
import struct
import subprocess
import sys
import threading
import time

from bench_common import cpu_seconds, set_keys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.join(ROOT, "build")
MASTER_EXE = os.path.join(BUILD, "monitor", "TolvexMu")
SLAVE_EXE = os.path.join(BUILD, "slave", "TolvexSu")
SO_TIMESTAMPNS = getattr(socket, "SO_TIMESTAMPNS", 35)  # also the control message's type
POLL = b"<LOA100>"
ANSWER = b"<LOP100>"  # a slave in Run whose action is "Power Off"



def install(folder, side, keys):
    shutil.rmtree(folder, ignore_errors=True)
    shutil.copytree(os.path.join(ROOT, "data", side), folder)
    os.makedirs(os.path.join(folder, "Log"), exist_ok=True)
    set_keys(os.path.join(folder, "Data", "TolvexM.ini" if side == "master" else "TolvexS.ini"), keys)


def errors_file(folder):
    """Where a program's standard error goes: stderr.txt in its folder."""
    return open(os.path.join(folder, "stderr.txt"), "wb")



def run_ns(pid):
    """Nanoseconds all threads of `pid` have run (schedstat: finer than the ticks of stat)."""
    total = 0
    for task in os.listdir("/proc/%d/task" % pid):
        try:
            total += int(open("/proc/%d/task/%s/schedstat" % (pid, task)).read().split()[0])
        except (OSError, ValueError):
            pass
    return total


def udp_counters():
    """InDatagrams and the error counters of this network namespace."""
    lines = [l.split() for l in open("/proc/net/snmp") if l.startswith("Udp:")]
    return dict(zip(lines[0][1:], map(int, lines[1][1:])))


def free_port_run(count):
    """A port p such that p .. p+count-1 are free now on 127.0.0.1 (UDP)."""
    for _ in range(200):
        probe = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        probe.bind(("127.0.0.1", 0))
        base = probe.getsockname()[1]
        probe.close()
        if base + count > 65535:
            continue
        held = []
        try:
            for p in range(base, base + count):
                s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
                held.append(s)
                s.bind(("0.0.0.0", p))
            return base
        except OSError:
            pass
        finally:
            for s in held:
                s.close()
    sys.exit("bench: no free ports")


class Display:
    """The screen the programs paint on: a private Xvfb, or none (offscreen)."""

    def __init__(self, kind):
        self.kind, self.proc, self.env = kind, None, {}
        if kind == "offscreen":
            self.env = {"QT_QPA_PLATFORM": "offscreen"}
            return
        r, w = os.pipe()
        self.proc = subprocess.Popen(["Xvfb", "-displayfd", str(w), "-nolisten", "tcp", "-screen", "0",
                                      "1024x768x24"], pass_fds=(w,), stderr=subprocess.DEVNULL)
        os.close(w)
        number = os.read(r, 32).decode().strip()
        os.close(r)
        if not number:
            sys.exit("bench: Xvfb did not start")
        self.env = {"QT_QPA_PLATFORM": "xcb", "DISPLAY": ":" + number}

    def close(self):
        if self.proc:
            self.proc.kill()
            self.proc.wait()


def program_env(display):
    env = dict(os.environ, TOLVEX_BOX_ANSWERS="")
    for key in ("WAYLAND_DISPLAY", "DISPLAY", "QT_QPA_PLATFORM"):
        env.pop(key, None)
    env.update(display.env)
    return env


class StandIn(threading.Thread):
    """A slave that answers every poll and notes the kernel's arrival time of each."""

    def __init__(self):
        super().__init__(daemon=True)
        self.sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.sock.setsockopt(socket.SOL_SOCKET, SO_TIMESTAMPNS, 1)
        self.sock.bind(("127.0.0.1", 0))
        self.sock.settimeout(0.2)
        self.port = self.sock.getsockname()[1]
        self.answer_to = None
        self.stamps, self.recording, self.stop = [], False, False
        self.polls = 0

    def run(self):
        while not self.stop:
            try:
                data, ancillary, _, _ = self.sock.recvmsg(64, socket.CMSG_SPACE(16))
            except socket.timeout:
                continue
            if data != POLL:
                continue
            self.polls += 1
            if self.answer_to:
                self.sock.sendto(ANSWER, ("127.0.0.1", self.answer_to))
            for level, kind, payload in ancillary:
                if level == socket.SOL_SOCKET and kind == SO_TIMESTAMPNS and self.recording:
                    sec, nsec = struct.unpack("qq", payload[:16])
                    self.stamps.append(sec + nsec / 1e9)


def percentile(values, share):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(round(share * (len(ordered) - 1))))]


def beat(args):
    display = Display(args.display)
    stand_in = StandIn()
    master_rows = free_port_run(4)
    stand_in.answer_to = master_rows
    folder = os.path.join(BUILD, "bench", "beat", "master")
    install(folder, "master", {"LogLevel": args.log_level, "DName": 2, "StartDelay": 2, "ShutType": 4,
                               "CName0": "Master", "CName1": "Slave", "IPAdd1": "127.0.0.1",
                               "Port1": stand_in.port, "Port2": master_rows, "Update_On": 1})
    stand_in.start()
    master = subprocess.Popen([MASTER_EXE, "-InhibitShutdown"], cwd=folder, env=program_env(display),
                              stderr=errors_file(folder))
    stress = None
    try:
        deadline = time.time() + 15
        while stand_in.polls < 2 and time.time() < deadline:
            time.sleep(0.05)
        if stand_in.polls < 2:
            print("the master did not poll")
            return False
        if args.stress:
            stress = subprocess.Popen(["stress-ng", "--cpu", str(args.stress), "--timeout",
                                       "%ds" % (args.seconds + 10)], stdout=subprocess.DEVNULL,
                                      stderr=subprocess.DEVNULL)
            time.sleep(2)
        stand_in.recording = True
        time.sleep(args.seconds)
        stand_in.recording = False
        with open("/proc/loadavg") as f:
            load = f.read().split()[0]
        alive = master.poll() is None
    finally:
        stand_in.stop = True
        if stress:
            stress.terminate()
            stress.wait()
        master.kill()
        master.wait()
        display.close()
    stamps = stand_in.stamps
    if len(stamps) < 3:
        print("too few polls recorded (%d)" % len(stamps))
        return False
    deviations = [abs((b - a) - 0.5) * 1000 for a, b in zip(stamps, stamps[1:])]
    p50, p99, worst = percentile(deviations, 0.5), percentile(deviations, 0.99), max(deviations)
    print("%s, %s, %s: %d polls in %.0f s, %d intervals; deviation from 0.5 s: p50 %.3f ms, p99 %.3f ms, "
          "max %.3f ms (load average %s at the end)%s"
          % ("stress-ng --cpu %d" % args.stress if args.stress else "no load", args.display,
             "LogLevel %s" % args.log_level, len(stamps), stamps[-1] - stamps[0], len(deviations), p50, p99,
             worst, load, "" if alive else "; THE MASTER ENDED"))
    return alive and p99 < args.p99 and worst <= args.max


def run_in_namespace(index, exe, args, cwd, env):
    """Starts `exe` in a network namespace of its own, linked to this one by a cable
    of two virtual interfaces: 10.199.<index>.1 here, 10.199.<index>.2 there."""
    here, there = "tbm%d" % index, "tbs%d" % index
    setup = ("while ! ip link show %s >/dev/null 2>&1; do sleep 0.02; done; ip link set lo up; "
             "ip addr add 10.199.%d.2/24 dev %s; ip link set %s up; exec \"$0\" \"$@\""
             % (there, index, there, there))
    proc = subprocess.Popen(["unshare", "-n", "sh", "-c", setup, exe] + args, cwd=cwd, env=env,
                            stderr=errors_file(cwd))
    time.sleep(0.2)
    subprocess.run(["ip", "link", "add", here, "type", "veth", "peer", "name", there, "netns", str(proc.pid)],
                   check=True)
    subprocess.run(["ip", "addr", "add", "10.199.%d.1/24" % index, "dev", here], check=True)
    subprocess.run(["ip", "link", "set", here, "up"], check=True)
    return proc


def idle(args):
    if os.geteuid() != 0 or not os.environ.get("TOLVEX_BENCH_NETNS"):
        print("the idle measurement needs root and a network namespace of its own (run bench-beat.sh as root)")
        return False
    subprocess.run(["ip", "link", "set", "lo", "up"], check=True)
    display = Display(args.display)
    env = program_env(display)
    base = os.path.join(BUILD, "bench", "idle")
    master_keys = {"CName0": "Master", "Port1": 10000, "Port2": 10001, "Update_On": 1, "StartDelay": 2}
    for i in range(1, 5):
        master_keys.update({"CName%d" % i: "Slave%d" % i, "IPAdd%d" % i: "10.199.%d.2" % i})
    install(os.path.join(base, "master"), "master", master_keys)
    procs = []
    try:
        master = subprocess.Popen([MASTER_EXE, "-InhibitShutdown"], cwd=os.path.join(base, "master"), env=env,
                                  stderr=errors_file(os.path.join(base, "master")))
        procs.append(master)
        slaves = []
        for i in range(1, 5):
            folder = os.path.join(base, "slave%d" % i)
            install(folder, "slave", {"IPAdd": "10.199.%d.1" % i, "Port1": 10001 + i - 1, "Port2": 10000,
                                      "StartDelay": 2})
            slaves.append(run_in_namespace(i, SLAVE_EXE, ["-InhibitShutdown", "-AllowMulti"], folder, env))
            procs.append(slaves[-1])
        time.sleep(args.settle)
        ended = [name for name, p in zip(["master"] + ["slave%d" % i for i in range(1, 5)], procs)
                 if p.poll() is not None]
        if ended:
            print("ended before the measurement: %s (see stderr.txt in %s)" % (", ".join(ended), base))
            return False
        with open("/proc/loadavg") as f:
            load = f.read().strip()
        pids = [master.pid] + [s.pid for s in slaves]
        ns0 = [run_ns(p) for p in pids]
        cpu0, udp0, t0 = [cpu_seconds(p) for p in pids], udp_counters(), time.time()
        xvfb0 = cpu_seconds(display.proc.pid) if display.proc else 0.0
        time.sleep(args.idle)
        cpu1, udp1, t1 = [cpu_seconds(p) for p in pids], udp_counters(), time.time()
        ns1 = [run_ns(p) for p in pids]
        xvfb1 = cpu_seconds(display.proc.pid) if display.proc else 0.0
        alive = all(p.poll() is None for p in procs)
    finally:
        for p in reversed(procs):
            p.kill()
            p.wait()
        display.close()
    took = t1 - t0
    answers = udp1["InDatagrams"] - udp0["InDatagrams"]
    errors = udp1["InErrors"] - udp0["InErrors"] + udp1["NoPorts"] - udp0["NoPorts"]
    shares = [100 * (b - a) / took for a, b in zip(cpu0, cpu1)]
    fine = [100 * (b - a) / 1e9 / took for a, b in zip(ns0, ns1)]
    print("idle, %s, %.0f s (load average at the start: %s)" % (args.display, took, load))
    print("  CPU from utime + stime of /proc/PID/stat (in brackets: run time of all threads, schedstat)")
    print("  master with four live slaves: %.3f%% of a core, %.2f s (%.4f%%)"
          % (shares[0], cpu1[0] - cpu0[0], fine[0]))
    for i, share in enumerate(shares[1:], 1):
        print("  slave %d: %.3f%% of a core, %.2f s (%.4f%%)" % (i, share, cpu1[i] - cpu0[i], fine[i]))
    if display.proc:
        print("  Xvfb: %.3f%% of a core" % (100 * (xvfb1 - xvfb0) / took))
    print("  answers at the master: %d of %d expected, UDP errors %d%s"
          % (answers, int(round(took * 8)), errors, "" if alive else "; A PROGRAM ENDED"))
    return alive and errors == 0 and answers >= int(took * 8) - 8


def main():
    p = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("--seconds", type=float, default=60, help="how long the polls are recorded")
    p.add_argument("--stress", type=int, default=0, help="keep this many cores busy (stress-ng --cpu N)")
    p.add_argument("--display", choices=["offscreen", "xvfb"], default="offscreen")
    p.add_argument("--log-level", type=int, choices=[1, 2, 3], default=3, help="the master's LogLevel")
    p.add_argument("--p99", type=float, default=5.0, help="fail when p99 (ms) is not below this")
    p.add_argument("--max", type=float, default=10.0, help="fail when the largest deviation (ms) is above this")
    p.add_argument("--idle", type=float, default=0, help="measure idle CPU for this many seconds instead")
    p.add_argument("--settle", type=float, default=15, help="seconds before the idle measurement starts")
    args = p.parse_args()
    for exe in (MASTER_EXE, SLAVE_EXE):
        if not os.access(exe, os.X_OK):
            sys.exit("bench: %s is not built" % exe)
    for wanted, tool, package in ((args.stress, "stress-ng", "stress-ng"), (args.display == "xvfb", "Xvfb", "xvfb"),
                                  (args.idle, "ip", "iproute2")):
        if wanted and not shutil.which(tool):
            sys.exit("bench: %s is missing (apt-get install %s)" % (tool, package))
    ok = idle(args) if args.idle else beat(args)
    sys.exit(0 if ok else 1)


if __name__ == "__main__":
    main()
