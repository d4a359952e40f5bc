#!/usr/bin/env python3
"""Start-up to the first painted page, whole process, side by side: the setup program as
the build tree runs it (the system's Qt), the same program as the distribution ships it
(stripped, its libraries and plugins from BUILD_DIR/dist/lib and plugins through its RUNPATH
and qt.conf), a minimal Qt program showing one empty window, and the same window with one
wrapped label in the page face (what any text costs: the font configuration, a face and
its first glyphs). Runs under its own Xvfb server unless DISPLAY is set. The setup program reads its page faces from BUILD_DIR/dist
(laid out by the build) as it does from its distribution folder.
Usage: bench/startup.py [BUILD_DIR] [RUNS]"""
import os, shutil, statistics, subprocess, sys, tempfile, time

build = sys.argv[1] if len(sys.argv) > 1 else "build"
runs = int(sys.argv[2]) if len(sys.argv) > 2 else 30
dist = os.path.abspath(f"{build}/dist")
setup_arguments = [dist] if os.path.isdir(dist) else []

def shipped_copy(folder):
    """The start-up program laid out as the distribution lays out the setup program."""
    program = f"{folder}/startup_setup"
    shutil.copy(f"{build}/bench/startup_setup", program)
    subprocess.run(["strip", "--strip-all", program], check=True)
    subprocess.run(["patchelf", "--set-rpath", "$ORIGIN/lib", program], check=True)
    for name in ("lib", "plugins"):
        os.symlink(f"{dist}/{name}", f"{folder}/{name}")
    shutil.copy(f"{dist}/qt.conf", folder)
    return program

def timed(command, env):
    start = time.perf_counter()
    subprocess.run(command, env=env, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return (time.perf_counter() - start) * 1000

def main():
    env = dict(os.environ)
    xvfb = None
    home = tempfile.mkdtemp(prefix="quindor-bench-")
    programs = {"minimal Qt window": [f"{build}/bench/startup_minimal"],
                "window with label": [f"{build}/bench/startup_label"],
                "setup, build tree": [f"{build}/bench/startup_setup"] + setup_arguments}
    if setup_arguments:
        os.mkdir(f"{home}/shipped")
        programs["setup, as shipped"] = [shipped_copy(f"{home}/shipped")] + setup_arguments
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
        median = {name: statistics.median(values) for name, values in times.items()}
        print(f"setup against the minimal window (median): "
              f"{median['setup, build tree'] / median['minimal Qt window']:.2f}x over {runs} runs each")
        print(f"label window against the minimal window (median): "
              f"{median['window with label'] / median['minimal Qt window']:.2f}x")
        if "setup, as shipped" in median:
            print(f"shipped against the build tree (median): "
                  f"{median['setup, as shipped'] / median['setup, build tree']:.2f}x")
    finally:
        if xvfb:
            xvfb.terminate()
            xvfb.wait()
        shutil.rmtree(home, ignore_errors=True)

main()
