"""Reads a tachyon scene (.dat) into plain lists for tachyon_to_scene.py,
mirrored in x (see there why); also the small vector helpers both use."""
import collections
import math

# Statement keywords; skipping an unknown statement stops at the next one.
OBJECTS = ("SPHERE", "PLANE", "TRI", "STRI", "FCYLINDER", "RING", "BOX", "POLYCYLINDER")
HANDLED = {"BEGIN_SCENE", "END_SCENE", "RESOLUTION", "CAMERA", "LIGHT",
           "TEXDEF", "TEXALIAS", "BACKGROUND", "FOG", "DIRECTIONAL_LIGHT",
           "SPOTLIGHT"} | set(OBJECTS)
SKIPPED = {"BACKGROUND_GRADIENT", "CYLINDER",
           "SCAPE", "SCALARVOL", "QUADRIC", "VCSTRI", "TPOLYFILE", "INCLUDE",
           "SHADER_MODE", "AMBIENT_OCCLUSION", "START_CLIPGROUP",
           "END_CLIPGROUP"}
STATEMENTS = HANDLED | SKIPPED
# Texture functions that read an image file name first.
IMAGE_TEXFUNCS = {7, 8, 9, 10}
TEXFUNC_PARAMS = {"CENTER", "ROTATE", "SCALE", "UAXIS", "VAXIS", "WAXIS"}

Texture = collections.namedtuple(
    "Texture", "color ambient diffuse specular opacity phong phong_size")
DEFAULT_TEXTURE = Texture((1.0, 1.0, 1.0), 0.0, 0.0, 0.0, 1.0, 0.0, 1.0)


class ConversionError(Exception):
    pass


class Tokens:
    """The scene's words with their line numbers; '#' starts a comment."""

    def __init__(self, text):
        self.words = []
        for number, line in enumerate(text.splitlines(), 1):
            for word in line.split():
                if word.startswith("#"):
                    break
                self.words.append((word, number))
        self.pos = 0

    def at_end(self):
        return self.pos >= len(self.words)

    def peek(self):
        return self.words[self.pos][0].upper() if not self.at_end() else ""

    def fail(self, message, at=None):
        """Raises the error for the word at index at (default: the next one)."""
        at = self.pos if at is None else at
        line = self.words[min(at, len(self.words) - 1)][1] if self.words else 0
        raise ConversionError(f"line {line}: {message}")

    def word(self):
        if self.at_end():
            self.fail("the scene ends in the middle of a statement")
        self.pos += 1
        return self.words[self.pos - 1][0]

    def expect(self, keyword):
        found = self.word()
        if found.upper() != keyword:
            self.pos -= 1
            self.fail(f"expected {keyword}, found '{found}'")

    def number(self):
        text = self.word()
        try:
            value = float(text)
        except ValueError:
            value = math.nan
        if not math.isfinite(value):
            self.pos -= 1
            self.fail(f"expected a number, found '{text}'")
        return value

    def vector(self):
        return (self.number(), self.number(), self.number())

    def keyed(self, keyword):
        self.expect(keyword)
        return self.vector()


def mirror(v):
    return (-v[0], v[1], v[2])


def sub(a, b):
    return tuple(x - y for x, y in zip(a, b))


def dot(a, b):
    return sum(x * y for x, y in zip(a, b))


def cross(a, b):
    return (a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2],
            a[0] * b[1] - a[1] * b[0])


def scaled(v, s):
    return tuple(x * s for x in v)


def unit(v):
    length = math.sqrt(dot(v, v))
    return scaled(v, 1.0 / length) if length > 0 else v


