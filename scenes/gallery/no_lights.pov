// No light sources: only the ambient term of each surface, weighted by what
// the surface does not reflect or let through.
camera { location <0, 2, 8> up <0, 1, 0> right <1.33333, 0, 0> look_at <0, 0, 0> }
plane { <0, 1, 0>, -1 pigment { color rgb <0.5, 0.5, 0.5> } finish { ambient 0.6 } }
sphere { <-2, 0, 0>, 1 pigment { color rgb <1, 0.3, 0.3> } finish { ambient 1 } }
sphere { <0, 0, 0>, 1 pigment { color rgb <0.3, 1, 0.3> } finish { ambient 1 reflection 0.5 } }
sphere { <2, 0, 0>, 1 pigment { color rgbf <0.3, 0.3, 1, 0.5> } finish { ambient 1 refraction 1 ior 1.5 } }
