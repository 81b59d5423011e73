"""The peers the benchmarks compare with: installers made by NSIS
(makensis, Debian package nsis) and archives made by 7-Zip (7z, package
p7zip-full), from the same files as ours."""
import os
import shutil
import subprocess

# The title of the peer installers' windows begins with it.
PEER_NAME = "Lumora Aurora"
# NSIS's compressors as SetCompressor takes them, by label.
NSIS_COMPRESSORS = {"NSIS zlib": "zlib", "NSIS lzma solid": "/SOLID lzma"}
# The folder under the temporary folder that the NSIS installers extract into.
NSIS_FOLDER = "peer"


def nsis_installer(files, out, compressor):
    """An NSIS installer of `files` made with `compressor` that extracts
    them into NSIS_FOLDER under $TEMP before its first window, as ours restores its
    payload before its own; returns `out`."""
    makensis = shutil.which("makensis")
    if not makensis:
        raise RuntimeError("makensis not found (apt-get install nsis)")
    script = out + ".nsi"
    with open(script, "w") as f:
        f.write('Name "%s"\nOutFile "%s"\nSetCompressor %s\nRequestExecutionLevel user\n'
                'Page directory\nPage instfiles\nFunction .onInit\n  SetOutPath "$TEMP\\%s"\n'
                % (PEER_NAME, out, compressor, NSIS_FOLDER))
        for path in files:
            f.write('  File "%s"\n' % path)
        f.write("FunctionEnd\nSection\nSectionEnd\n")
    subprocess.run([makensis, "-V1", script], check=True, stdout=subprocess.DEVNULL)
    return out


def seven_zip_archive(files, out):
    """7-Zip's archive of `files` at its default level 5 in one thread
    (LZMA2, the x86 filter for programs, a 16 MiB dictionary); returns
    `out`."""
    if not shutil.which("7z"):
        raise RuntimeError("7z not found (apt-get install p7zip-full)")
    if os.path.exists(out):
        os.remove(out)
    subprocess.run(["7z", "a", "-mx5", "-mmt1", out, *files], check=True, stdout=subprocess.DEVNULL)
    return out
