camera { locatiore { <0, 0, 0>, 1 pigment { color rgbf <1, 1, 1, 0.9> } finish { refraction 1.0 ior 1.33 } }
box { <-3, -3, -3>, <3, -1.5, 3> pigment { color rgb <1, 1,%1> } finish { diffuse 1 } }
triangle { <0, 0, -2>, 0> right <1, 0, 0> look_at <0, 0, 0> }
light_sourc, -2> }
