// Discs and rings: the floor shows through a ring's hole, and through
// its shadow.
camera { location <0, 3, 10> up <0, 1, 0> right <1.33333, 0, 0> look_at <0, 0.5, 0> }
light_source { <-5, 10, 9> color rgb <1, 1, 1> }
plane { <0, 1, 0>, -1 pigment { color rgb <0.7, 0.75, 0.8> } finish { ambient 0.15 diffuse 0.7 } }
disc { <-2.5, 1, 0>, <0, 0, 1>, 1.4, 0.7 pigment { color rgb <0.9, 0.3, 0.2> } finish { ambient 0.15 diffuse 0.8 specular 0.4 } }
disc { <0.8, 0.8, -1>, <0.3, 0.2, 1>, 1.2 pigment { color rgb <0.2, 0.6, 0.9> } finish { ambient 0.15 diffuse 0.8 specular 0.4 } }
disc { <3, -0.99, 1>, <0, 1, 0>, 1.2, 0.9 pigment { color rgb <0.95, 0.85, 0.2> } finish { ambient 0.2 diffuse 0.8 } }
disc { <3, 1.2, 0>, <-1, 0.5, 0.5>, 0.9, 0.3 pigment { color rgb <0.3, 0.8, 0.3> } finish { ambient 0.15 diffuse 0.8 specular 0.5 reflection 0.2 } }
