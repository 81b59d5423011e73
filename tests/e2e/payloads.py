"""Installers made at test time: a Setup.ins of chosen lines, the sample's
files, packed with the native packing tool."""
import os
import shutil
import subprocess

# The sample's settings, line by line; tests replace single lines.
SAMPLE_SETTINGS = ["False", "Lumora Aurora Screensaver", "Aurora.scr", "(c) Lumora Demo 2026", "False",
                   "NONE", "False", "True", "cd.jpg", "cd.jpg", "False", "255", "0", "0", "0"]

SETTINGS_LINES = ["UseFileNameTitle", "TitleText", "ScreenSaverFile", "FooterText", "ShowReadMe",
                  "ReadMeFile", "RandomPlay", "UseCustomImage", "CustomImageFile", "ImageFile",
                  "SolidBackground", "GradientRed", "GradientGreen", "GradientBlue", "SolidColor"]


def settings(**changes):
    """The sample's settings lines with the named fields changed."""
    lines = list(SAMPLE_SETTINGS)
    for name, value in changes.items():
        lines[SETTINGS_LINES.index(name)] = str(value)
    return lines


def write_settings(folder, lines, name="Setup.ins", encoding="latin-1"):
    """Writes a settings file with CR LF line ends; returns its path."""
    path = os.path.join(folder, name)
    with open(path, "wb") as f:
        f.write("".join(line + "\r\n" for line in lines).encode(encoding))
    return path


def pack(paths, folder, name, setuppack, stub, options=()):
    """Packs `paths` into the installer `folder/name` with the build
    `options`; returns its path. The payloads show the installer's answer to
    settings and files that the packing tool refuses, so they are written
    with --force."""
    out = os.path.join(folder, name)
    built = subprocess.run([setuppack, "build", "--force", *options, "--stub", stub, "-o", out, *paths],
                           capture_output=True, text=True)
    if built.returncode != 0:
        raise AssertionError("setuppack build %s: %s" % (name, built.stderr))
    return out


def author_icon(folder):
    """An icon file of three images (16, 32 and 48 pixels, in full colour),
    made in `folder` as an author would make one; returns its path."""
    pictures = []
    for size in (16, 32, 48):
        pictures.append(os.path.join(folder, "icon-%d.png" % size))
        subprocess.run(["convert", "-size", "%dx%d" % (size, size), "plasma:", pictures[-1]], check=True)
    icon = os.path.join(folder, "author.ico")
    subprocess.run(["icotool", "-c", "-o", icon, *pictures], check=True)
    return icon


def sample_file(paths, name):
    """A file of the sample payload (e.g. cd.jpg), checked to exist."""
    path = os.path.join(paths.payload, name)
    if not os.path.isfile(path):
        raise AssertionError("the sample payload lacks %s: %s (has it been built?)" % (name, path))
    return path


def installer_with(paths, folder, name, settings_lines=None, extra=(), options=()):
    """An installer of the sample's picture, the given settings (none: no
    Setup.ins at all) and extra files, built with the `options` given."""
    os.makedirs(folder, exist_ok=True)
    files = [sample_file(paths, "cd.jpg")]
    if settings_lines is not None:
        staging = os.path.join(folder, name + ".files")
        os.makedirs(staging, exist_ok=True)
        files.append(write_settings(staging, settings_lines))
    files.extend(extra)
    return pack(files, folder, name, paths.setuppack, paths.stub, options)


def solid_sample(paths, folder):
    """The sample payload's files packed as a solid installer."""
    os.makedirs(folder, exist_ok=True)
    files = [os.path.join(paths.payload, name) for name in sorted(os.listdir(paths.payload))]
    return pack(files, folder, "solid-sample.exe", paths.setuppack, paths.stub, ("--solid",))
