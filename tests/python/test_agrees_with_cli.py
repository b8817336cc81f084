# The module gives orva-gait's numbers bit for bit: the same core calls, no second computation.
import json

import numpy as np
import pytest
from conftest import assert_same_summary, csv_rows

import orva_walker as ow


def test_every_row_and_transition_as_steps_prints_them(orva_gait):
    table = ow.gait_table()
    assert [g.mode for g in table] == list(range(16))
    for line in orva_gait("steps", "--transitions").splitlines():
        expected = json.loads(line)
        from_gait, to_gait = table[expected["from"]], table[expected["to"]]
        if not expected["converged"]:
            with pytest.raises(ow.UnusableGait, match="gives no usable step"):
                ow.transition(from_gait, to_gait)
            continue
        step = ow.transition(from_gait, to_gait)
        assert step.duration == expected["duration"]
        assert step.blend_duration == expected["blendDuration"]
        assert step.passes == (expected["outerPasses"], expected["innerPasses"])
        assert np.array_equal(step.coefficients, expected["poly"])
        if from_gait == to_gait:
            assert np.array_equal(ow.generate_step(from_gait).coefficients, expected["poly"])


def test_a_custom_gait_as_steps_gait_prints_it(orva_gait):
    gait = ow.Gait(mode=6, mean_speed=0.31, clearance=0.12)
    expected = json.loads(orva_gait("steps", "--gait", "mode=6,meanSpeed=0.31,clearance=0.12"))
    assert np.array_equal(ow.generate_step(gait).coefficients, expected["poly"])


@pytest.mark.parametrize(
    "args, step",
    [
        (["--mode", "12"], lambda: ow.generate_step(ow.gait_table()[12])),
        (["--mode", "5", "--transition-to", "6"],
         lambda: ow.transition(ow.gait_table()[5], ow.gait_table()[6])),
        (["--gait", "mode=15,hipAyEnd=-2.5"],
         lambda: ow.generate_step(ow.Gait(mode=15, hip_ay_end=-2.5))),
    ],
)
def test_dynamics_and_summary_as_dynamics_prints_them(orva_gait, args, step):
    header, rows = csv_rows(orva_gait("dynamics", *args, "--samples", "57"))
    got = ow.dynamics(step(), samples=57)
    columns = np.column_stack(
        [got["t"], got["tau"], got["fx"], got["fy"], got["cop"], got["friction"], got["power"]])
    assert header == ["t", "tau0", "tau1", "tau2", "tau3", "tau4", "fx", "fy", "cop", "friction",
                      "power"]
    np.testing.assert_array_equal(columns, np.array(rows))

    expected = json.loads(orva_gait("dynamics", *args, "--summary"))
    assert_same_summary(ow.dynamics_summary(step()), expected)


def test_a_small_grid_as_atlas_csv_computes_it(orva_gait):
    header, rows = csv_rows(orva_gait("atlas", "--lengths", "0.05:0.35:5", "--speeds",
                                      "0.1:0.6:6", "--clearance", "0.03", "--clearance", "0.2",
                                      "--threads", "2", "--colour", "cost", "--csv"))
    grid = ow.feasibility_grid((0.05, 0.35, 5), (0.1, 0.6, 6), (0.03, 0.2), threads=2,
                               measures=("cost", "friction", "cop", "ankle"))
    rows = np.array(rows)
    column = {name: rows[:, i] for i, name in enumerate(header)}
    shape = (2, 5, 6)
    assert grid["usable"].shape == shape and grid["usable"].dtype == bool
    lengths, speeds = np.meshgrid(grid["lengths"], grid["speeds"], indexing="ij")
    np.testing.assert_array_equal(np.broadcast_to(lengths, shape).ravel(), column["backStep"])
    np.testing.assert_array_equal(np.broadcast_to(speeds, shape).ravel(), column["meanSpeed"])
    np.testing.assert_array_equal(grid["usable"].ravel(), column["usable"] == 1)
    for name, measure in [("duration", "duration"), ("outerPasses", "outerPasses"),
                          ("innerPasses", "innerPasses"), ("costOfTransport", "cost"),
                          ("frictionMax", "friction"), ("peakAnkleMoment", "ankle")]:
        np.testing.assert_array_equal(grid[measure].ravel(), column[name], err_msg=name)
    cop = np.maximum(-column["copMin"], column["copMax"])
    np.testing.assert_array_equal(grid["cop"].ravel(), cop)

    header, rows = csv_rows(orva_gait("atlas", "--lengths", "0.1:0.3:3", "--speeds", "0.2:0.4:2",
                                      "--clearance", "0.1", "--colour", "drift", "--csv"))
    drift = ow.feasibility_grid((0.1, 0.3, 3), (0.2, 0.4, 2), [0.1], measures=["drift"])["drift"]
    ankle_drift = np.array(rows)[:, header.index("ankleDrift")]
    np.testing.assert_array_equal(drift.ravel(), 180 / np.pi * np.abs(ankle_drift))


def test_a_walk_with_keys_and_gait_changes_as_walk_prints_it(orva_gait):
    header, rows = csv_rows(orva_gait(
        "walk", "--calls", "1600", "--keys", "5:x,400:xxz,700:s",
        "--change", "900:mode=6,meanSpeed=0.31", "--change", "300:backStep=0.4,foreStep=0.4"))
    unusable = ow.Gait(back_step=0.4, fore_step=0.4)
    with pytest.warns(RuntimeWarning) as notes:
        walk = ow.walk(1600, changes=[(900, ow.Gait(mode=6, mean_speed=0.31)), (300, unusable)],
                       keys={5: "x", 400: "xxz", 700: "s"})
    assert [str(n.message) for n in notes] == [
        f"call 300: the gait {unusable!r} gives no usable step; ORVA keeps its gait"]
    assert list(walk) == header
    np.testing.assert_array_equal(np.column_stack(list(walk.values())), np.array(rows))
    assert walk["call"].dtype == np.int64 and walk["q0"].dtype == np.float64

    plain = ow.walk(40)
    header, rows = csv_rows(orva_gait("walk", "--calls", "40"))
    assert list(plain) == header
    np.testing.assert_array_equal(np.column_stack(list(plain.values())), np.array(rows))


@pytest.mark.parametrize("free", ["ankle", "torso", "both"])
def test_a_step_let_loose_as_drift_prints_it(orva_gait, free):
    step = ow.transition(ow.gait_table()[5], ow.gait_table()[6])
    args = ["drift", "--mode", "5", "--transition-to", "6", "--free", free]
    header, rows = csv_rows(orva_gait(*args, "--samples", "31"))
    columns = ow.let_loose(step, free=free, samples=31)
    assert list(columns) == header
    np.testing.assert_array_equal(np.column_stack(list(columns.values())), np.array(rows))

    expected = json.loads(orva_gait(*args, "--summary"))
    assert_same_summary(ow.let_loose_summary(step, free=free), expected)
