# What the module promises beyond the numbers: shapes and dtypes, the gait checks' messages,
# errors for bad arguments, threads, and memory that stays flat.
import ast
import math
import os
import pathlib
import pickle
import threading
import time

import numpy as np
import pytest

import orva_walker as ow


def test_gaits_are_rows_with_fields_changed():
    row = ow.gait_table()[3]
    assert ow.Gait(mode=3) == row and not row.custom
    changed = ow.Gait(mode=3, mean_speed=0.3)
    assert changed.custom and changed.mean_speed == 0.3 and changed != row
    assert all(getattr(changed, f) == getattr(row, f) for f in ow.Gait.fields if f != "mean_speed")
    assert repr(changed) == "Gait(mode=3, mean_speed=0.3)"
    assert pickle.loads(pickle.dumps(changed)) == changed
    assert "m/s" in ow.Gait.mean_speed.__doc__


@pytest.mark.parametrize(
    "fields, error, message",
    [
        ({"mean_speed": float("nan")}, ValueError, 'meanSpeed must be finite, not "nan"'),
        ({"back_step": -0.1}, ValueError, "backStep must lie in 0..1 m, not -0.1"),
        ({"fore_rise": 0.01}, ValueError, "foreRise must be 0 m (the world is flat), not 0.01"),
        ({"hip_ay_end": 12}, ValueError, "hipAyEnd must lie in -10..10 m/s2, not 12"),
        ({"speed": 0.3}, ValueError, 'unknown field "speed"'),
        ({"mode": 16}, ValueError, 'mode must be a gait mode 0..15, not "16"'),
        ({"clearance": "0.1"}, TypeError, 'clearance: "0.1" is not a number'),
    ],
)
def test_bad_gaits_raise_the_command_lines_message(fields, error, message):
    with pytest.raises(error) as raised:
        ow.Gait(**fields)
    assert str(raised.value) == message


def test_the_gait_option_says_the_same(orva_gait):
    with pytest.raises(ValueError) as raised:
        ow.Gait(mode=2, hip_vy_start=-1.5)
    stderr = orva_gait("steps", "--gait", "mode=2,hipVyStart=-1.5", failing=True)
    assert f"--gait: {raised.value} (" in stderr


def test_an_unusable_gait_says_why_and_is_usable_answers():
    far = ow.Gait(back_step=0.4, fore_step=0.4, mean_speed=0.03)
    assert not ow.is_usable(far) and ow.is_usable(ow.Gait(mode=3))
    with pytest.raises(ow.UnusableGait, match=r"gives no usable step: .*passes\)") as raised:
        ow.generate_step(far)
    assert isinstance(raised.value, ValueError)


def test_step_arrays_have_their_shapes_and_agree_scalar_and_vectorised():
    step = ow.generate_step(ow.Gait(mode=9))
    assert step.coefficients.shape == (5, 11) and step.coefficients.dtype == np.float64
    times = np.linspace(0, step.duration, 7)
    for query in (step.pose, step.rates, step.accels):
        many = query(times)
        assert many.shape == (7, 5) and many.dtype == np.float64
        assert query(0.2).shape == (5,)
        np.testing.assert_array_equal(many, [query(float(t)) for t in times])
        np.testing.assert_array_equal(query([0.1, 0.2]), query(np.array([0.1, 0.2])))
    # The polynomials' own derivatives: a central difference of the angles gives the rates.
    h = 1e-6
    np.testing.assert_allclose((step.pose(0.3 + h) - step.pose(0.3 - h)) / (2 * h),
                               step.rates(0.3), rtol=1e-6)
    poly = np.polynomial.polynomial.polyval(0.3, step.coefficients.T)
    np.testing.assert_allclose(step.pose(0.3), poly, rtol=1e-14)
    with pytest.raises(ValueError, match="1-D array"):
        step.pose(np.zeros((2, 3)))

    d = ow.dynamics(step, samples=11)
    assert d["tau"].shape == (11, 5) and all(d[k].shape == (11,) for k in d if k != "tau")
    assert d["t"][0] == 0 and d["t"][-1] == step.duration
    for samples in (1, 1000001):
        with pytest.raises(ValueError, match="samples must be a count 2..1000000"):
            ow.dynamics(step, samples=samples)
        with pytest.raises(ValueError, match="samples must be a count 2..1000000"):
            ow.let_loose(step, samples=samples)
    with pytest.raises(ValueError, match='free must be ankle, torso or both, not "knee"'):
        ow.let_loose(step, free="knee")


