// Triangles seen from both sides: a tent of two triangles whose normals point
// away from the camera on one face and towards it on the other, and a fan.
camera { location <0, 3, 8> up <0, 1, 0> right <1.33333, 0, 0> look_at <0, 0.5, 0> }
light_source { <3, 8, 6> color rgb <1, 1, 1> }
plane { <0, 1, 0>, -1 pigment { color rgb <0.6, 0.6, 0.6> } finish { ambient 0.15 diffuse 0.7 } }
triangle { <-3, -1, 0>, <-1, -1, 0>, <-2, 2, -1> pigment { color rgb <1, 0.3, 0.3> } finish { ambient 0.1 diffuse 0.8 specular 0.4 } }
triangle { <-1, -1, -2>, <-3, -1, -2>, <-2, 2, -1> pigment { color rgb <0.3, 0.3, 1> } finish { ambient 0.1 diffuse 0.8 specular 0.4 } }
triangle { <1, -1, 1>, <3, -1, 1>, <2, 2, 0> pigment { color rgb <0.3, 1, 0.3> } finish { ambient 0.1 diffuse 0.8 specular 0.4 } }
triangle { <3, -1, 1>, <1, -1, 1>, <2, 0.5, 2> pigment { color rgb <1, 1, 0.3> } finish { ambient 0.1 diffuse 0.8 specular 0.4 } }
triangle { <-0.5, 2.5, -2>, <0.5, 2.5, -2>, <0, 3.5, -2> pigment { color rgb <1, 0.5, 1> } finish { ambient 0.2 diffuse 0.8 reflection 0.3 } }