class Reader:
    """Reads the statements into plain lists; writing comes after, once the
    lights (which scale the diffuse terms) are all known."""

    def __init__(self, text):
        self.tokens = Tokens(text)
        self.notes = collections.Counter()
        self.textures = {}
        self.resolution = (512, 512)
        self.camera = None
        self.lights = []  # (center, color, modifiers after the colour)
        self.objects = []  # (keyword, geometry, texture)
        self.background = None
        self.fog = None  # (distance, color)

    def read(self):
        tokens = self.tokens
        while not tokens.at_end():
            keyword = tokens.word().upper()
            if keyword == "END_SCENE":
                break
            if keyword == "BEGIN_SCENE":
                continue
            if keyword == "RESOLUTION":
                self.resolution = (int(tokens.number()), int(tokens.number()))
            elif keyword == "CAMERA":
                self.camera = self.read_camera()
            elif keyword == "LIGHT":
                self.read_light()
            elif keyword == "SPOTLIGHT":
                self.read_spotlight()
            elif keyword == "DIRECTIONAL_LIGHT":
                direction = mirror(tokens.keyed("DIRECTION"))
                if dot(direction, direction) == 0:
                    tokens.fail("DIRECTIONAL_LIGHT has no direction")
                # The light travels along DIRECTION: it comes from -DIRECTION.
                origin = scaled(unit(direction), -1.0)
                self.lights.append((origin, tokens.keyed("COLOR"),
                                    "parallel point_at <0, 0, 0>"))
            elif keyword == "BACKGROUND":
                self.background = tokens.vector()
            elif keyword == "FOG":
                self.read_fog()
            elif keyword == "TEXDEF":
                name = tokens.word()
                self.textures[name] = self.read_texture()
            elif keyword == "TEXALIAS":
                alias = tokens.word()
                self.textures[alias] = self.texture_named(tokens.word())
            elif keyword in OBJECTS:
                self.read_object(keyword)
            else:
                self.notes[f"{keyword} (not converted)"] += 1
                while not tokens.at_end() and tokens.peek() not in STATEMENTS:
                    tokens.word()
        if self.camera is None:
            raise ConversionError("the scene has no CAMERA")

    def read_camera(self):
        tokens = self.tokens
        start = tokens.pos - 1
        camera = {"ZOOM": 1.0, "ASPECTRATIO": 1.0}
        while True:
            key = tokens.word().upper()
            if key == "END_CAMERA":
                break
            if key in ("ZOOM", "ASPECTRATIO"):
                camera[key] = tokens.number()
            elif key in ("CENTER", "VIEWDIR", "UPDIR"):
                camera[key] = mirror(tokens.vector())
            elif key == "ANTIALIASING":
                if tokens.number() > 0:
                    self.notes["ANTIALIASING (one ray per pixel)"] += 1
            elif key == "RAYDEPTH":
                tokens.number()
                self.notes["RAYDEPTH (our depth is fixed)"] += 1
            elif key == "PROJECTION":
                if tokens.word().upper() != "PERSPECTIVE":
                    self.notes["PROJECTION (rendered in perspective)"] += 1
            elif key in ("FOCALLENGTH", "APERTURE"):
                tokens.number()
                self.notes[f"{key} (not converted)"] += 1
            elif key == "FRUSTUM":
                for _ in range(4):
                    tokens.number()
                self.notes["FRUSTUM (not converted)"] += 1
            else:
                tokens.pos -= 1
                tokens.fail(f"unknown camera keyword '{key}'")
        for key in ("CENTER", "VIEWDIR", "UPDIR"):
            if key not in camera:
                tokens.fail(f"the camera has no {key}", start)
        if camera["ZOOM"] <= 0 or camera["ASPECTRATIO"] <= 0:
            tokens.fail("ZOOM and ASPECTRATIO must be positive", start)
        if dot(cross(camera["VIEWDIR"], camera["UPDIR"]),
               cross(camera["VIEWDIR"], camera["UPDIR"])) < 1e-24:
            tokens.fail("VIEWDIR is zero or parallel to UPDIR", start)
        return camera

    def read_attenuation(self, keyword):
        tokens = self.tokens
        if tokens.peek() == "ATTENUATION":
            tokens.word()
            for key in ("CONSTANT", "LINEAR", "QUADRATIC"):
                tokens.expect(key)
                tokens.number()
            self.notes[f"{keyword} ATTENUATION (not converted)"] += 1

    def read_light(self):
        tokens = self.tokens
        center = mirror(tokens.keyed("CENTER"))
        tokens.expect("RAD")
        tokens.number()
        self.read_attenuation("LIGHT")
        self.lights.append((center, tokens.keyed("COLOR"), ""))

    def read_spotlight(self):
        tokens = self.tokens
        start = tokens.pos - 1
        center = mirror(tokens.keyed("CENTER"))
        tokens.expect("RAD")
        tokens.number()
        direction = mirror(tokens.keyed("DIRECTION"))
        tokens.expect("FALLOFF_START")
        inner = tokens.number()
        tokens.expect("FALLOFF_END")
        outer = tokens.number()
        self.read_attenuation("SPOTLIGHT")
        color = tokens.keyed("COLOR")
        if dot(direction, direction) == 0 or not 0 <= inner <= 180 or not 0 <= outer <= 180:
            tokens.fail("SPOTLIGHT needs a direction and angles from 0 to 180", start)
        at = tuple(c + d for c, d in zip(center, unit(direction)))
        self.lights.append((center, color, (inner, outer, at)))

    def read_fog(self):
        """Our fog is exponential: EXP and EXP2 become distance 1 / DENSITY,
        LINEAR a distance that leaves 5% of the colour at END."""
        tokens = self.tokens
        start = tokens.pos - 1
        mode = tokens.word().upper()
        values = {"START": 0.0, "END": 1.0, "DENSITY": 1.0}
        color = (1.0, 1.0, 1.0)
        while tokens.peek() in ("START", "END", "DENSITY", "COLOR"):
            key = tokens.word().upper()
            if key == "COLOR":
                color = tokens.vector()
            else:
                values[key] = tokens.number()
        if mode == "LINEAR":
            distance = values["END"] / 3
            self.notes["FOG LINEAR (as exponential fog)"] += 1
        elif mode in ("EXP", "EXP2"):
            distance = 1 / values["DENSITY"] if values["DENSITY"] > 0 else 0
            if mode == "EXP2" or values["START"] != 0:
                self.notes[f"FOG {mode} START (as exponential fog from the eye)"] += 1
        else:
            tokens.fail(f"unknown fog mode '{mode}'", start + 1)
        if not distance > 0:
            tokens.fail("the fog has no positive extent", start)
        self.fog = (distance, color)

    def texture_named(self, name):
        if name not in self.textures:
            self.tokens.pos -= 1
            self.tokens.fail(f"unknown texture '{name}'")
        return self.textures[name]

    def read_texture(self):
        tokens = self.tokens
        values = DEFAULT_TEXTURE._asdict()
        while True:
            key = tokens.word().upper()
            if key in ("AMBIENT", "DIFFUSE", "SPECULAR", "OPACITY"):
                values[key.lower()] = tokens.number()
            elif key == "PHONG":
                if tokens.word().upper() == "METAL":
                    self.notes["PHONG METAL (highlight in the light's colour)"] += 1
                values["phong"] = tokens.number()
            elif key == "PHONG_SIZE":
                values["phong_size"] = tokens.number()
            elif key == "COLOR":
                values["color"] = tokens.vector()
            elif key in ("TRANSMODE", "OUTLINE", "OUTLINE_WIDTH"):
                tokens.word()
                self.notes[f"{key} (not converted)"] += 1
            elif key == "TEXFUNC":
                self.read_texfunc(int(tokens.number()))
                return Texture(**values)
            else:
                tokens.pos -= 1
                tokens.fail(f"unknown texture keyword '{key}'")

    def read_texfunc(self, function):
        if function == 0:
            return
        self.notes[f"TEXFUNC {function} (plain colour kept)"] += 1
        tokens = self.tokens
        if function in IMAGE_TEXFUNCS:
            tokens.word()
        while tokens.peek() in TEXFUNC_PARAMS:
            tokens.word()
            tokens.vector()

    def read_object(self, keyword):
        tokens = self.tokens
        if keyword == "SPHERE":
            center = mirror(tokens.keyed("CENTER"))
            tokens.expect("RAD")
            geometry = (center, tokens.number())
        elif keyword == "PLANE":
            center = mirror(tokens.keyed("CENTER"))
            normal = unit(mirror(tokens.keyed("NORMAL")))
            geometry = (normal, dot(normal, center))
        elif keyword == "FCYLINDER":
            base = mirror(tokens.keyed("BASE"))
            apex = mirror(tokens.keyed("APEX"))
            tokens.expect("RAD")
            geometry = (base, apex, tokens.number())
        elif keyword == "RING":
            center = mirror(tokens.keyed("CENTER"))
            normal = mirror(tokens.keyed("NORMAL"))
            tokens.expect("INNER")
            inner = tokens.number()
            tokens.expect("OUTER")
            geometry = (center, normal, tokens.number(), inner)
        elif keyword == "BOX":
            low = mirror(tokens.keyed("MIN"))
            high = mirror(tokens.keyed("MAX"))
            geometry = (tuple(map(min, low, high)), tuple(map(max, low, high)))
        elif keyword == "POLYCYLINDER":
            tokens.expect("POINTS")
            count = tokens.number()
            if count < 0 or count != int(count):
                tokens.pos -= 1
                tokens.fail(f"expected a count of points, found '{tokens.word()}'")
            points = tuple(mirror(tokens.vector()) for _ in range(int(count)))
            tokens.expect("RAD")
            geometry = (points, tokens.number())
        else:
            geometry = tuple(mirror(tokens.keyed(f"V{i}")) for i in range(3))
            if keyword == "STRI":
                geometry += tuple(mirror(tokens.keyed(f"N{i}")) for i in range(3))
        if tokens.peek() == "TEXTURE":
            tokens.word()
            texture = self.read_texture()
        else:
            texture = self.texture_named(tokens.word())
        self.objects.append((keyword, geometry, texture))
