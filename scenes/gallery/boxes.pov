// Boxes: opaque, shiny and translucent (rgbf) boxes on a floor.
camera { location <5, 5, 9> up <0, 1, 0> right <1.33333, 0, 0> look_at <0, 0, 0> }
light_source { <-5, 10, 10> color rgb <1, 1, 1> }
light_source { <10, 4, -2> color rgb <0.5, 0.3, 0.3> }
plane { <0, 1, 0>, -1 pigment { color rgb <0.7, 0.75, 0.8> } finish { ambient 0.15 diffuse 0.7 } }
box { <-3, -1, -1>, <-1, 1, 1> pigment { color rgb <0.9, 0.5, 0.1> } finish { ambient 0.1 diffuse 0.8 specular 0.3 } }
box { <0, -1, -3>, <1, 3, -2> pigment { color rgb <0.2, 0.6, 0.9> } finish { ambient 0.1 diffuse 0.6 specular 0.6 reflection 0.3 } }
box { <0.5, -1, 0>, <2.5, 0.5, 2> pigment { color rgbf <0.3, 1, 0.4, 0.6> } finish { ambient 0.1 diffuse 0.5 specular 0.5 ior 1 refraction 1 } }
box { <-2.5, 1, -0.5>, <-1.5, 2, 0.5> }
