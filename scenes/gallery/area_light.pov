// Soft shadows: the shadows scene under a 5 x 5 jittered area light; the
// penumbra widens with the distance from the blocker.
camera { location <0, 4, 10> up <0, 1, 0> right <1.33333, 0, 0> look_at <0, 0.5, 0> }
light_source { <-6, 10, 6> color rgb <1, 1, 1> area_light <3, 0, 0>, <0, 0, 3>, 5, 5 jitter }
plane { <0, 1, 0>, -1 pigment { color rgb <0.9, 0.9, 0.9> } finish { ambient 0.1 diffuse 0.8 } }
sphere { <-2.5, 0, 0>, 1 pigment { color rgb <0.9, 0.3, 0.2> } finish { ambient 0.1 diffuse 0.8 specular 0.5 } }
sphere { <0, 0.5, -1.5>, 1.5 pigment { color rgb <0.3, 0.8, 0.3> } finish { ambient 0.1 diffuse 0.8 specular 0.5 } }
sphere { <2.5, -0.3, 1>, 0.7 pigment { color rgb <0.3, 0.4, 0.9> } finish { ambient 0.1 diffuse 0.8 specular 0.5 } }
box { <1.5, -1, -3>, <3, 1.5, -1.5> pigment { color rgb <0.9, 0.8, 0.3> } finish { ambient 0.1 diffuse 0.7 specular 0.2 } }
