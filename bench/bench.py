#!/usr/bin/env python3
"""Times quorvel-v2gen against its floors and prints the figures side by side.

usage: bench.py TOOL BASELINE MEASURE [WORKDIR]
"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile


MEASURE = None


def run(argv, cwd):
    """Runs argv once under the measuring parent; returns (seconds, peak resident KiB, exit status)."""
    done = subprocess.run([MEASURE] + argv, cwd=cwd, stdout=subprocess.DEVNULL,
                          stderr=subprocess.PIPE, check=True)
    seconds, peak, status = done.stderr.split()[-3:]
    return float(seconds), int(peak), int(status)


def calls(argv, cwd):
    """The system calls that one run of argv makes, counted by strace; None without strace."""
    if shutil.which("strace") is None:
        return None
    with tempfile.NamedTemporaryFile(mode="r") as log:
        subprocess.run(["strace", "-f", "-c", "-o", log.name] + argv, cwd=cwd,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
        lines = [line.split() for line in log.read().splitlines()]
    total = [line for line in lines if line and line[-1] == "total"]
    return int(total[0][3]) if total else None


def remove(work, *names):
    for name in names:
        try:
            os.remove(os.path.join(work, name))
        except FileNotFoundError:
            pass


def put(path, size, seed):
    with open(path, "wb") as f:
        f.write(bytes((i * 131 + seed) & 0xFF for i in range(size)))


def standard_job(tool, baseline, work, rounds=300):
    for name, size, seed in (("SUBSYS_C.ROM", 10240, 1), ("INITIATE.BIN", 4000, 2),
                             ("BOOT_BAS.ROM", 512, 3), ("BOOT_DOS.ROM", 512, 4)):
        put(os.path.join(work, name), size, seed)
    times = {"tool": [], "baseline": []}
    rss = {"tool": 0, "baseline": 0}
    for _ in range(rounds):  # interleaved, so that both see the same machine
        for key, argv in (("tool", [tool]), ("baseline", [baseline])):
            seconds, peak, status = run(argv, work)
            assert status == 0, f"{key} failed with {status}"
            times[key].append(seconds)
            rss[key] = max(rss[key], peak)
    counted = {"tool": calls([tool], work), "baseline": calls([baseline], work)}
    return times, rss, counted


def large_job(tool, work, size_mib=256, rounds=5):
    program = os.path.join(work, "INITIATE.BIN")
    block = os.urandom(1 << 20)
    with open(program, "wb") as f:
        for _ in range(size_mib):
            f.write(block)
    times = {"tool": [], "cat": []}
    rss = {"tool": 0, "cat": 0}
    os.sync()
    outputs = ("copy", "SUBSYSCG.ROM", "SUBSYS_A.ROM", "SUBSYS_B.ROM", "INITIATE.ROM")
    # The floor does what the tool does with the image: a new file, synced,
    # renamed into place, the folder synced.
    floor = ["sh", "-c", "cat INITIATE.BIN > copy.tmp && sync copy.tmp && mv copy.tmp copy && sync ."]
    for _ in range(rounds):
        # Each run writes into a folder without its outputs, so that neither
        # pays for removing the last run's 256 MiB.
        remove(work, *outputs)
        seconds, peak, status = run(floor, work)
        assert status == 0
        times["cat"].append(seconds)
        rss["cat"] = max(rss["cat"], peak)
        remove(work, *outputs)
        seconds, peak, status = run([tool], work)
        assert status == 0, f"tool failed with {status}"
        times["tool"].append(seconds)
        rss["tool"] = max(rss["tool"], peak)
    image = os.path.getsize(os.path.join(work, "INITIATE.ROM"))
    assert image == size_mib * (1 << 20) + 2048, image
    counted = {"tool": calls([tool], work), "cat": calls(floor, work)}
    return times, rss, counted, image


def report(title, times, rss, counted, floor):
    print(title)
    for key in times:
        syscalls = f"{counted[key]:6d} system calls" if counted[key] is not None else "system calls not counted"
        print(f"  {key:9s} median {statistics.median(times[key]) * 1000:9.3f} ms"
              f"   min {min(times[key]) * 1000:9.3f} ms   peak RSS {rss[key] / 1024:6.2f} MiB   {syscalls}")
    ratio = statistics.median(times["tool"]) / statistics.median(times[floor])
    print(f"  tool / {floor}: {ratio:.2f} (median wall time)")


def main():
    global MEASURE
    tool, baseline, MEASURE = (os.path.abspath(p) for p in sys.argv[1:4])
    base = sys.argv[4] if len(sys.argv) > 4 else None
    with tempfile.TemporaryDirectory(dir=base) as work:
        times, rss, counted = standard_job(tool, baseline, work)
        report("standard job (inputs of their expected sizes), 300 runs each:", times, rss, counted, "baseline")
    with tempfile.TemporaryDirectory(dir=base) as work:
        for name, size in (("SUBSYS_C.ROM", 10240), ("BOOT_BAS.ROM", 512), ("BOOT_DOS.ROM", 512)):
            put(os.path.join(work, name), size, 5)
        times, rss, counted, image = large_job(tool, work)
        report(f"256 MiB INITIATE.BIN (INITIATE.ROM is {image} bytes), 5 runs each:", times, rss, counted, "cat")


if __name__ == "__main__":
    main()
