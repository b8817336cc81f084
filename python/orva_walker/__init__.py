"""ORVA walker's gait core, for notebooks, sweeps and plots.

The numbers are the command line's (``orva-gait``), bit for bit: the module is a thin layer
over the same C++ functions. Lengths are in m, times in s, angles in rad, torques in N m,
forces in N, power in W. Arrays are NumPy arrays of float64 (int32 for pass counts, bool for
usable); where the command line leaves a field empty, the array holds NaN. Dicts of arrays are
keyed by the command line's column names.

    >>> import orva_walker as ow
    >>> step = ow.generate_step(ow.Gait(mode=3, mean_speed=0.3))
    >>> torque = ow.dynamics(step)["tau"][:, 1]     # the stance knee, N m

Gaits are checked as ``--gait`` checks them (ValueError with its message); a gait the
generator makes no step of raises UnusableGait (a ValueError). The long calls (walk,
feasibility_grid, let_loose) let other Python threads run meanwhile.
"""

from orva_walker._core import (
    Gait,
    Step,
    UnusableGait,
    dynamics,
    dynamics_summary,
    feasibility_grid,
    gait_table,
    generate_step,
    is_usable,
    let_loose,
    let_loose_summary,
    transition,
    walk,
)

__all__ = [
    "Gait",
    "Step",
    "UnusableGait",
    "dynamics",
    "dynamics_summary",
    "feasibility_grid",
    "gait_table",
    "generate_step",
    "is_usable",
    "let_loose",
    "let_loose_summary",
    "transition",
    "walk",
]

# The public names are this package's, whatever file they are compiled in.
for _name in __all__:
    try:
        globals()[_name].__module__ = __name__
    except (AttributeError, TypeError):
        pass
del _name
