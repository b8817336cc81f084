"""Builds the Python module with the project's own CMake: the same module `cmake --build`
makes, for the Python that runs pip. See pyproject.toml."""
import os
import pathlib
import re
import shutil
import subprocess
import sys

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = pathlib.Path(__file__).resolve().parent


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        build = pathlib.Path(self.build_temp).resolve() / "cmake"
        subprocess.run(["cmake", "-S", str(ROOT), "-B", str(build), "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
                        "-DORVA_WINDOW=OFF", "-DORVA_PYTHON=ON",
                        f"-DPython_EXECUTABLE={sys.executable}"], check=True)
        subprocess.run(["cmake", "--build", str(build), "--target", "orva_walker_core", "-j",
                        str(os.cpu_count() or 1)], check=True)
        built = list((build / "python" / "orva_walker").glob("_core*.so"))
        if not built:
            sys.exit("CMake made no module: it needs pybind11-dev, python3-dev and python3-numpy")
        target = pathlib.Path(self.get_ext_fullpath(ext.name))
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(built[0], target)


cmake_lists = (ROOT / "CMakeLists.txt").read_text()
setup(
    version=re.search(r"project\(orva_walker VERSION ([0-9.]+)", cmake_lists).group(1),
    packages=["orva_walker"],
    package_dir={"orva_walker": "python/orva_walker"},
    package_data={"orva_walker": ["__init__.pyi", "py.typed"]},
    ext_modules=[Extension("orva_walker._core", sources=[])],
    cmdclass={"build_ext": CMakeBuild},
    options={"build": {"build_base": "build-pip"}},
)
