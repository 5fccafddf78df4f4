// Fog over a checker floor: colours fade into the fog with distance, and
// the sky is the fog's colour. A parallel light casts parallel shadows.
camera { location <0, 2, 8> up <0, 1.05031, 0> angle 70 look_at <0, 0.5, 0> }
fog { distance 18 color rgb <0.7, 0.75, 0.8> }
light_source { <-5, 10, 5> color rgb <1, 1, 0.95> parallel point_at <0, 0, 0> }
plane { <0, 1, 0>, -1 pigment { checker color rgb <0.9, 0.9, 0.9> color rgb <0.15, 0.2, 0.3> } finish { ambient 0.2 diffuse 0.8 } }
sphere { <-2, 0, 2>, 1 pigment { color rgb <0.9, 0.3, 0.2> } finish { ambient 0.2 diffuse 0.8 specular 0.4 } }
sphere { <1.5, 0, -6>, 1 pigment { color rgb <0.3, 0.8, 0.3> } finish { ambient 0.2 diffuse 0.8 specular 0.4 } }
sphere { <-3, 0, -16>, 1 pigment { color rgb <0.3, 0.4, 0.9> } finish { ambient 0.2 diffuse 0.8 specular 0.4 } }
sphere { <4, 0, -28>, 1 pigment { color rgb <0.9, 0.8, 0.3> } finish { ambient 0.2 diffuse 0.8 specular 0.4 } }
