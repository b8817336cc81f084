# The command line the module is compared with: ORVA_GAIT names orva-gait (the build's ctest
# sets it), else build/orva-gait.
import math
import os
import pathlib
import subprocess

import pytest

ROOT = pathlib.Path(__file__).resolve().parents[2]


@pytest.fixture(scope="session")
def orva_gait():
    tool = os.environ.get("ORVA_GAIT", str(ROOT / "build" / "orva-gait"))

    def run(*args, failing=False):
        """Standard output, or for a run that must fail, its standard error."""
        done = subprocess.run([tool, *args], capture_output=True, text=True, check=not failing)
        assert done.returncode != 0 or not failing
        return done.stderr if failing else done.stdout

    return run


def csv_rows(text):
    """CSV text as its header and rows of floats, NaN for empty fields."""
    lines = text.strip().split("\n")
    rows = [[float(x) if x else float("nan") for x in line.split(",")] for line in lines[1:]]
    return lines[0].split(","), rows


def assert_same_summary(summary, expected):
    """A summary dict against the command line's JSON, NaN where it prints null."""
    assert summary.keys() == expected.keys()
    for key, value in expected.items():
        assert summary[key] == value or (value is None and math.isnan(summary[key])), key