def test_grid_arguments_are_checked():
    with pytest.raises(ValueError, match="lengths must be .first, last, count."):
        ow.feasibility_grid(lengths=(0.1, 0.2))
    with pytest.raises(ValueError, match="0 < first < last"):
        ow.feasibility_grid(speeds=(0.3, 0.2, 4))
    with pytest.raises(ValueError, match="clearances must be a 1-D"):
        ow.feasibility_grid((0.1, 0.2, 2), (0.1, 0.2, 2), clearances=[[0.1]])
    with pytest.raises(ValueError, match='unknown measure "torque"'):
        ow.feasibility_grid((0.1, 0.2, 2), (0.1, 0.2, 2), measures=("torque",))
    one = ow.feasibility_grid((0.2, 0.2, 1), (0.3, 0.3, 1), clearances=[0.1], threads=1)
    assert one["usable"].shape == (1, 1, 1) and one["outerPasses"].dtype == np.int32


def longest_pause_while(call):
    """Runs call on a thread of its own; returns how long it took and the longest this thread
    had to wait to run Python meanwhile (as long as the call when the call holds the lock)."""
    done = threading.Event()
    result = {}

    def run():
        start = time.perf_counter()
        result["value"] = call()
        result["took"] = time.perf_counter() - start
        done.set()

    worker = threading.Thread(target=run)
    last, longest = time.perf_counter(), 0.0
    worker.start()
    while not done.is_set():
        now = time.perf_counter()
        longest, last = max(longest, now - last), now
    worker.join()
    return result, longest


@pytest.mark.parametrize("call", [
    lambda: ow.feasibility_grid((0.05, 0.3, 48), (0.1, 0.5, 32), (0.05, 0.2), threads=1),
    lambda: ow.walk(60000, changes={5000: ow.Gait(mode=7)}),
])
def test_the_long_calls_let_python_threads_run_meanwhile(call):
    result, longest = longest_pause_while(call)
    assert result["took"] > 0.1
    assert longest < result["took"] / 2


def test_walk_arguments_are_checked():
    with pytest.raises(ValueError, match="'k' in \"xk\" is not a gait key .wxqsaz."):
        ow.walk(10, keys={3: "xk"})
    with pytest.raises(ValueError, match="call 1..10"):
        ow.walk(10, changes=[(11, ow.Gait(mode=1))])
    with pytest.raises(ow.UnusableGait):
        ow.walk(10, gait=ow.Gait(back_step=0.4, fore_step=0.4))


def resident_bytes():
    with open("/proc/self/statm") as f:
        return int(f.read().split()[1]) * os.sysconf("SC_PAGE_SIZE")


def test_memory_stays_flat_over_many_calls():
    step = ow.generate_step(ow.Gait(mode=2))
    times = np.linspace(0, step.duration, 16)

    def calls(n):  # three calls a turn: arrays, a gait, an error
        for _ in range(n // 3):
            step.pose(times)
            ow.Gait(mode=2, mean_speed=0.2)
            try:
                ow.Gait(back_step=math.nan)
            except ValueError:
                pass

    calls(10000)  # the allocator's pools and the interpreter's caches settle
    before = resident_bytes()
    calls(100000)
    assert resident_bytes() - before < 1 << 20


def test_the_type_stub_names_every_field_and_function():
    stub = pathlib.Path(ow.__file__).with_suffix(".pyi")
    tree = ast.parse(stub.read_text())
    names = {node.name for node in tree.body if hasattr(node, "name")}
    assert set(ow.__all__) <= names
    gait = next(node for node in tree.body if getattr(node, "name", "") == "Gait")
    init = next(node for node in gait.body if getattr(node, "name", "") == "__init__")
    assert tuple(a.arg for a in init.args.kwonlyargs) == ow.Gait.fields
