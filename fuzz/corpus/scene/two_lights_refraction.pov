camera { location <0, 0, 5> up <0, 1, 0> right <1, 0, 0> look_at <0, 0, 0> }
light_source { <-3, 3, 3> color rgb <1, 0.9, 0.8> }
light_source { <3, 3, 3> color rgb <0.3, 0.3, 0.6> }
sphere { <0, 0, 0>, 1 pigment { color rgbf <1, 1, 1, 0.9> } finish { refraction 1.0 ior 1.33 } }
box { <-3, -3, -3>, <3, -1.5, 3> pigment { color rgb <1, 1, 1> } finish { diffuse 1 } }
triangle { <0, 0, -2>, <1, 0, -2>, <0, 1, -2> }
