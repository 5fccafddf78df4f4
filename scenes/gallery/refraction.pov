// Refraction: a glass ball and a glass slab in front of striped walls. Rays
// leaving the slab at a steep angle are totally reflected inside it.
camera { location <0, 1.5, 8> up <0, 1, 0> right <1.33333, 0, 0> look_at <0, 0.5, 0> }
light_source { <2, 8, 8> color rgb <1, 1, 1> }
plane { <0, 1, 0>, -1 pigment { color rgb <0.8, 0.8, 0.2> } finish { ambient 0.2 diffuse 0.7 } }
plane { <0, 0, 1>, -4 pigment { color rgb <0.2, 0.3, 0.8> } finish { ambient 0.3 diffuse 0.6 } }
box { <-4, -1, -3.9>, <-3, 4, -3.5> pigment { color rgb <1, 0.2, 0.2> } finish { ambient 0.3 diffuse 0.6 } }
box { <-1.5, -1, -3.9>, <-0.5, 4, -3.5> pigment { color rgb <1, 0.2, 0.2> } finish { ambient 0.3 diffuse 0.6 } }
box { <1, -1, -3.9>, <2, 4, -3.5> pigment { color rgb <1, 0.2, 0.2> } finish { ambient 0.3 diffuse 0.6 } }
box { <3.5, -1, -3.9>, <4.5, 4, -3.5> pigment { color rgb <1, 0.2, 0.2> } finish { ambient 0.3 diffuse 0.6 } }
sphere { <-1.5, 0.5, 1>, 1.3 pigment { color rgbf <1, 1, 1, 0.9> } finish { ambient 0 diffuse 0 specular 0.9 roughness 0.01 ior 1.5 refraction 1 reflection 0.1 } }
box { <1, -0.5, 0>, <3, 2.5, 1.5> pigment { color rgbf <0.9, 1, 0.9, 0.9> } finish { ambient 0 diffuse 0 specular 0.8 ior 1.6 refraction 1 reflection 0.1 } }
