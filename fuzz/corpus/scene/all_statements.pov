// Every statement once, with both pigment forms and every finish item.
camera { location <0, 1, 8> up <0, 1, 0> right <1.33, 0, 0> look_at <0, 0, 0> }
light_source { <5, 5, 5> color rgb <1, 1, 1> }
sphere { <0, 0, 0>, 1 pigment { color rgbf <1, 0, 0, 0.5> }
  finish { ambient 0.2 diffuse 0.6 specular 0.4 roughness 0.02 ior 1.5 reflection 0.3 refraction 1.0 } }
plane { <0, 1, 0>, -1 pigment { color rgb <0.2, 0.8, 0.2> } finish { reflection 0.5 } }
triangle { <-2, 0, -1>, <2, 0, -1>, <0, 2, -1> pigment { color rgb <0, 0, 1> } }
box { <1, 1, 1>, <2, 2, 2> }
