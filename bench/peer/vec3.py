"""The small vector helpers of the tachyon converter; vectors are tuples."""
import math


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
