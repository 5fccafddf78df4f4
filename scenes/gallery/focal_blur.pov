// Depth of field: a row of spheres receding from the camera, focused on
// the third; nearer and farther ones blur. Slow: 32 lens rays a pixel.
camera { location <0, 1.5, 6> up <0, 1, 0> right <1.33333, 0, 0> look_at <0, 0, -4>
         aperture 0.5 focal_point <0.5, 0, -3> blur_samples 32 }
light_source { <-5, 9, 6> color rgb <1, 1, 1> area_light <2, 0, 0>, <0, 0, 2>, 3, 3 }
plane { <0, 1, 0>, -1 pigment { checker color rgb <0.9, 0.9, 0.9> color rgb <0.2, 0.3, 0.5> } finish { ambient 0.15 diffuse 0.8 } }
sphere { <-1.5, 0, 3>, 0.8 pigment { color rgb <0.9, 0.3, 0.2> } finish { ambient 0.1 diffuse 0.8 specular 0.5 } }
sphere { <-0.5, 0, 0>, 0.8 pigment { color rgb <0.9, 0.8, 0.3> } finish { ambient 0.1 diffuse 0.8 specular 0.5 } }
sphere { <0.5, 0, -3>, 0.8 pigment { color rgb <0.3, 0.8, 0.3> } finish { ambient 0.1 diffuse 0.8 specular 0.5 } }
sphere { <1.5, 0, -6>, 0.8 pigment { color rgb <0.3, 0.4, 0.9> } finish { ambient 0.1 diffuse 0.8 specular 0.5 } }
sphere { <2.5, 0, -9>, 0.8 pigment { color rgb <0.8, 0.3, 0.9> } finish { ambient 0.1 diffuse 0.8 specular 0.5 } }
