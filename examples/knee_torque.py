"""The stance knee's torque over one step of three gaits, as a picture.

    PYTHONPATH=build/python python3 examples/knee_torque.py [PICTURE.png]
"""
import sys

import matplotlib

matplotlib.use("Agg")  # draws into a file, no window needed
import matplotlib.pyplot as plt

import orva_walker as ow

gaits = {
    "row 3: 0.28 m steps at 0.28 m/s": ow.Gait(mode=3),
    "row 11: the same steps at 0.40 m/s": ow.Gait(mode=11),
    "row 11 with the swing foot 0.22 m high": ow.Gait(mode=11, clearance=0.22),
}
fig, ax = plt.subplots(figsize=(7, 4), layout="constrained")
for label, gait in gaits.items():
    d = ow.dynamics(ow.generate_step(gait), samples=201)
    ax.plot(d["t"], d["tau"][:, 1], label=label)  # tau1: the stance knee
ax.set(xlabel="time in the step (s)", ylabel="stance knee torque (N m)")
ax.set_ylim(top=22)  # room for the legend above the curves
ax.grid(alpha=0.3)
ax.legend(loc="upper right")
fig.savefig(sys.argv[1] if len(sys.argv) > 1 else "knee-torque.png", dpi=110)
