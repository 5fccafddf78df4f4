"""Reads a tachyon scene (.dat) into plain lists for tachyon_to_scene.py,
mirrored in x (see there why)."""
import collections
import math

from vec3 import cross, dot, mirror, scaled, unit

# Statement keywords; skipping an unknown statement stops at the next one.
OBJECTS = ("SPHERE", "PLANE", "TRI", "STRI", "FCYLINDER", "RING", "BOX", "POLYCYLINDER")
HANDLED = {"BEGIN_SCENE", "END_SCENE", "RESOLUTION", "CAMERA", "LIGHT",
           "TEXDEF", "TEXALIAS", "BACKGROUND", "FOG", "DIRECTIONAL_LIGHT",
           "SPOTLIGHT", "IMAGEDEF"} | set(OBJECTS)
SKIPPED = {"BACKGROUND_GRADIENT", "CYLINDER",
           "SCAPE", "SCALARVOL", "QUADRIC", "VCSTRI", "TPOLYFILE", "INCLUDE",
           "SHADER_MODE", "AMBIENT_OCCLUSION", "START_CLIPGROUP",
           "END_CLIPGROUP"}
STATEMENTS = HANDLED | SKIPPED
# Texture functions that read an image file name first.
IMAGE_TEXFUNCS = {7, 8, 9, 10}
TEXFUNC_AXES = ("UAXIS", "VAXIS", "WAXIS")

Texture = collections.namedtuple(
    "Texture", "color ambient diffuse specular opacity phong phong_size func")
DEFAULT_TEXTURE = Texture((1.0, 1.0, 1.0), 0.0, 0.0, 0.0, 1.0, 0.0, 1.0, None)
# A texture function: its number, image name (or None), CENTER (mirrored),
# ROTATE, SCALE and the axes given (mirrored; None when left out).
TexFunc = collections.namedtuple("TexFunc", "number image center rotate scale axes")
# An IMAGEDEF picture: width, height, depth and RGB bytes, slice by slice,
# rows from the top.
Picture = collections.namedtuple("Picture", "width height depth pixels")


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
        self.pictures = {}  # IMAGEDEF name -> Picture

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
            elif keyword == "IMAGEDEF":
                self.read_imagedef()
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
                camera[key] = tokens.number()
            elif key == "RAYDEPTH":
                tokens.number()
                self.notes["RAYDEPTH (our depth is fixed)"] += 1
            elif key == "PROJECTION":
                camera[key] = tokens.word().upper()
                if camera[key] not in ("PERSPECTIVE", "PERSPECTIVE_DOF"):
                    self.notes["PROJECTION (rendered in perspective)"] += 1
            elif key in ("FOCALLENGTH", "APERTURE"):
                camera[key] = tokens.number()
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
        if camera.get("APERTURE", 0) < 0:
            tokens.fail("APERTURE must not be negative", start)
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
        """Our fog is exponential from the eye; tachyon's EXP fog keeps
        exp(-DENSITY (t - START)) from START on. EXP and EXP2 become distance
        START + 1 / DENSITY, which agrees with it 1 / DENSITY past START (and
        everywhere when START is 0), LINEAR a distance that leaves 5% of the
        colour at END."""
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
            distance = values["START"] + 1 / values["DENSITY"] if values["DENSITY"] > 0 else 0
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
                values["func"] = self.read_texfunc(tokens.number())
                return Texture(**values)
            else:
                tokens.pos -= 1
                tokens.fail(f"unknown texture keyword '{key}'")

    def read_texfunc(self, function):
        """Every function but 0 takes CENTER, ROTATE and SCALE (the image
        maps a file name first, and any of them axes after), as tachyon
        requires: texture.dat, which leaves them out, fails in both."""
        tokens = self.tokens
        if function == 0:
            return None
        if function != int(function) or function < 0:
            tokens.pos -= 1
            tokens.fail(f"expected a texture function number, found '{tokens.word()}'")
        function = int(function)
        image = None
        if function in IMAGE_TEXFUNCS:
            image = tokens.word()
            if image.upper() in STATEMENTS or image.upper() in ("CENTER", "END_SCENE"):
                tokens.pos -= 1
                tokens.fail(f"TEXFUNC {function} needs an image file name, found '{image}'")
        center = mirror(tokens.keyed("CENTER"))
        rotate, scale = tokens.keyed("ROTATE"), tokens.keyed("SCALE")
        axes = {}
        while tokens.peek() in TEXFUNC_AXES:
            key = tokens.word().upper()
            axes[key] = mirror(tokens.vector())
        return TexFunc(function, image, center, rotate, scale, axes)

    def read_imagedef(self):
        """IMAGEDEF ::name FORMAT RGB24 RESOLUTION x y z ENCODING HEX, then
        a hex word per pixel: three digits (one a channel) or six."""
        tokens = self.tokens
        name = tokens.word()
        tokens.expect("FORMAT")
        if tokens.word().upper() != "RGB24":
            tokens.pos -= 1
            tokens.fail(f"IMAGEDEF format '{tokens.word()}' is not converted (only RGB24)")
        tokens.expect("RESOLUTION")
        size = [tokens.number() for _ in range(3)]
        if any(n < 1 or n != int(n) for n in size) or size[0] * size[1] * size[2] > 1 << 24:
            tokens.fail("IMAGEDEF needs a resolution of whole numbers from 1 up")
        width, height, depth = (int(n) for n in size)
        tokens.expect("ENCODING")
        if tokens.word().upper() != "HEX":
            tokens.pos -= 1
            tokens.fail(f"IMAGEDEF encoding '{tokens.word()}' is not converted (only HEX)")
        pixels = bytearray()
        for _ in range(width * height * depth):
            word = tokens.word()
            try:
                if len(word) == 3:
                    pixels += bytes(17 * int(digit, 16) for digit in word)
                elif len(word) == 6:
                    pixels += bytes.fromhex(word)
                else:
                    raise ValueError
            except ValueError:
                tokens.pos -= 1
                tokens.fail(f"expected a pixel of 3 or 6 hex digits, found '{word}'")
        self.pictures[name] = Picture(width, height, depth, bytes(pixels))

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
