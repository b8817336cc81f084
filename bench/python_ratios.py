"""The Python module's cost over the C++ it wraps, as ratios measured in one run.

    PYTHONPATH=build/python python3 bench/python_ratios.py [build/orva-gait] [THREADS]

generate_step from Python against the same generator call timed in C++ (a loop inside the
module, so both run the same compiled code), and feasibility_grid against `orva-gait atlas
--csv` on the default grid with the same threads (the tool's time includes starting the
process and writing its CSV). The ratios are of processor time, which other programs on the
machine disturb far less than the wall clock (shown too); each is the best of several turns,
the two sides taken in turn.
"""
import os
import resource
import subprocess
import sys
import time

import orva_walker as ow
from orva_walker import _core


def children_seconds():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime


def main():
    tool = sys.argv[1] if len(sys.argv) > 1 else "build/orva-gait"
    threads = int(sys.argv[2]) if len(sys.argv) > 2 else os.cpu_count()

    gait = ow.Gait(mode=3)
    calls = 2000
    python_step, cpp_step = [], []
    for _ in range(10):
        start = time.thread_time()
        for _ in range(calls):
            ow.generate_step(gait)
        python_step.append((time.thread_time() - start) / calls)
        cpp_step.append(_core._time_generate_step(gait, calls))
    python_step, cpp_step = min(python_step[1:]), min(cpp_step[1:])  # the first turn warms up
    print(f"generate_step: Python {python_step * 1e6:.2f} us, C++ {cpp_step * 1e6:.2f} us, "
          f"ratio {python_step / cpp_step:.3f}")

    command = [tool, "atlas", "--csv", "--threads", str(threads)]
    grid, atlas = [], []
    for _ in range(3):
        wall, cpu = time.perf_counter(), time.process_time()
        ow.feasibility_grid(threads=threads)
        grid.append((time.process_time() - cpu, time.perf_counter() - wall))
        wall, cpu = time.perf_counter(), children_seconds()
        subprocess.run(command, stdout=subprocess.DEVNULL, check=True)
        atlas.append((children_seconds() - cpu, time.perf_counter() - wall))
    (grid_cpu, grid_wall), (atlas_cpu, atlas_wall) = min(grid), min(atlas)
    print(f"feasibility_grid ({threads} threads): Python {grid_cpu:.3f} s, orva-gait atlas --csv "
          f"{atlas_cpu:.3f} s, ratio {grid_cpu / atlas_cpu:.3f} (wall clock {grid_wall:.3f} s "
          f"and {atlas_wall:.3f} s)")


if __name__ == "__main__":
    main()
