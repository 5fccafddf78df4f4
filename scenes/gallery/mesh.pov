// A mesh: a pyramid of four triangles moved and turned as one, one face
// with its own pigment, the rest with the mesh's.
camera { location <0, 3, 8> up <0, 1, 0> right <1.33333, 0, 0> look_at <0, 0.3, 0> }
light_source { <-6, 10, 8> color rgb <1, 1, 1> }
light_source { <6, 5, 6> color rgb <0.3, 0.3, 0.4> }
plane { <0, 1, 0>, -1 pigment { color rgb <0.7, 0.75, 0.8> } finish { ambient 0.15 diffuse 0.7 } }
mesh {
  triangle { <-1, 0, -1>, <1, 0, -1>, <0, 1.6, 0> }
  triangle { <1, 0, -1>, <1, 0, 1>, <0, 1.6, 0> pigment { color rgb <0.2, 0.6, 0.95> } finish { ambient 0.15 diffuse 0.8 specular 0.5 } }
  triangle { <1, 0, 1>, <-1, 0, 1>, <0, 1.6, 0> }
  triangle { <-1, 0, 1>, <-1, 0, -1>, <0, 1.6, 0> }
  pigment { color rgb <0.95, 0.6, 0.2> }
  finish { ambient 0.15 diffuse 0.8 specular 0.4 }
  rotate <0, 30, 0>
  translate <-1.5, -1, 0>
}
mesh {
  smooth_triangle { <0, 0, 0>, <-0.6, 0.3, 0.7>, <2, 0, 0>, <0.6, 0.3, 0.7>, <1, 2, 0>, <0, 0.7, 0.7> }
  pigment { color rgb <0.3, 0.85, 0.4> }
  finish { ambient 0.1 diffuse 0.8 specular 0.6 roughness 0.03 }
  translate <1, -1, 0>
}
