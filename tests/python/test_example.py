# The README's example, as the script in examples/, draws its picture with Matplotlib.
import pathlib
import subprocess
import sys

ROOT = pathlib.Path(__file__).resolve().parents[2]


def test_the_knee_torque_example_draws_a_picture(tmp_path):
    picture = tmp_path / "knee.png"
    subprocess.run([sys.executable, str(ROOT / "examples" / "knee_torque.py"), str(picture)],
                   check=True)
    assert picture.read_bytes().startswith(b"\x89PNG\r\n\x1a\n")
    assert picture.stat().st_size > 20000  # three curves, axes and a legend, not an empty frame
