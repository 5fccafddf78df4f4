// Mirrors: a mirror sphere between two coloured spheres over a chequer of
// half-reflective floor and a back mirror.
camera { location <0, 2, 9> up <0, 1, 0> right <1.33333, 0, 0> look_at <0, 0.5, 0> }
light_source { <4, 8, 8> color rgb <1, 1, 1> }
plane { <0, 1, 0>, -1 pigment { color rgb <0.4, 0.4, 0.5> } finish { ambient 0.1 diffuse 0.6 reflection 0.4 } }
plane { <0, 0, 1>, -6 pigment { color rgb <0.05, 0.05, 0.05> } finish { ambient 0.1 diffuse 0.2 reflection 0.9 } }
sphere { <0, 0.5, 0>, 1.5 pigment { color rgb <0.9, 0.9, 0.9> } finish { ambient 0 diffuse 0.1 specular 0.8 roughness 0.01 reflection 0.9 } }
sphere { <-3, 0, 1>, 1 pigment { color rgb <1, 0.2, 0.2> } finish { ambient 0.1 diffuse 0.8 specular 0.4 } }
sphere { <3, 0, 1>, 1 pigment { color rgb <0.2, 0.4, 1> } finish { ambient 0.1 diffuse 0.8 specular 0.4 } }
