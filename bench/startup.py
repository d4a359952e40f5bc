#!/usr/bin/env python3
"""Start-up to the first painted page, whole process, side by side: the setup program
against a minimal Qt program showing one empty window. Runs under its own Xvfb server
unless DISPLAY is set. The setup program reads its page faces from BUILD_DIR/dist (made by
tools/make-demo-dist.sh) as it does from its distribution folder.
Usage: bench/startup.py [BUILD_DIR] [RUNS]"""
import os, shutil, statistics, subprocess, sys, tempfile, time

build = sys.argv[1] if len(sys.argv) > 1 else "build"
runs = int(sys.argv[2]) if len(sys.argv) > 2 else 30
dist = f"{build}/dist"
programs = {"minimal Qt window": [f"{build}/bench/startup_minimal"],
            "setup wizard": [f"{build}/bench/startup_setup"] + ([dist] if os.path.isdir(dist) else [])}

def timed(command, env):
    start = time.perf_counter()
    subprocess.run(command, env=env, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return (time.perf_counter() - start) * 1000

def main():
    env = dict(os.environ)
    xvfb = None
    home = tempfile.mkdtemp(prefix="quindor-bench-")
    env.update(HOME=home, XDG_CONFIG_HOME=f"{home}/.config", XDG_DATA_HOME=f"{home}/.local/share",
               XDG_RUNTIME_DIR=home, MARLO_REGISTRY_DIR=f"{home}/registry")
    env.pop("QT_QPA_PLATFORM", None)
    if not env.get("DISPLAY"):
        xvfb = subprocess.Popen(["Xvfb", ":97", "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        env["DISPLAY"] = ":97"
        time.sleep(1.0)
    try:
        times = {name: [] for name in programs}
        for path in programs.values():  # warm the caches once
            timed(path, env)
        for _ in range(runs):
            for name, path in programs.items():
                times[name].append(timed(path, env))
        for name, values in times.items():
            print(f"{name:18} median {statistics.median(values):7.1f} ms   "
                  f"mean {statistics.mean(values):7.1f} ms   min {min(values):7.1f} ms")
        ratio = statistics.median(times["setup wizard"]) / statistics.median(times["minimal Qt window"])
        print(f"ratio (median): {ratio:.2f}x over {runs} runs each")
    finally:
        if xvfb:
            xvfb.terminate()
            xvfb.wait()
        shutil.rmtree(home, ignore_errors=True)

main()
